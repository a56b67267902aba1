#include "files/leading_number.h"

#include <cctype>

namespace velquor {

bool BeginsWithNumber(std::string_view t) {
  std::size_t i = 0;
  auto skip = [&] {
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t' || t[i] == '\n' || t[i] == '\r')) ++i;
  };
  auto digit = [&] { return i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])); };
  skip();
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  skip();
  if (digit()) return true;
  if (i < t.size() && t[i] == '.') {
    ++i;
    skip();
    return digit();
  }
  return false;
}

}  // namespace velquor
