#include "app/cli/report_target.h"

#include <filesystem>

#include "common/output_target.h"
#include "common/path_map.h"

namespace velquor::cli {

std::optional<Problem> ReportTargetProblem(const std::string& pdf,
                                           const std::vector<std::string>& inputs, bool overwrite) {
  if (Status s = CheckOutputTarget(ToNativePath(pdf), inputs); !s) {
    return Problem{pdf, 0, 0, s.problem().what};
  }
  std::error_code ec;
  if (!overwrite && std::filesystem::exists(ToNativePath(pdf), ec)) {
    return Problem{pdf, 0, 0, "already exists; give --overwrite to replace it"};
  }
  return std::nullopt;
}

}  // namespace velquor::cli
