// Fuzzes the two readers of a trial's JSON document: the one that completes a trial a killed
// run left, and the catalogue's. What either accepts has a positive interval (and, for the
// catalogue, labels of the allowed characters); what either refuses names the file.
#include "catalogue/trial_document.h"
#include "files/trial_completion.h"
#include "fuzz/fuzz_input.h"
#include "record/study_label.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velquor;
  const std::string_view text = fuzz::Bytes(data, size);
  const auto left = ReadTrialDocument(text, "f_trial.json");
  if (!left) {
    if (left.problem().file != "f_trial.json" || left.problem().what.empty()) fuzz::Broken();
  } else {
    if (!(left.value().facts.interval_ms > 0)) fuzz::Broken();
    for (const TrialMarker& m : left.value().facts.markers) {
      if (m.number < 1) fuzz::Broken();
    }
  }
  const auto catalogued = ReadCatalogueTrial(text, "f_trial.json");
  if (!catalogued) {
    if (catalogued.problem().file != "f_trial.json" || catalogued.problem().what.empty()) {
      fuzz::Broken();
    }
    return 0;
  }
  const TrialFacts& f = catalogued.value().facts;
  if (!(f.interval_ms > 0) || f.samples < 0 || LabelsProblem(f.who)) fuzz::Broken();
  return 0;
}
