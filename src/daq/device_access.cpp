#include "daq/device_access.h"

#include <cctype>
#include <cmath>

#include "common/number_parse.h"
#include "daq/return_code.h"

namespace velquor {
namespace {

// The reference box: GND, COMMON, DIFF or OTHER, in any case, blanks ignored.
std::optional<AnalogReference> ParseReference(const std::string& text) {
  std::string word;
  for (char c : text) {
    if (c != ' ' && c != '\t')
      word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  for (AnalogReference r : kAnalogReferences) {
    if (word == ReferenceName(r)) return r;
  }
  return std::nullopt;
}

std::int16_t Port16(const std::string& text) {
  double v = RoundHalfEven(Val(text));
  if (!(v >= -32768 && v <= 32767)) v = 0;
  return static_cast<std::int16_t>(v);
}

}  // namespace

std::string DescribeFailure(const AcqDriver& driver, std::int32_t code, const std::string& op) {
  if (code == 0) return {};
  std::string reason = driver.LastError();
  // A backend may name the operation itself; say it once.
  if (reason.rfind(op + ": ", 0) == 0) reason.erase(0, op.size() + 2);
  return op + " failed with code " + ReturnCodeText(code) + (reason.empty() ? "" : ": " + reason);
}

DeviceOutcome OpenAioCard(AcqDriver& driver, DeviceState& dev, const CardSettingTexts& texts) {
  DeviceOutcome out;
  auto drv = ParseWhole16(texts.TxtDrvAD);
  auto grp = ParseWhole16(texts.TxtGrpAD);
  const auto ref = ParseReference(texts.TxtRefAD);
  if (!drv || !grp) {
    out.notice = std::string("A/D ") +
                 (!drv ? "Driver Number \"" + texts.TxtDrvAD : "Group Number \"" + texts.TxtGrpAD) +
                 "\" is not a whole number from -32768 to 32767; the A/D device was not opened";
    out.retInf = out.notice;  // the return-code line says so too, not an old code
  } else if (!ref) {
    out.notice = "A/D Reference \"" + texts.TxtRefAD +
                 "\" is none of GND, COMMON, DIFF and OTHER; the A/D device was not opened";
    out.retInf = out.notice;
  } else {
    dev.AioDrvNo = *drv;
    dev.GrpNo = *grp;
    driver.SetAnalogReference(*ref);
    dev.RetCode = driver.AioOpen(dev.AioId, dev.AioDrvNo, dev.GrpNo);
    out.note = driver.TakeNotice();
    out.retInf = "AioOpen Return Code = " + ReturnCodeText(dev.RetCode);
    out.lampGreen = ReturnCodeShowsSuccess(dev.RetCode);
    out.notice = DescribeFailure(driver, dev.RetCode, "AioOpen");
  }
  for (int k = 0; k < 32; ++k)
    dev.ChannelList.at(static_cast<std::size_t>(k)) = static_cast<std::int16_t>(k);
  dev.AioReq.AiData = &dev.AiData;
  dev.AioReq.ChannelList = &dev.ChannelList;
  dev.AioReq.ChannelCount = 2;
  return out;
}

DeviceOutcome OpenDioCard(AcqDriver& driver, DeviceState& dev, const CardSettingTexts& texts) {
  DeviceOutcome out;
  auto drv = ParseWhole16(texts.TxtDrvDIO);
  auto grp = ParseWhole16(texts.TxtGrpDIO);
  if (!drv || !grp) {
    out.notice =
        std::string("DIO ") +
        (!drv ? "Driver Number \"" + texts.TxtDrvDIO : "Group Number \"" + texts.TxtGrpDIO) +
        "\" is not a whole number from -32768 to 32767; the DIO device was not opened";
    out.retInf = out.notice;
    return out;
  }
  dev.DioDrvNo = *drv;
  dev.GrpNo = *grp;
  dev.RetCode = driver.DioOpen(dev.DioId, dev.DioDrvNo, dev.GrpNo);
  out.note = driver.TakeNotice();
  out.retInf = "DioOpen Return Code = " + ReturnCodeText(dev.RetCode);
  out.lampGreen = ReturnCodeShowsSuccess(dev.RetCode);
  out.notice = DescribeFailure(driver, dev.RetCode, "DioOpen");
  if (dev.DioDrvNo == 1) {
    dev.RetCode = driver.Dio8255Mode(dev.DioId, 0, 0x9B);
    out.retInf = "Dio8255Mode Return Code = " + ReturnCodeText(dev.RetCode);
    if (std::string more = driver.TakeNotice(); !more.empty())
      out.note += (out.note.empty() ? "" : "; ") + more;
    if (dev.RetCode != 0) {
      std::string more = DescribeFailure(driver, dev.RetCode, "Dio8255Mode");
      out.notice = out.notice.empty() ? more : out.notice + "; " + more;
      return out;
    }
  }
  dev.PortList = {Port16(texts.PortNo1Inf), Port16(texts.PortNo2Inf), Port16(texts.PortNo3Inf)};
  dev.DioReq.PortList = &dev.PortList;
  dev.DioReq.PortCount = 3;
  dev.DioReq.DioData = &dev.DioData;
  return out;
}

namespace {

// What a close answered: its return-code line, the lamp red, and a failure in words.
DeviceOutcome Closed(const AcqDriver& driver, DeviceState& dev, std::int32_t code,
                     const std::string& op) {
  DeviceOutcome out;
  dev.RetCode = code;
  out.retInf = op + " Return Code = " + ReturnCodeText(code);
  out.lampGreen = false;
  out.notice = DescribeFailure(driver, code, op);
  return out;
}

}  // namespace

DeviceOutcome CloseAioCard(AcqDriver& driver, DeviceState& dev) {
  return Closed(driver, dev, driver.AioClose(dev.AioId), "AioClose");
}

DeviceOutcome CloseDioCard(AcqDriver& driver, DeviceState& dev) {
  return Closed(driver, dev, driver.DioClose(dev.DioId), "DioClose");
}

}  // namespace velquor
