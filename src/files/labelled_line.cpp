#include "files/labelled_line.h"

namespace velquor {

std::optional<std::string_view> LabelledLine(std::string_view text, int number,
                                             std::string_view label) {
  std::size_t begin = 0;
  for (int k = 1; begin < text.size(); ++k) {
    const std::size_t end = text.find('\n', begin);
    std::string_view line = text.substr(begin, end == std::string_view::npos ? end : end - begin);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (k >= number && line.substr(0, label.size()) == label) return line;
    if (end == std::string_view::npos) break;
    begin = end + 1;
  }
  return std::nullopt;
}

}  // namespace velquor
