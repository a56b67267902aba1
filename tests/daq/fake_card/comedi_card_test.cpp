#include <comedilib.h>
#include <gtest/gtest.h>

#include <string>

#include "daq/device_access.h"
#include "daq/driver_choice.h"

// Runs under the preloaded simulated card: /dev/comedi0 is a 12-bit multiplexed card with an
// 8255 on subdevice 2, /dev/comedi1 has no driver attached, no other /dev/comediN exists.
namespace velquor {
namespace {

constexpr unsigned kDio = 2;

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(ComediCard, InitialNumbersFindTheCardMakeThePortsInputsAndReadSettledChannels) {
  // Another program left port B an output holding 55h: until it is made an input again,
  // reading it gives 55h back instead of the encoder's bits.
  comedi_t* other = comedi_open("/dev/comedi0");
  ASSERT_NE(other, nullptr);
  ASSERT_GE(comedi_dio_config(other, kDio, 8, COMEDI_OUTPUT), 0);
  unsigned bits = 0x5500;
  ASSERT_GE(comedi_dio_bitfield2(other, kDio, 0xFF00, &bits, 0), 0);
  EXPECT_EQ(bits, 0xB75534u);
  comedi_close(other);

  auto chosen = ChooseDriver("comedi");
  ASSERT_TRUE(chosen.ok());
  AcqDriver& drv = *chosen.value();
  DeviceState dev;
  const CardSettingTexts texts;  // A/D Driver Number 30, DIO Driver Number 1
  const DeviceOutcome aio = OpenAioCard(drv, dev, texts);
  EXPECT_EQ(aio.retInf, "AioOpen Return Code = 000h") << aio.notice;
  EXPECT_TRUE(Holds(aio.note,
                    "no card at /dev/comedi30; /dev/comedi0 is the first with an "
                    "analog-input subdevice"))
      << aio.note;
  EXPECT_TRUE(Holds(aio.note, "A/D: subdevice 0 of /dev/comedi0 (GND), 12-bit codes")) << aio.note;

  const DeviceOutcome dio = OpenDioCard(drv, dev, texts);
  EXPECT_EQ(dio.retInf, "Dio8255Mode Return Code = 000h") << dio.notice;
  EXPECT_TRUE(Holds(dio.note, "no card at /dev/comedi1")) << dio.note;
  EXPECT_TRUE(Holds(dio.note,
                    "port B (channels 8-15) of digital subdevice 2 on /dev/comedi0 "
                    "made inputs"))
      << dio.note;

  // Channel 1 (-5 V) is read right after channel 0 (2.5 V) and still gives its own code.
  for (int sample = 0; sample < 3; ++sample) {
    ASSERT_EQ(drv.AioInp(dev.AioId, dev.AioReq), 0) << drv.LastError();
    EXPECT_EQ(dev.AiData, (std::array<std::uint16_t, 2>{2560, 1024}));
    ASSERT_EQ(drv.DioInp(dev.DioId, dev.DioReq), 0) << drv.LastError();
    EXPECT_EQ(dev.DioData, (std::array<std::uint8_t, 3>{0x34, 0x12, 0xB7}));
  }
  EXPECT_EQ(CloseAioCard(drv, dev).retInf, "AioClose Return Code = 000h");
  EXPECT_EQ(CloseDioCard(drv, dev).retInf, "DioClose Return Code = 000h");
}

TEST(ComediCard, AReadWithoutSettlingTakesTheChannelReadBefore) {
  // What the settled reads above avoid: the simulated multiplexer bleeds like a real one.
  comedi_t* dev = comedi_open("/dev/comedi0");
  ASSERT_NE(dev, nullptr);
  lsampl_t left = 0, right = 0;
  ASSERT_GE(comedi_data_read_delayed(dev, 0, 0, 0, AREF_GROUND, &left, 15000), 0);
  EXPECT_EQ(left, 2560u);
  ASSERT_GE(comedi_data_read(dev, 0, 1, 0, AREF_GROUND, &right), 0);
  EXPECT_EQ(right, 2560u);  // channel 0's code, not channel 1's 1024
  ASSERT_GE(comedi_data_read_delayed(dev, 0, 1, 0, AREF_GROUND, &right, 15000), 0);
  EXPECT_EQ(right, 1024u);
  comedi_close(dev);
}

TEST(ComediCard, ADeviceFileWithoutADriverIsNamedAsSuch) {
  auto chosen = ChooseDriver("comedi:/dev/comedi1");
  ASSERT_TRUE(chosen.ok());
  DeviceState dev;
  const DeviceOutcome aio = OpenAioCard(*chosen.value(), dev, CardSettingTexts{});
  EXPECT_EQ(aio.retInf, "AioOpen Return Code = 711h");
  EXPECT_TRUE(Holds(aio.notice,
                    "/dev/comedi1: No such device (the device file exists but no "
                    "driver is attached to it, or its card is gone"))
      << aio.notice;
  EXPECT_TRUE(Holds(aio.notice, "sudo comedi_config /dev/comedi1")) << aio.notice;
}

}  // namespace
}  // namespace velquor
