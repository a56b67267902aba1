#include "files/push_csv_file.h"

#include <filesystem>
#include <system_error>

#include "common/path_map.h"
#include "common/text_file.h"
#include "files/summary_facts.h"

namespace velquor {

Status WritePushCsvFile(const std::string& path, std::string_view csv) {
  const std::string native = ToNativePath(path);
  std::error_code err;
  if (std::filesystem::exists(native, err) || err) {
    return Problem{path, 0, 0,
                   err ? "cannot tell whether the file exists: " + err.message()
                       : "the file exists already and is not replaced; choose another name or "
                         "directory"};
  }
  if (Status s = WriteFileAtomic(native, csv); !s) return Problem{path, 0, 0, s.problem().what};
  return Status::Ok();
}

std::string ProposedPushCsvPath(std::string_view dat_path) {
  if (dat_path.empty()) return "pushes.csv";
  const std::string shown = ToNativePath(dat_path);
  const std::size_t slash = shown.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "" : shown.substr(0, slash + 1);
  return dir + SummaryStem(dat_path) + "_pushes.csv";
}

}  // namespace velquor
