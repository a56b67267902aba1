#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "calibration/calibration_workflow.h"
#include "calibration/fit_review.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

struct Point {
  int row;
  std::string volt;
  std::string torque = {};  // the row's design-time torque when empty
};

// The design-time torques (-30, -25, ... 30 in rows 0..12) with voltages in the rows given.
Calibration Points(const std::vector<Point>& ch0, const std::vector<Point>& ch1) {
  Calibration c = Calibration::DesignTime();
  for (std::size_t ch = 0; ch < 2; ++ch) {
    for (const Point& p : ch == 0 ? ch0 : ch1) {
      c.VoltText[ch].at(static_cast<std::size_t>(p.row)) = p.volt;
      if (!p.torque.empty()) c.TqText[ch].at(static_cast<std::size_t>(p.row)) = p.torque;
    }
  }
  return c;
}

// Rows 4, 6 and 8 hold -10, 0 and 10 Nm: voltages -0.5, 0 and 0.5 give 20 Nm/V exactly.
const std::vector<Point> kGood = {{4, "-0.5"}, {6, "0"}, {8, "0.5"}};

TEST(ReviewFit, EachCheckAsksOnlyWhenItsThresholdIsCrossed) {
  struct Case {
    const char* name;
    std::vector<Point> ch0;
    std::optional<double> in_force;  // channel 0's Ka1 in force (ch1's: 20); none: not loaded
    const char* doubt;               // the start of the one doubt expected after "ch0: ", or none
  };
  const Case cases[] = {
      {"a good fit", kGood, 20, nullptr},
      // -10 and 0 Nm 5 mV apart: about 2000 Nm/V, the kind of fit that went in unasked.
      {"5 mV", {{4, "0.250"}, {6, "0.255"}}, {}, "the voltages span 0.005 V, less than 0.1 V"},
      {"99 mV", {{4, "0.200"}, {5, "0.2495"}, {6, "0.299"}}, {}, "the voltages span 0.099 V"},
      {"100 mV is enough", {{4, "0.200"}, {6, "0.300"}}, {}, nullptr},
      // -10, 5 and 0 Nm at -0.5, 0 and 0.5 V: 1 - (200/3) / (350/3).
      {"R² under 0.99", {{4, "-0.5"}, {7, "0"}, {6, "0.5"}}, {}, "R² is 0.42857, less than 0.99"},
      {"flat",
       {{5, "-0.5", "0"}, {6, "0.5"}},
       {},
       "every torque is the same, so R² cannot be computed"},
      // 10 Nm over 0.4 V is 25 Nm/V: 25 % above 20.
      {"25 % above",
       {{4, "-0.2"}, {6, "0.2"}},
       20,
       "Ka1 = 25 Nm/V differs by 25 % from the 20 Nm/V in force"},
      {"25 % below", {{4, "-0.4"}, {6, "0.4"}}, 16.6666667, "Ka1 = 12.5 Nm/V differs by 25 %"},
      {"19 % above", {{4, "-0.5"}, {6, "0.5"}}, 8.4033613, nullptr},
      // No calibration in force: the slope is not compared, nor is a slope of 0 in force.
      {"not loaded", {{4, "-0.2"}, {6, "0.2"}}, {}, nullptr},
      {"a slope of 0 in force", {{4, "-0.2"}, {6, "0.2"}}, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Calibration cal = Points(c.ch0, kGood);
    cal.loaded = c.in_force.has_value();
    cal.Ka1 = {c.in_force.value_or(20), 20};
    auto proposal = ProposeFit(cal);
    ASSERT_TRUE(proposal.ok()) << proposal.problem().what;
    const FitReview& r = proposal.value().review;
    std::string all;
    for (const std::string& d : r.doubts) all += d + "\n";
    if (c.doubt == nullptr) {
      EXPECT_FALSE(r.Doubtful()) << all;
      continue;
    }
    ASSERT_EQ(r.doubts.size(), 1u) << all;
    EXPECT_EQ(r.doubts[0].rfind(std::string("ch0: ") + c.doubt, 0), 0u) << r.doubts[0];
  }
}

TEST(ReviewFit, TheQuestionNamesTheNumbersAndWhatNoKeeps) {
  Calibration cal = Points({{4, "0.250"}, {6, "0.255"}}, kGood);
  cal.loaded = true;
  cal.Ka1 = {20, 20};
  cal.Ka0 = {0.25, -0.5};
  cal.file = "/rig/Velquor.clb";
  cal.date = "2026-12-01 09:12";
  auto proposal = ProposeFit(cal);
  ASSERT_TRUE(proposal.ok());
  const FitReview& r = proposal.value().review;
  ASSERT_EQ(r.doubts.size(), 2u);  // the span and the slope
  const std::string q = ReplaceQuestion(r, proposal.value().fit, cal);
  for (const char* piece : {"span 0.005 V", "Ka1 = 1999.3307 Nm/V differs by 9897 %",
                            "New: ch0 Tq = 1999.3307 x V - 509.831 Nm, ch1 Tq = 20 x V + 0 Nm",
                            "In force: ch0 Tq = 20 x V + 0.25 Nm, ch1 Tq = 20 x V - 0.5 Nm; "
                            "from /rig/Velquor.clb of 2026-12-01 09:12",
                            "No keeps the calibration in force and its file"}) {
    EXPECT_NE(q.find(piece), std::string::npos) << piece << "\nin\n" << q;
  }
  EXPECT_EQ(QualityText(r.channel[1]), "R² 1.00000, span 1.000 V");
}

TEST(InForceText, CoefficientsReadBackToTheSameSingle) {
  Calibration cal;
  EXPECT_EQ(InForceText(cal), "no calibration loaded (Ka1 = 0, Ka0 = 0)");
  cal.loaded = true;
  cal.Ka1 = {static_cast<double>(20.0000038f), 0.1};
  cal.Ka0 = {static_cast<double>(-0.25f), 0};
  EXPECT_EQ(InForceText(cal),
            "ch0 Tq = 20.000004 x V - 0.25 Nm, ch1 Tq = 0.1 x V + 0 Nm; "
            "not kept in a file");
}

TEST(AdoptFit, NamesTheFileWrittenAndTheStamp) {
  testing::TempDir dir;
  Calibration cal = Points(kGood, kGood);
  auto proposal = ProposeFit(cal);
  ASSERT_TRUE(proposal.ok());
  const std::string working = dir / "Velquor.clb";
  const CalibrationSave save =
      AdoptFit(proposal.value().fit, cal, dir.path(), {2026, 12, 7, 10, 42, 7}, working);
  ASSERT_TRUE(save.working.ok());
  EXPECT_EQ(cal.file, working);
  EXPECT_EQ(cal.date, "2026-12-07 10:42");
  EXPECT_EQ(cal.Ka1[0], 20.0);
  EXPECT_TRUE(cal.loaded);
}

}  // namespace
}  // namespace velquor
