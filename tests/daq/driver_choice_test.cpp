#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "backend/driver_choice.h"
#include "common/text_file.h"

namespace velquor {
namespace {

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "velquor-choice-" + std::to_string(::getpid()) + "-" + name;
}

TEST(DriverChoice, EachSpellingGivesItsBackendOrSaysWhatIsWrong) {
  // Replay files: two samples, and the same with a third whose Volt(1) is not a number.
  const std::string good = TempPath("RUN_csv.csv"), bad = TempPath("BAD_csv.csv");
  const std::string missing = TempPath("absent_csv.csv");
  const std::string derived = ", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0\r\n";
  const std::string head = std::string(21, ',') + "\r\n" + std::string(21, ',') + "\r\n";
  const std::string text =
      head + " 1, .02, 10, 20, .5,-.5" + derived + " 2, .04, 11, 21, .5,-.5" + derived;
  ASSERT_TRUE(WriteShiftJisFile(good, text).ok());
  ASSERT_TRUE(WriteShiftJisFile(bad, text + " 3, .06, 12, 22, .5,x" + derived).ok());
  struct Case {
    std::string spelling;
    bool ok;
    std::string says;  // part of the description, or of the problem
  };
  const std::vector<Case> cases = {
      {"sim", true, "simulated rig (seed 1)"},
      {"sim:42", true, "simulated rig (seed 42)"},
      {"sim:18446744073709551615", true, "seed 18446744073709551615"},
      {"sim:", false, "seed \"\" is not a whole number"},
      {"sim: 3", false, "seed \" 3\""},
      {"sim:18446744073709551616", false, "from 0 to 18446744073709551615"},
      {"", false, "unknown; choose sim[:SEED], comedi[:DEVICE] or replay:FILE"},
      {"simulator:1", false, "\"simulator:1\": unknown"},
      {"comedi:", false, "device file is missing"},
      {"replay", false, "file to replay is missing"},
      {"replay:" + missing, false, missing + ": cannot open"},
      {"replay:" + good, true, "replay of " + good + " (2 samples)"},
      {"replay:" + bad, false,
       bad + ", line 5, field 6: expected a number for Volt(1) of sample 3, found \"x\""},
      {"comedi:/dev/comedi3", ComediBuiltIn(),
       ComediBuiltIn() ? "comedilib card /dev/comedi3" : "built without comedilib"},
      {"comedi", ComediBuiltIn(),
       ComediBuiltIn() ? "comedilib cards (/dev/comediN)" : "install comedilib (libcomedi-dev)"},
  };
  for (const Case& c : cases) {
    auto chosen = ChooseDriver(c.spelling);
    ASSERT_EQ(chosen.ok(), c.ok) << c.spelling;
    const std::string text = c.ok ? chosen.value()->Describe() : chosen.problem().Describe();
    EXPECT_NE(text.find(c.says), std::string::npos) << c.spelling << ": " << text;
  }
  std::filesystem::remove(good);
  std::filesystem::remove(bad);
}

}  // namespace
}  // namespace velquor
