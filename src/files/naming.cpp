#include "files/naming.h"

#include "common/number_parse.h"
#include "common/number_text.h"
#include "files/naming_rules.h"
#include "files/text_chars.h"

namespace velquor {
namespace {

constexpr std::size_t kNumberWidth = 7;

void Refresh(NamingSet& set, ComposedNames& out) {
  out = ComposeNames(set.Dir, set.Head, set.Org);
  set.DatDisplay = out.DatFilePath;
  set.CsvDisplay = out.CsvFilePath;
}

}  // namespace

ComposedNames ComposeNames(std::string_view dir, std::string_view head, std::string_view org) {
  const std::size_t len = CharCount(org);
  std::string stem(head);
  if (len < kNumberWidth) stem.append(kNumberWidth - len, '0');
  stem.append(org);
  const std::string base = InDirectory(dir, stem);
  return {stem, base + "_dat.csv", base + "_csv.csv"};
}

std::string InDirectory(std::string_view dir, std::string_view name) {
  if (dir.empty()) return std::string(name);
  return std::string(dir) + "\\" + std::string(name);
}

std::optional<std::string> StemFault(std::string_view stem) {
  if (auto why = NameTextFault("the name", stem)) {
    return *why + "; the pair was not saved, change the header";
  }
  return std::nullopt;
}

void MakeFileNames(FileNaming& naming, int save_flag) {
  ComposedNames autos;
  ComposedNames manual;
  Refresh(naming.Auto, autos);
  Refresh(naming.Manual, manual);
  const bool use_manual = save_flag == 1;
  ComposedNames& cur = use_manual ? manual : autos;
  naming.BaseName = std::move(cur.BaseName);
  naming.DatFilePath = std::move(cur.DatFilePath);
  naming.CsvFilePath = std::move(cur.CsvFilePath);
  naming.NoteText = use_manual ? naming.Manual.Note : naming.Auto.Note;
}

void AdvanceFileNumber(FileNaming& naming, int save_flag) {
  NamingSet& set = save_flag == 1 ? naming.Manual : naming.Auto;
  set.Org = PlainForm(Val(set.Org) + 1.0);
  // The number box's change event recomposes the names.
  MakeFileNames(naming, save_flag);
}

}  // namespace velquor
