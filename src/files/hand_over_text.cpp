#include "files/hand_over_text.h"

#include "common/number_text.h"
#include "common/path_map.h"

namespace velquor {

std::string WaitingText(std::string_view taken_at, int samples, double interval_ms) {
  return "cycle of " + std::string(taken_at) + ", " + std::to_string(samples) + " samples at " +
         PlainForm(interval_ms) + " ms, not saved";
}

std::string SaveSetText(int save_flag, const ComposedNames& names) {
  return std::string("Save writes it with the ") + (save_flag == 1 ? "Manual Save" : "Auto Save") +
         " set as " + names.BaseName + " (" + ToNativePath(names.DatFilePath) + ")";
}

}  // namespace velquor
