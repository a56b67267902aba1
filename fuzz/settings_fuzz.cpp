// Fuzzes the settings file reader, and holds the writer to its promise: whatever was read
// is written so that it reads back the same, unless the writer said it could not be; and
// holds the reader to its own: no header or file number it gives names a file outside the
// save directory.
#include "files/naming_rules.h"
#include "files/settings_file.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velquor;
  auto text = fuzz::Decode(fuzz::Bytes(data, size));
  if (!text) return 0;
  SettingsLoad first = ReadSettingsText(*text, "Velquor.ini");
  SettingsFileText written = SettingsText(first.values);
  if (!written.notices.empty()) return 0;
  SettingsLoad again = ReadSettingsText(written.text, "Velquor.ini");
  // What is written is never out of step; a condition Start refuses is kept as written and
  // named again, and nothing else is.
  const std::size_t refused = SettingsConditionFault(first.values, "Velquor.ini") ? 1 : 0;
  if (again.unreadable || again.notices.size() != refused) fuzz::Broken();
  const Settings& a = first.values;
  const Settings& b = again.values;
  if (a.txtFileDir_Man != b.txtFileDir_Man || a.txtFileHead_Man != b.txtFileHead_Man ||
      a.txtFileOrg_Man != b.txtFileOrg_Man || a.txtFileDir != b.txtFileDir ||
      a.txtFileHead != b.txtFileHead || a.txtFileOrg != b.txtFileOrg ||
      a.txtTimerInterval != b.txtTimerInterval || a.txtDataNum != b.txtDataNum ||
      a.txtSampTime != b.txtSampTime || a.txtStartPosCond != b.txtStartPosCond ||
      a.txtEndPosCond != b.txtEndPosCond || a.txtLimitCond != b.txtLimitCond ||
      a.GraphColor != b.GraphColor) {
    fuzz::Broken();
  }
  if (HeaderFault(a.txtFileHead) || HeaderFault(a.txtFileHead_Man) || NumberFault(a.txtFileOrg) ||
      NumberFault(a.txtFileOrg_Man)) {
    fuzz::Broken();
  }
  return 0;
}
