// The progress report written by velquor-cli from a catalogue of simulated trials and read back
// with poppler's pdftotext: its graphs' headings, its table against a set MDC, and the files it
// refuses to write.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>
#include <tuple>

#include "analysis/push_forms.h"
#include "app/cli/cli_options.h"
#include "app/cli/progress_command.h"
#include "catalogue/catalogue.h"
#include "catalogue/progress_figures.h"
#include "catalogue/study_trials.h"
#include "common/text_file.h"
#include "files/settings_file.h"
#include "files/temp_dir.h"
#include "support/command_output.h"

namespace velquor::cli {
namespace {

using velquor::testing::CommandOutput;
using velquor::testing::TempDir;

class ProgressPdf : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(CommandOutput("command -v pdftotext").empty())
        << "poppler-utils is missing: run scripts/setup.sh";
    paths_.settings = dir_ / "Velquor.ini";
    paths_.calibration = dir_ / "Velquor.clb";
    Settings s = Settings::DesignTime();
    s.mdc = {{{"peak_torque_Nm", 2}}};
    ASSERT_TRUE(SaveSettings(s, paths_.settings).ok());
    // Two participants over three sessions; P01's peak torque rises a little, then a lot.
    const std::array<double, 3> strength = {1.0, 1.02, 1.3};
    int number = 1;
    for (const char* p : {"P01", "P02"}) {
      for (int session = 1; session <= 3; ++session) {
        const auto t = velquor::testing::SaveTrial(
            dir_.path(), "RUN" + std::to_string(10000000 + number).substr(1), number + 1,
            {p, std::to_string(session), "steady"}, strength.at(session - 1), 8);
        ASSERT_TRUE(RecordTrial(dir_.path(), t.facts, t.pushes).ok());
        number += 2;
      }
    }
  }

  int Progress(std::vector<std::string> args) {
    args.insert(args.begin(), "progress");
    auto inv = ParseCommandLine(args);
    EXPECT_TRUE(inv.ok()) << inv.problem().what;
    out_.str("");
    err_.str("");
    return RunProgress(inv.value().progress, paths_, out_, err_);
  }

  std::string Text(const std::string& pdf) {
    return std::regex_replace(CommandOutput("pdftotext -layout '" + pdf + "' -"),
                              std::regex("[ \\t]+"), " ");
  }

  TempDir dir_;
  CliPaths paths_;
  std::ostringstream out_, err_;
};

