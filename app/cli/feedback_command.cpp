#include "app/cli/feedback_command.h"

#include <string>

namespace velquor::cli {
namespace {

std::string EndText(const BandEnd& end, const char* open) {
  const std::string text = BandEndText(end);
  if (end.kind == BandEnd::Kind::kRelative) return "baseline " + text;
  return text.empty() ? open : text;
}

}  // namespace

std::string FeedbackText(const FeedbackSettings& s) {
  std::string out = "schedule: " + std::string(ScheduleName(s.schedule)) + "\n";
  if (s.targets.empty()) out += "no variable is chosen\n";
  for (const Target& t : s.targets) {
    out += std::string(FeedbackVariableName(t.variable)) + ": low " + EndText(t.low, "open") +
           ", high " + EndText(t.high, "open") + (t.tone ? ", tone" : "") + "\n";
  }
  return out;
}

int RunFeedback(const FeedbackOptions&, const CliPaths& paths, std::ostream& out,
                std::ostream& err) {
  const StartupFiles start = LoadStartupFiles(paths, err);
  if (!start.settingsWritable) return 1;
  out << FeedbackText(start.settings.feedback);
  return 0;
}

}  // namespace velquor::cli
