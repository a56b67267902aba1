// The File Option texts of the automatic and the manual set, the stem and paths composed
// from them, and the current stem, paths and note that a save uses.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velquor {

struct NamingSet {
  std::string Dir;         // txtFileDir / txtFileDir_Man
  std::string Head;        // txtFileHead / txtFileHead_Man
  std::string Org;         // txtFileOrg / txtFileOrg_Man
  std::string Note;        // txtNote / txtNote_Man
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

// The stem and both paths of one set, as a save writes them.
struct ComposedNames {
  std::string BaseName;     // header, zero padding, number
  std::string DatFilePath;  // directory "\" stem "_dat.csv"
  std::string CsvFilePath;  // directory "\" stem "_csv.csv"
};

// Texts are taken as typed: the number is padded on the left with "0" to 7 characters
// (a longer one is kept), and "\" is put after the directory. An empty directory means the
// working directory (where Velquor.ini lives): the paths are the bare file names.
ComposedNames ComposeNames(std::string_view dir, std::string_view head, std::string_view org);

// Why a stem cannot be saved under, or nothing: the rule of NameTextFault (naming_rules.h),
// so that no header makes a row with shifted fields or a file outside the save directory.
std::optional<std::string> StemFault(std::string_view stem);

// Prefixes a directory text to a file name with "\"; an empty directory leaves the bare
// name, which opens in the working directory.
std::string InDirectory(std::string_view dir, std::string_view name);

// Recomposes both sets, refreshes the four path displays and makes the set chosen by
// save_flag (0 = auto, 1 = manual) current, its note included.
void MakeFileNames(FileNaming& naming, int save_flag);

// The number of the current set becomes Val(number) + 1 in plain form ("007" -> "8"),
// and the names follow at once.
void AdvanceFileNumber(FileNaming& naming, int save_flag);

}  // namespace velquor
