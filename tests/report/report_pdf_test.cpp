// Reports written by velquor-cli and read back with poppler's pdftotext and pdfinfo.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>

#include "analysis/push_forms.h"
#include "analysis/result_texts.h"
#include "app/cli/cli_options.h"
#include "app/cli/report_command.h"
#include "calibration/calibration_workflow.h"
#include "common/text_file.h"
#include "files/calibration_file.h"
#include "files/data_files.h"
#include "files/settings_file.h"
#include "files/sim_measurement.h"
#include "files/temp_dir.h"
#include "files/trial_csv_text.h"
#include "report/measurement_section.h"
#include "report/push_section.h"

namespace velquor::cli {
namespace {

using velquor::testing::Simulate;
using velquor::testing::TempDir;

// The output of a shell command.
std::string Output(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  if (!pipe) return {};
  std::string out;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe.get())) > 0;) out.append(buf, n);
  return out;
}

// Runs of blanks become one, so a table row reads as its cells one blank apart.
std::string Squeezed(const std::string& text) {
  return std::regex_replace(text, std::regex("[ \\t]+"), " ");
}

class ReportPdf : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(Output("command -v pdftotext pdfinfo").empty())
        << "poppler-utils is missing: run scripts/setup.sh";
    paths_.settings = dir_ / "Velquor.ini";
    paths_.calibration = dir_ / "Velquor.clb";
    ASSERT_TRUE(SaveSettings(Settings::DesignTime(), paths_.settings).ok());
    m_ = Simulate(3, 2000);
    Calibration cal = m_->cal;
    cal.loaded = true;
    ASSERT_TRUE(SaveCalibration(cal, dir_.path(), {}, paths_.calibration).working.ok());
    ASSERT_GT(m_->strokes.StrokeCount, 0);
    for (const char* stem : {"RUN0000001", "RUN0000002"}) {
      const std::string base = dir_ / stem;
      ASSERT_TRUE(WriteDataFiles({stem, base + "_dat.csv", base + "_csv.csv"}, kNote, *m_->rec,
                                 *m_->series, m_->strokes, {2026, 12, 6, 20, 15, 7},
                                 WhenTaken::kRefuse)
                      .ok());
    }
  }

  int Report(std::vector<std::string> args) {
    args.insert(args.begin(), "report");
    auto inv = ParseCommandLine(args);
    EXPECT_TRUE(inv.ok()) << inv.problem().what;
    out_.str("");
    err_.str("");
    return RunReport(inv.value().report, paths_, out_, err_);
  }

  std::string Page(const std::string& pdf, int page) {
    const std::string p = std::to_string(page);
    return Squeezed(Output("pdftotext -layout -f " + p + " -l " + p + " '" + pdf + "' -"));
  }

  static constexpr const char* kNote = "右足の痛み 2回目";
  TempDir dir_;
  CliPaths paths_;
  std::unique_ptr<velquor::testing::SimMeasurement> m_;
  std::ostringstream out_, err_;
};

// A trial's per-sample file gives its facts, markers and pushes, after the pair before it.
TEST_F(ReportPdf, ATrialIsReportedWithItsPushes) {
  TrialSeries trial(5, m_->cal, false);
  for (int i = 1; i <= 2000; ++i) {
    trial.Append({m_->rec->Volt(0, i), m_->rec->Volt(1, i)},
                 {static_cast<std::uint16_t>(m_->rec->Encoder(0, i)),
                  static_cast<std::uint16_t>(m_->rec->Encoder(1, i))});
  }
  const std::string path = dir_ / "RUN0000003_trial.csv";
  ASSERT_TRUE(WriteFileAtomic(path, velquor::testing::TrialText(trial, {{400, 1}})).ok());
  const std::string pdf = dir_ / "t.pdf";
  ASSERT_EQ(Report({"--pdf", pdf, "--from", "2", dir_ / "RUN0000001_dat.csv", path}), 0)
      << err_.str();
  const std::string all = Squeezed(Output("pdftotext -layout '" + pdf + "' -"));
  for (const std::string& piece :
       {std::string("Trial RUN0000003"), std::string("2000 at 5 ms, 10 s"),
        std::string("Markers 1 at 2 s"), std::string("only pushes beginning from 2 s")}) {
    EXPECT_NE(all.find(piece), std::string::npos) << piece;
  }
  // A trial that cannot be read writes no report and names its line.
  ASSERT_TRUE(WriteFileAtomic(path, "sample,t_s\n").ok());
  EXPECT_EQ(Report({"--pdf", dir_ / "u.pdf", path}), 1);
  EXPECT_NE(err_.str().find("RUN0000003_trial.csv, line 1, field 1"), std::string::npos)
      << err_.str();
}

