#include "files/field_quote.h"

namespace velquor {
namespace {

bool NeedsQuotes(std::string_view t) {
  if (t.find_first_of(",\r\n") != std::string_view::npos) return true;
  return !t.empty() && (t.front() == ' ' || t.front() == '\t' || t.front() == '"');
}

}  // namespace

FieldText QuoteForField(std::string_view text) {
  if (!NeedsQuotes(text)) return {std::string(text), false};
  // A quoted field runs to the next '"', so quotes inside it cannot be kept.
  std::string kept;
  kept.reserve(text.size());
  for (char c : text) {
    if (c != '"') kept.push_back(c);
  }
  const bool lost = kept.size() != text.size();
  if (!NeedsQuotes(kept)) return {kept, lost};
  return {"\"" + kept + "\"", lost};
}

}  // namespace velquor
