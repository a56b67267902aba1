// Fuzzes the settings file reader, and holds the writer to its promise: whatever was read
// is written so that it reads back the same, unless the writer said it could not be.
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
  if (!again.notices.empty()) fuzz::Broken();
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
  return 0;
}
