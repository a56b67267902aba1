#include "common/path_map.h"

#include <cctype>

namespace velquor {

std::string ToNativePath(std::string_view stored) {
  std::string out(stored);
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  if (out.size() >= 3 && std::isalpha(static_cast<unsigned char>(out[0])) && out[1] == ':' &&
      out[2] == '/') {
    out.erase(0, 2);
  }
  return out;
}

}  // namespace velquor
