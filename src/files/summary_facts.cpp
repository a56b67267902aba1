#include "files/summary_facts.h"

#include <sys/stat.h>

#include "common/field_reader.h"
#include "common/path_map.h"
#include "common/text_file.h"
#include "files/text_chars.h"

namespace velquor {
namespace {

// Fields of a stroke row before its note: stem, date, time, tag and 39 figures.
constexpr int kFieldsBeforeNote = 43;

// The second line of the text, without its line end.
std::string_view SecondLine(std::string_view text) {
  const std::size_t end1 = text.find('\n');
  if (end1 == std::string_view::npos) return {};
  std::string_view rest = text.substr(end1 + 1);
  rest = rest.substr(0, rest.find('\n'));
  if (!rest.empty() && rest.back() == '\r') rest.remove_suffix(1);
  return rest;
}

// Where the field after the first n fields of a line begins, by the reader's rules (a field
// opening with '"' after its blanks runs to the next '"'); npos when the line has fewer.
std::size_t AfterFields(std::string_view line, int n) {
  std::size_t pos = 0;
  for (int k = 0; k < n; ++k) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos < line.size() && line[pos] == '"') {
      pos = line.find('"', pos + 1);
      if (pos == std::string_view::npos) return pos;
    }
    pos = line.find(',', pos);
    if (pos == std::string_view::npos) return pos;
    ++pos;
  }
  return pos;
}

// The tags of the layouts this program reads.
bool KnownTag(std::string_view program) {
  return program == "Velquor10" || program == "Velquor05";
}

}  // namespace

SummaryFacts ReadSummaryFacts(std::string_view summary) {
  SummaryFacts facts;
  const std::string_view line = SecondLine(summary);
  FieldReader r(line);
  for (std::string* f : {&facts.stem, &facts.date, &facts.time, &facts.program}) {
    const auto field = r.Next();
    if (!field || field->line != 1) break;
    *f = field->text;
  }
  // The note is written as typed, commas and blanks included, to the end of the row.
  const std::size_t note = AfterFields(line, kFieldsBeforeNote);
  if (KnownTag(facts.program) && note != std::string_view::npos) facts.note = line.substr(note);
  return facts;
}
std::string SummaryStem(std::string_view dat_path) {
  const std::size_t slash = dat_path.find_last_of("/\\");
  std::string_view name = slash == std::string_view::npos ? dat_path : dat_path.substr(slash + 1);
  if (EndsWithNoCase(name, "_dat.csv")) return std::string(name.substr(0, name.size() - 8));
  if (EndsWithNoCase(name, "dat.csv")) return std::string(name.substr(0, name.size() - 7));
  return std::string(name);
}

SummaryCondition ReadSummaryCondition(std::string_view summary) {
  SummaryCondition c;
  FieldReader r(SecondLine(summary));
  std::string program;
  for (int k = 0; k < 4; ++k) {
    const auto field = r.Next();
    if (!field || field->line != 1) return c;
    program = field->text;
  }
  if (!KnownTag(program)) return c;
  for (std::string* f : {&c.interval, &c.samples}) {
    const auto field = r.Next();
    if (!field || field->line != 1) break;
    *f = field->text;
  }
  return c;
}

namespace {

SummaryFacts FactsOf(const std::string& dat_path, const Result<std::string>& text) {
  const std::string native = ToNativePath(dat_path);
  SummaryFacts facts = text ? ReadSummaryFacts(text.value()) : SummaryFacts{};
  if (facts.stem.empty()) facts.stem = SummaryStem(dat_path);
  struct stat st {};
  if (facts.date.empty() && facts.time.empty() && ::stat(native.c_str(), &st) == 0) {
    const SaveStamp when = StampAt(st.st_mtime);
    facts.date = DateText(when);
    facts.time = TimeText(when) + " (time of the file)";
  }
  return facts;
}

}  // namespace

SummaryFacts LoadSummaryFacts(const std::string& dat_path) {
  return FactsOf(dat_path, ReadShiftJisFile(ToNativePath(dat_path)));
}

SummaryListing LoadSummaryListing(const std::string& dat_path) {
  const auto text = ReadShiftJisFile(ToNativePath(dat_path));
  return {FactsOf(dat_path, text), text ? ReadSummaryCondition(text.value()) : SummaryCondition{}};
}

}  // namespace velquor