TEST_F(ProgressPdf, ShowsEachSessionsChangeAgainstTheMdc) {
  // A trial of no session, and one whose run was killed before it was complete, are P01's too
  // but have no place among the sessions: left out, and said.
  for (const auto& [stem, session, complete] :
       {std::tuple{"RUN0000091", "", true}, std::tuple{"RUN0000093", "2", false}}) {
    const auto t =
        velquor::testing::SaveTrial(dir_.path(), stem, 95, {"P01", session, "steady"}, 3.0, 8);
    ASSERT_TRUE(RecordTrial(dir_.path(), t.facts, t.pushes, complete).ok());
  }
  const std::string pdf = dir_ / "p01.pdf";
  ASSERT_EQ(Progress({"--participant", "P01", "--pdf", pdf, "--dir", dir_.path()}), 0)
      << err_.str();
  EXPECT_NE(out_.str().find("progress of P01: 3 sessions, 3 trials, 5 figures written to " + pdf),
            std::string::npos)
      << out_.str();
  for (const char* said : {"trial RUN0000091 has no session; it is left out of the progress",
                           "trial RUN0000093 is not complete; it is left out of the progress"}) {
    EXPECT_NE(err_.str().find(said), std::string::npos) << said << "\nin\n" << err_.str();
  }
  const std::string text = Text(pdf);
  for (const char* expected :
       {"Progress of P01",
        "Push frequency (pushes/min) by session (no MDC set: changes not judged)",
        "Peak torque (Nm) by session (MDC 2)", "Rate of rise (Nm/s)", "Smoothness",
        "Session by session", "peak_torque_Nm 2"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\nin\n" << text;
  }
  // A change that rounds to none carries no sign.
  EXPECT_EQ(text.find("+0.000"), std::string::npos) << text;
  EXPECT_EQ(text.find("-0.000"), std::string::npos) << text;
  // The peak torque rows of sessions 2 and 3 as the figures have them: within, then beyond.
  const Result<TrialList> list = ListTrials(dir_.path(), {"P01", "", ""});
  ASSERT_TRUE(list.ok());
  const auto p =
      SessionProgressOf(list.value().rows, {"peak_torque_Nm"}, {{{"peak_torque_Nm", 2}}});
  ASSERT_TRUE(p.ok());
  ASSERT_EQ(p.value().sessions.size(), 3u);
  const std::array<const char*, 3> judged = {"reference", "within", "beyond"};
  for (std::size_t s = 0; s < 3; ++s) {
    const WheelFigure& w = p.value().sessions[s].figures[0][0];
    std::string cell = FigureCell(w.pooled.mean) + " ± " + FigureCell(w.pooled.sd) + " ";
    cell += s == 0 ? "reference"
                   : (*w.change > 0 ? "+" : "") + FigureCell(w.change) + " " + judged.at(s);
    EXPECT_EQ(JudgementText(w.judgement), s == 0 ? "reference" : judged.at(s));
    EXPECT_NE(text.find("Peak (Nm) " + cell), std::string::npos) << cell << "\nin\n" << text;
  }

  // Only the figures asked for, in their order.
  const std::string two = dir_ / "two.pdf";
  ASSERT_EQ(Progress({"--participant", "P02", "--task", "steady", "--figure", "smoothness",
                      "--figure", "peak_torque_Nm", "--pdf", two, "--dir", dir_.path()}),
            0)
      << err_.str();
  const std::string t2 = Text(two);
  EXPECT_EQ(t2.find("Push frequency"), std::string::npos);
  EXPECT_LT(t2.find("Smoothness"), t2.find("Peak torque (Nm)")) << t2;
}

TEST_F(ProgressPdf, RefusesAnExistingPdfAndAParticipantWithoutTrials) {
  const std::string pdf = dir_ / "p.pdf";
  ASSERT_EQ(Progress({"--participant", "P02", "--pdf", pdf, "--dir", dir_.path()}), 0)
      << err_.str();
  const std::string before = ReadFileBytes(pdf).value();
  ASSERT_EQ(before.substr(0, 5), "%PDF-");

  struct Case {
    std::vector<std::string> args;
    std::string says;
  };
  const std::vector<Case> cases = {
      {{"--participant", "P01", "--pdf", pdf, "--dir", dir_.path()}, "already exists"},
      {{"--participant", "P09", "--pdf", dir_ / "none.pdf", "--dir", dir_.path()},
       "no trial of participant P09 in " + dir_.path()},
      {{"--participant", "P01", "--task", "sprint", "--pdf", dir_ / "none.pdf", "--dir",
        dir_.path()},
       "at task sprint"},
      {{"--participant", "P01", "--pdf", dir_ / "none.pdf", "--dir", dir_ / "absent"},
       "catalogue scan"},
      {{"--overwrite", "--participant", "P01", "--pdf", dir_ / std::string(kCatalogueName), "--dir",
        dir_.path()},
       "never written over"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Progress(c.args), 1) << c.says;
    EXPECT_NE(err_.str().find(c.says), std::string::npos) << err_.str();
  }
  EXPECT_EQ(ReadFileBytes(pdf).value(), before);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "none.pdf"));
  ASSERT_EQ(Progress({"--overwrite", "--participant", "P01", "--pdf", pdf, "--dir", dir_.path()}),
            0);
  EXPECT_NE(ReadFileBytes(pdf).value(), before);

  // What the command line refuses before anything is read.
  struct Usage {
    std::vector<std::string> args;
    std::string says;
  };
  for (const Usage& u : std::vector<Usage>{
           {{"progress", "--pdf", "x.pdf"}, "--participant"},
           {{"progress", "--participant", "P01"}, "--pdf"},
           {{"progress", "--participant", "P01", "--figure", "on_s", "--pdf", "x.pdf"}, "on_s"},
           {{"progress", "--participant", "P 1", "--pdf", "x.pdf"}, "P 1"},
       }) {
    const auto inv = ParseCommandLine(u.args);
    ASSERT_FALSE(inv.ok()) << u.says;
    EXPECT_NE(inv.problem().what.find(u.says), std::string::npos) << inv.problem().what;
  }
}

}  // namespace
}  // namespace velquor::cli
