// Turning a fuzzer's bytes into the file texts the readers take: Shift_JIS bytes decoded as
// the program decodes every file it opens (inputs that are not code page 932 stop there).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/shift_jis.h"

namespace velquor::fuzz {

inline std::optional<std::string> Decode(std::string_view bytes) {
  auto text = ShiftJisToUtf8(bytes);
  if (!text) return std::nullopt;
  return std::move(text.value());
}

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A broken promise of the reader or writer: stop here so the fuzzer keeps the input.
[[noreturn]] inline void Broken() {
  __builtin_trap();
}

}  // namespace velquor::fuzz
