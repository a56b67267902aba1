// Conversion between the UTF-8 texts held in memory and the Shift_JIS (code page 932)
// bytes of every file the program reads or writes.
#pragma once

#include <string>
#include <string_view>

#include "common/result.h"

namespace velquor {

// Fails with the position of the first character that has no code page 932 form.
Result<std::string> Utf8ToShiftJis(std::string_view utf8);
// Fails with the byte offset of the first byte sequence that is not code page 932.
Result<std::string> ShiftJisToUtf8(std::string_view bytes);

}  // namespace velquor
