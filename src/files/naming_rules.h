// What the File Option texts may hold: the header and the number make a file name in the
// save directory and the first field of every summary row; the note makes a field of it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "files/naming.h"

namespace velquor {

// Why `text`, called `what` ("the header"), cannot be part of a file name and a summary row:
// a "," or a double quote would shift the fields of the row, a line break would split it,
// and "\", "/", ":", "*", "?", "<", ">", "|" are no characters of a file name.
std::optional<std::string> NameTextFault(std::string_view what, std::string_view text);

// Why a header cannot be used, or nothing: NameTextFault, and it must not be "." or "..".
std::optional<std::string> HeaderFault(std::string_view head);

// Why a file number cannot be used, or nothing: it must be a whole number from 0 to
// 9999999 written in digits alone; an empty number counts 0.
std::optional<std::string> NumberFault(std::string_view org);

// Why a note cannot go into a summary row, or nothing: a "," or a double quote would shift
// its fields and a line break would split it.
std::optional<std::string> NoteFault(std::string_view note);

// The first of the header's and the number's faults of a set.
std::optional<std::string> NameFault(const NamingSet& set);

}  // namespace velquor
