#include "files/naming_rules.h"

#include <algorithm>

namespace velquor {
namespace {

constexpr std::string_view kNotInFileNames = "\\/:*?<>|";
constexpr std::size_t kMaxNumberDigits = 7;

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// The fault a text of the summary row has, named as `what`, or nothing.
std::optional<std::string> RowFault(std::string_view what, std::string_view text) {
  if (text.find_first_of(",\"") != std::string_view::npos) {
    return std::string(what) + " " + Quoted(text) +
           " holds a \",\" or a double quote, which would shift the fields of its summary row";
  }
  if (text.find_first_of("\r\n") != std::string_view::npos) {
    return std::string(what) + " holds a line break, which would split its summary row";
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> NameTextFault(std::string_view what, std::string_view text) {
  if (auto row = RowFault(what, text)) return row;
  if (auto at = text.find_first_of(kNotInFileNames); at != std::string_view::npos) {
    return std::string(what) + " " + Quoted(text) + " holds " + Quoted(text.substr(at, 1)) +
           ", which a file name cannot hold";
  }
  return std::nullopt;
}

std::optional<std::string> HeaderFault(std::string_view head) {
  if (auto name = NameTextFault("the header", head)) return name;
  if (head == "." || head == "..") {
    return "the header " + Quoted(head) + " names a folder, not a file";
  }
  return std::nullopt;
}

std::optional<std::string> NumberFault(std::string_view org) {
  const bool digits =
      std::all_of(org.begin(), org.end(), [](char c) { return c >= '0' && c <= '9'; });
  const std::size_t first = org.find_first_not_of('0');
  const std::size_t significant = first == std::string_view::npos ? 0 : org.size() - first;
  if (digits && significant <= kMaxNumberDigits) return std::nullopt;
  return "the file number " + Quoted(org) + " is not a whole number from 0 to 9999999";
}

std::optional<std::string> NoteFault(std::string_view note) {
  return RowFault("the note", note);
}

std::optional<std::string> NameFault(const NamingSet& set) {
  if (auto h = HeaderFault(set.Head)) return h;
  return NumberFault(set.Org);
}

}  // namespace velquor