TEST_F(ReportPdf, OneMeasurementShowsTheScreensTextsOnItsPages) {
  const std::string pdf = dir_ / "one.pdf";
  ASSERT_EQ(Report({"--pdf", pdf, dir_ / "RUN0000001_dat.csv"}), 0) << err_.str();
  EXPECT_NE(out_.str().find(pdf), std::string::npos) << out_.str();
  const std::string info = Output("pdfinfo '" + pdf + "'");
  const std::smatch pages = [&] {
    std::smatch m;
    std::regex_search(info, m, std::regex("Pages: +([0-9]+)"));
    return m;
  }();
  ASSERT_FALSE(pages.empty()) << info;
  const int count = std::stoi(pages[1]);
  EXPECT_GE(count, 4) << "overview, graphs, strokes, pushes";

  const std::string first = Page(pdf, 1);
  const MainResultTexts main = ShowMainResults(m_->kin);
  const StrokeTableTexts strokes = StrokeBoxTexts(m_->strokes);
  for (const std::string& piece : {
           std::string("RUN0000001"),
           std::string("12-06-2026 20:15:07"),
           std::string(kNote),
           ConditionText(*m_->rec),
           "ch0 (L) " + main.txtTqMax[0] + " " + main.txtTqAv[0] + " " + main.txtTqMin[0],
           "ch1 (R) " + main.txtSpeedMax[1] + " " + main.txtSpeedAv[1] + " " + main.txtSpeedMin[1],
           "No.1 " + strokes.txtStTime[1] + " " + strokes.txtStDis[1] + " " + strokes.txtStAngle[1],
           std::string("Torque (Nm)"),
       }) {
    EXPECT_NE(first.find(piece), std::string::npos) << piece << "\nin\n" << first;
  }
  for (int p = 1; p <= count; ++p) {
    const std::string text = Page(pdf, p);
    EXPECT_NE(text.find("RUN0000001"), std::string::npos) << "page " << p;
    EXPECT_NE(text.find(PageNumberText(p, count)), std::string::npos) << "page " << p;
  }
  const ChosenStrokeTexts chosen = ChosenStrokeResultTexts(m_->strokes, 2);
  EXPECT_NE(Page(pdf, 3).find("Torque ch0 (L) " + chosen.txtTqMax[0] + " " + chosen.txtTqAv[0]),
            std::string::npos);

  // The pushes as the push analysis finds them with the settings' parameters.
  const auto pushes = AnalysePushes(*m_->series, *m_->rec, Settings::DesignTime().push);
  ASSERT_TRUE(pushes.ok());
  std::string all;
  for (int p = 3; p <= count; ++p) all += Page(pdf, p);
  for (const WheelPushes& w : pushes.value().wheels) {
    ASSERT_GE(w.pushes.size(), 3u);
    const Push& second = w.pushes.at(1);
    for (const std::string& piece :
         {PushCountsText(w),
          "2 " + FigureCell(second.Figure(PushFigure::kOn)) + " " +
              FigureCell(second.Figure(PushFigure::kOff)),
          "Mean " + FigureCell(w.summary.Figure(PushFigure::kPeakTorque).mean)}) {
      EXPECT_NE(all.find(piece), std::string::npos) << piece;
    }
  }
}

TEST_F(ReportPdf, ASessionOpensWithItsComparisonAndNeverReplacesUnasked) {
  const std::string pdf = dir_ / "session.pdf";
  const std::vector<std::string> files = {dir_ / "RUN0000001_dat.csv", dir_ / "RUN0000002_dat.csv"};
  ASSERT_EQ(Report({"--pdf", pdf, files[0], files[1]}), 0) << err_.str();
  const std::string first = Page(pdf, 1);
  EXPECT_NE(first.find("Session of 2 measurements"), std::string::npos) << first;
  const std::string row =
      "RUN0000002 12-06-2026 20 ms x 2000 ch0 " + ShowMainResults(m_->kin).txtSpeedAv[0] + " ";
  EXPECT_NE(first.find(row), std::string::npos) << row << "\nin\n" << first;
  const auto before = ReadFileBytes(pdf).value();

  EXPECT_EQ(Report({"--pdf", pdf, files[0]}), 1);
  EXPECT_NE(err_.str().find("already exists"), std::string::npos) << err_.str();
  EXPECT_EQ(ReadFileBytes(pdf).value(), before);

  EXPECT_EQ(Report({"--pdf", dir_ / "absent.pdf", files[0], dir_ / "absent_dat.csv"}), 1);
  EXPECT_NE(err_.str().find("absent_dat.csv"), std::string::npos) << err_.str();
  EXPECT_FALSE(std::filesystem::exists(dir_ / "absent.pdf"));

  ASSERT_EQ(Report({"--overwrite", "--pdf", pdf, files[0]}), 0) << err_.str();
  EXPECT_NE(ReadFileBytes(pdf).value(), before);

  // --overwrite never reaches a file the report reads, nor anything but a regular file.
  const std::string fifo = dir_ / "fifo.pdf";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  for (const std::string& kept :
       {dir_ / "RUN0000002_csv.csv", files[1], paths_.settings, paths_.calibration, fifo}) {
    const auto type = std::filesystem::status(kept).type();
    const auto bytes =
        type == std::filesystem::file_type::regular ? ReadFileBytes(kept).value() : std::string();
    EXPECT_EQ(Report({"--overwrite", "--pdf", kept, files[1]}), 1) << kept;
    EXPECT_NE(err_.str().find(kept == fifo ? "is a FIFO" : "never written over"), std::string::npos)
        << err_.str();
    EXPECT_EQ(std::filesystem::status(kept).type(), type) << kept;
    if (!bytes.empty()) {
      EXPECT_EQ(ReadFileBytes(kept).value(), bytes) << kept;
    }
  }
}

}  // namespace
}  // namespace velquor::cli
