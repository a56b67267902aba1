#include "files/text_chars.h"

#include <cctype>

namespace velquor {
namespace {

bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::size_t CharCount(std::string_view utf8) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    // A continuation byte belongs to the character before it, unless nothing precedes it.
    if (!IsContinuation(utf8[i]) || i == 0) ++n;
  }
  return n;
}

std::string_view DropLastChars(std::string_view utf8, std::size_t n) {
  std::size_t end = utf8.size();
  for (std::size_t k = 0; k < n; ++k) {
    if (end == 0) return {};
    --end;
    while (end > 0 && IsContinuation(utf8[end])) --end;
  }
  return utf8.substr(0, end);
}

bool EndsWithNoCase(std::string_view text, std::string_view lower_end) {
  if (text.size() < lower_end.size()) return false;
  text = text.substr(text.size() - lower_end.size());
  for (std::size_t k = 0; k < lower_end.size(); ++k) {
    if (std::tolower(static_cast<unsigned char>(text[k])) != lower_end[k]) return false;
  }
  return true;
}

}  // namespace velquor
