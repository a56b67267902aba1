#include "files/push_csv_file.h"

#include <filesystem>
#include <system_error>

#include "common/path_map.h"
#include "common/text_file.h"

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

}  // namespace velquor
