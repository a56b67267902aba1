#include "measure/quick_record.h"

#include "daq/device_access.h"
#include "measure/encoder.h"
#include "measure/take_sample.h"

namespace velquor {

void QuickRecord(AcqDriver& driver, MeasurementRecord& rec, int n, double interval_ms) {
  DeviceState dev;
  const CardSettingTexts texts;
  (void)OpenAioCard(driver, dev, texts);
  (void)OpenDioCard(driver, dev, texts);
  for (int i = 1; i <= n; ++i) {
    if (TakeSample(driver, dev, rec.Volt, rec.PortByte, i)) break;  // the rest stays as it was
  }
  rec.SampInterval = interval_ms;
  rec.DataNum = static_cast<float>(n);
  rec.MeasTime = interval_ms * n / 1000.0;
  AssembleEncoder(rec);
}

}  // namespace velquor
