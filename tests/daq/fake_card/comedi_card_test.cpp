#include <comedilib.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "backend/driver_choice.h"
#include "daq/device_access.h"
#include "measure/acquisition_engine.h"

// Runs under the preloaded simulated card: /dev/comedi0 is a 12-bit multiplexed card with an
// 8255 on subdevice 1, whose analog input runs commands with a pacing timer of whole µs up to
// 65.535 ms; /dev/comedi1 has no driver attached, no other /dev/comediN exists.
namespace velquor {
namespace {

constexpr unsigned kDio = 1;

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
                    "port B (channels 8-15) of digital subdevice 1 on /dev/comedi0 "
                    "made inputs"))
      << dio.note;

  // Channel 1 (-5 V) is read right after channel 0 (2.5 V) and still gives its own code.
  for (int sample = 0; sample < 3; ++sample) {
    ASSERT_EQ(drv.AioInp(dev.AioId, dev.AioReq), 0) << drv.LastError();
    EXPECT_EQ(dev.AiData, (std::array<std::uint16_t, 2>{2560, 1024}));
    ASSERT_EQ(drv.DioInp(dev.DioId, dev.DioReq), 0) << drv.LastError();
    EXPECT_EQ(dev.DioData, (std::array<std::uint8_t, 3>{0x34, 0x12, 0xB7}));
  }
}

// What a finished cycle held: the code of channel 1 at each sample, and the ticks before it.
struct Cycle {
  std::vector<long> codes;
  std::int64_t gap = 0;
};

Cycle Copy(const SampleBlock& b) {
  Cycle c{{}, b.gap};
  for (int i = 1; i <= b.count.load(); ++i) {
    // Channel 0 of a streamed scan holds its number, channel 1 that number minus 1 above 1024:
    // both channels of a sample come from one scan.
    const long number = std::lround((b.Volt(0, i) + 10.0) * 4096 / 20);
    c.codes.push_back(std::lround((b.Volt(1, i) + 10.0) * 4096 / 20));
    EXPECT_EQ((c.codes.back() - 1024 + 1) % 256, number % 256) << i;
    EXPECT_EQ(b.PortByte(1, i), 0x12);
  }
  return c;
}

TEST(ComediCard, ARunIsOneCommandOnTheCardsClockCutIntoCyclesWithoutGapsOrStaleScans) {
  auto chosen = ChooseDriver("comedi:/dev/comedi0");
  ASSERT_TRUE(chosen.ok());
  AcqDriver& drv = *chosen.value();
  DeviceState dev;
  const DeviceOutcome aio = OpenAioCard(drv, dev, CardSettingTexts{});
  EXPECT_TRUE(Holds(aio.note, "runs paced by the card's clock")) << aio.note;
  ASSERT_EQ(OpenDioCard(drv, dev, CardSettingTexts{}).retInf, "Dio8255Mode Return Code = 000h");
  // 100 ms is beyond the card's timer, which offers its longest scan instead.
  EXPECT_FALSE(drv.StartPacedReads(100));
  EXPECT_TRUE(Holds(drv.TakeNotice(), "cannot keep 100 ms exactly (its clock gives 65.535 ms)"));

  SystemPacingClock clock;
  AcquisitionEngine engine(drv, dev, clock);
  ASSERT_TRUE(engine.Start(10, 5));
  std::vector<Cycle> cycles;
  std::vector<SampleBlock*> held;
  while (cycles.size() < 3 && engine.Running()) {
    engine.WaitForCycle(std::chrono::seconds(1));
    SampleBlock* block = engine.TakeFinished();
    if (block == nullptr) continue;
    held.push_back(block);
    cycles.push_back(Copy(*block));
    // Both blocks are held for 80 ms: the run passes over the ticks meanwhile.
    if (held.size() == 2) std::this_thread::sleep_for(std::chrono::milliseconds(80));
    if (held.size() >= 2) engine.Release(held.at(held.size() - 2));
  }
  engine.RequestStop();
  engine.Join();
  ASSERT_EQ(cycles.size(), 3u) << engine.TakeNotices().size() << " notices";
  // Channel 1 of scan k reads k codes above 1024: each sample is the next scan, across the
  // cycles, and after the passed-over ticks the scan of the tick it was taken on.
  EXPECT_EQ(cycles[0].gap, 0);
  EXPECT_EQ(cycles[1].gap, 0);
  EXPECT_GE(cycles[2].gap, 5);
  long expected = cycles[0].codes.front();
  for (const Cycle& c : cycles) {
    expected += c.gap;
    for (long code : c.codes) EXPECT_EQ(code, expected++);
  }
  // Stopping cancelled the command: the channels can be read one by one again.
  ASSERT_EQ(drv.AioInp(dev.AioId, dev.AioReq), 0) << drv.LastError();
  EXPECT_EQ(dev.AiData, (std::array<std::uint16_t, 2>{2560, 1024}));
}

// A given device file is opened as it is, never searched around.
TEST(ComediCard, ADeviceFileWithoutADriverIsNamedAsSuchAndLeftClosed) {
  auto chosen = ChooseDriver("comedi:/dev/comedi1");
  ASSERT_TRUE(chosen.ok());
  DeviceState dev;
  const DeviceOutcome aio = OpenAioCard(*chosen.value(), dev, CardSettingTexts{});
  EXPECT_EQ(aio.retInf, "AioOpen Return Code = 711h");
  EXPECT_TRUE(Holds(aio.notice,
                    "/dev/comedi1: No such device (the device file exists but no driver is "
                    "attached to it, or its card is gone; attach a card that is not "
                    "plug-and-play with sudo comedi_config /dev/comedi1 <driver> <io-base>)"))
      << aio.notice;
  EXPECT_EQ(chosen.value()->AioInp(dev.AioId, dev.AioReq), daq_code::kNotOpen);
}

}  // namespace
}  // namespace velquor
