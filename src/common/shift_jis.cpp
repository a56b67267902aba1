#include "common/shift_jis.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace velquor {
namespace {

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};

Result<std::string> Convert(std::string_view in, const char* to, const char* from,
                            const char* what) {
  iconv_t raw = iconv_open(to, from);
  if (raw == reinterpret_cast<iconv_t>(-1)) {
    return Problem{"", 0, 0, std::string("no converter from ") + from + " to " + to};
  }
  std::unique_ptr<void, IconvCloser> cd(raw);
  std::string out(in.size() * 2 + 16, '\0');
  std::string input(in);
  char* inp = input.data();
  std::size_t inleft = input.size();
  char* outp = out.data();
  std::size_t outleft = out.size();
  while (inleft > 0) {
    std::size_t r = iconv(static_cast<iconv_t>(cd.get()), &inp, &inleft, &outp, &outleft);
    if (r != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      std::size_t used = out.size() - outleft;
      out.resize(out.size() * 2);
      outp = out.data() + used;
      outleft = out.size() - used;
      continue;
    }
    std::size_t offset = input.size() - inleft;
    return Problem{"", 0, 0, std::string(what) + " at byte " + std::to_string(offset + 1)};
  }
  out.resize(out.size() - outleft);
  return out;
}

}  // namespace

Result<std::string> Utf8ToShiftJis(std::string_view utf8) {
  return Convert(utf8, "CP932", "UTF-8", "a character with no Shift_JIS form");
}

Result<std::string> ShiftJisToUtf8(std::string_view bytes) {
  return Convert(bytes, "UTF-8", "CP932", "bytes that are not Shift_JIS text");
}

}  // namespace velquor
