#include <gtest/gtest.h>

#include <tuple>

#include "daq/device_access.h"
#include "support/scripted_driver.h"

namespace velquor {
namespace {

using testing::ScriptedDriver;

// What the devices answer is tested over the software devices; here, what is asked of them.
// Driver number 1 is the 8255 card, whose mode is set; another skips the mode call.
TEST(DeviceAccess, InitialNumbersOpenBothDevicesAndSetTheModeOfTheFirstDigitalDriver) {
  ScriptedDriver drv;
  DeviceState dev;
  EXPECT_TRUE(OpenAioCard(drv, dev, {}).lampGreen && OpenDioCard(drv, dev, {}).lampGreen);
  EXPECT_EQ(dev.GrpNo, 1);
  CardSettingTexts texts;
  texts.TxtDrvDIO = "2";
  texts.TxtGrpDIO = "7";
  texts.PortNo3Inf = "5.5";
  EXPECT_EQ(OpenDioCard(drv, dev, texts).retInf, "DioOpen Return Code = 000h");
  EXPECT_EQ(drv.calls, (std::vector<std::string>{"AioOpen 30 1", "DioOpen 1 1",
                                                 "Dio8255Mode 22 0 155", "DioOpen 2 7"}));
  EXPECT_EQ(dev.PortList[2], 6);  // halves to even
  EXPECT_EQ(dev.GrpNo, 7);
}

TEST(DeviceAccess, FailuresShowCodesRedLampsAndReasons) {
  ScriptedDriver drv;
  DeviceState dev;
  CardSettingTexts texts;
  drv.open_code = 10001;
  auto aio = OpenAioCard(drv, dev, texts);
  EXPECT_EQ(aio.retInf, "AioOpen Return Code = 711h");
  EXPECT_FALSE(aio.lampGreen);
  EXPECT_EQ(aio.notice, "AioOpen failed with code 711h: scripted failure");
  drv.last_error = "AioOpen: cannot open /dev/comedi30";  // a reason naming the operation itself
  EXPECT_EQ(OpenAioCard(drv, dev, texts).notice,
            "AioOpen failed with code 711h: cannot open /dev/comedi30");
  EXPECT_TRUE(dev.AioReq.Built());  // built whatever the result

  drv.open_code = 0;
  drv.mode_code = 11;
  auto dio = OpenDioCard(drv, dev, texts);
  EXPECT_EQ(dio.retInf, "Dio8255Mode Return Code = 00Bh");
  EXPECT_TRUE(dio.lampGreen);        // the lamp follows DioOpen, which succeeded
  EXPECT_FALSE(dev.DioReq.Built());  // the mode failed: the request stays unbuilt

  auto closed = CloseAioCard(drv, dev);
  EXPECT_EQ(closed.retInf, "AioClose Return Code = 000h");
  EXPECT_FALSE(closed.lampGreen);  // red whatever the code
}

TEST(DeviceAccess, NumbersThatAreNotNumbersKeepTheDeviceClosed) {
  for (const char* bad : {"", "thirty", "3O", "40000"}) {
    ScriptedDriver drv;
    DeviceState dev;
    CardSettingTexts texts;
    texts.TxtDrvAD = bad;
    texts.TxtGrpDIO = bad;
    auto aio = OpenAioCard(drv, dev, texts);
    auto dio = OpenDioCard(drv, dev, texts);
    EXPECT_TRUE(drv.calls.empty()) << bad;
    EXPECT_FALSE(aio.lampGreen);
    EXPECT_NE(aio.notice.find("Driver Number"), std::string::npos) << aio.notice;
    EXPECT_NE(dio.notice.find("Group Number"), std::string::npos) << dio.notice;
    // The return-code lines say what happened instead of keeping the last code.
    EXPECT_EQ(aio.retInf, aio.notice);
    EXPECT_EQ(dio.retInf, dio.notice);
  }
}

TEST(DeviceAccess, ReferenceBoxChoosesGroundCommonDifferentialOrOtherAndRefusesOtherTexts) {
  using enum AnalogReference;
  for (const auto& [text, opens, ref] :
       {std::tuple{"GND", true, kGround}, std::tuple{" diff ", true, kDifferential},
        std::tuple{"Diff", true, kDifferential}, std::tuple{"common", true, kCommon},
        std::tuple{"OTHER", true, kOther}, std::tuple{"SE", false, kGround},
        std::tuple{"", false, kGround}}) {
    ScriptedDriver drv;
    DeviceState dev;
    CardSettingTexts texts;
    texts.TxtRefAD = text;
    const DeviceOutcome aio = OpenAioCard(drv, dev, texts);
    EXPECT_EQ(aio.lampGreen, opens) << text;
    EXPECT_EQ(drv.calls.size(), opens ? 1u : 0u) << text;
    EXPECT_EQ(drv.reference, ref) << text;
    EXPECT_EQ(aio.notice.find("none of GND, COMMON, DIFF and OTHER") != std::string::npos, !opens)
        << aio.notice;
    EXPECT_EQ(aio.retInf == aio.notice, !opens) << text;
  }
}

}  // namespace
}  // namespace velquor
