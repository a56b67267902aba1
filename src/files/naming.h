// The File Option texts of the automatic and the manual set, and the current stem, paths
// and note that a save uses.
#pragma once

#include <string>

namespace velquor {

struct NamingSet {
  std::string Dir;   // txtFileDir / txtFileDir_Man
  std::string Head;  // txtFileHead / txtFileHead_Man
  std::string Org;   // txtFileOrg / txtFileOrg_Man
  std::string Note;  // txtNote / txtNote_Man
  std::string DatDisplay;  // txtFileDat / txtFileDat_Man
  std::string CsvDisplay;  // txtFileCsv / txtFileCsv_Man
};

struct FileNaming {
  NamingSet Auto;
  NamingSet Manual;
  std::string BaseName;
  std::string DatFilePath;
  std::string CsvFilePath;
  std::string NoteText;
};

}  // namespace velquor
