// Reports written by velquor-cli and read back with poppler's pdftotext and pdfinfo.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>

#include "analysis/push_forms.h"
#include "analysis/push_pairs.h"
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
#include "report/report_texts.h"
#include "support/command_output.h"

namespace velquor::cli {
namespace {

using velquor::testing::CommandOutput;
using velquor::testing::Simulate;
using velquor::testing::TempDir;

std::string Z(const std::string& text) {
  return ZeroAsZero(text);
}

// Runs of blanks become one, so a table row reads as its cells one blank apart.
std::string Squeezed(const std::string& text) {
  return std::regex_replace(text, std::regex("[ \\t]+"), " ");
}

int PageCount(const std::string& pdf) {
  std::smatch m;
  const std::string info = CommandOutput("pdfinfo '" + pdf + "'");
  return std::regex_search(info, m, std::regex("Pages: +([0-9]+)")) ? std::stoi(m[1]) : 0;
}

class ReportPdf : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(CommandOutput("command -v pdftotext pdfinfo").empty())
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

  // One page of the PDF as text, or with page 0 all of it.
  std::string Page(const std::string& pdf, int page) {
    const std::string p = std::to_string(page);
    const std::string pages = page > 0 ? "-f " + p + " -l " + p + " " : "";
    return Squeezed(CommandOutput("pdftotext -layout " + pages + "'" + pdf + "' -"));
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
  // Lines may break anywhere in the parameters line: read the text as one line.
  const std::string all = Squeezed(std::regex_replace(Page(pdf, 0), std::regex("\n"), " "));
  for (const char* piece : {"Trial RUN0000003", "2000 at 5 ms, 10 s", "Markers 1 at 2 s",
                            "only pushes beginning from 2 s"}) {
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
  const int count = PageCount(pdf);
  EXPECT_GE(count, 4) << "38 pushes a wheel take more than three pages";

  const std::string first = Page(pdf, 1);
  const MainResultTexts main = ShowMainResults(m_->kin);
  const StrokeTableTexts strokes = StrokeBoxTexts(m_->strokes);
  for (const std::string& piece : {
           std::string("RUN0000001"),
           std::string("2026-12-06 20:15"),
           std::string(kNote),
           ConditionText(*m_->rec),
           // The screens' texts, zeros written "0".
           "ch0 (L) " + Z(main.txtTqMax[0]) + " " + Z(main.txtTqAv[0]) + " " + Z(main.txtTqMin[0]),
           "ch1 (R) " + Z(main.txtSpeedMax[1]) + " " + Z(main.txtSpeedAv[1]) + " " +
               Z(main.txtSpeedMin[1]),
           "No.1 " + Z(strokes.txtStTime[1]) + " " + Z(strokes.txtStDis[1]) + " " +
               Z(strokes.txtStAngle[1]),
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
  EXPECT_NE(
      Page(pdf, 2).find("Torque ch0 (L) " + Z(chosen.txtTqMax[0]) + " " + Z(chosen.txtTqAv[0])),
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
  // Left and right together: the pairs and their lag as the pairing finds them.
  const PushPairs pairs = PairPushes(pushes.value());
  EXPECT_NE(all.find("Left/right " + std::to_string(pairs.pairs.size()) + " pairs (" +
                     std::to_string(pairs.summary.steady) + " steady), lag " +
                     FigureCell(pairs.summary.lag_ms.mean) + " ms"),
            std::string::npos);
}

// Every word of the PDF with the height poppler gives its box (the face's ascent and descent
// at its size: 1.164 times the size for the sans-serif face).
std::vector<std::pair<std::string, double>> Words(const std::string& pdf) {
  const std::string xml = CommandOutput("pdftotext -bbox '" + pdf + "' -");
  const std::regex word(
      "<word xMin=\"[-0-9.]+\" yMin=\"([-0-9.]+)\" xMax=\"[-0-9.]+\" "
      "yMax=\"([-0-9.]+)\">([^<]*)</word>");
  std::vector<std::pair<std::string, double>> out;
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), word); it != std::sregex_iterator();
       ++it) {
    out.emplace_back((*it)[3], std::stod((*it)[2]) - std::stod((*it)[1]));
  }
  return out;
}

TEST_F(ReportPdf, PagesKeepTablesWholeTextsReadableAndDatesUnambiguous) {
  // Coefficients as a load keeps them, doubles of what were singles.
  Calibration cal = m_->cal;
  cal.Ka1 = {static_cast<double>(19.99f), static_cast<double>(20.0000038f)};
  cal.loaded = true;
  ASSERT_TRUE(SaveCalibration(cal, dir_.path(), {}, paths_.calibration).working.ok());
  const std::string pdf = dir_ / "rules.pdf";
  ASSERT_EQ(Report({"--pdf", pdf, dir_ / "RUN0000001_dat.csv"}), 0) << err_.str();
  const int count = PageCount(pdf);
  ASSERT_GT(count, 3);

  // No text under 7 points, and no zero written "." or "-.".
  const auto words = Words(pdf);
  ASSERT_GT(words.size(), 500u);
  for (const auto& [text, height] : words) {
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
      EXPECT_GE(height, 7.0 * 1.164 - 0.01) << text;
    }
    EXPECT_NE(text, ".");
    EXPECT_NE(text, "-.");
  }

  const std::string first = Page(pdf, 1);
  for (const char* piece :
       {"Ka1 = 19.99 Nm/V, Ka0 = -0.25 Nm", "Ka1 = 20.000004 Nm/V, Ka0 = 0.125 Nm"}) {
    EXPECT_NE(first.find(piece), std::string::npos) << piece << "\nin\n" << first;
  }
  EXPECT_EQ(first.find("12-06-2026"), std::string::npos);

  // Each push table's Mean, SD and CV rows on the page of a push row, in that order.
  int summaries = 0;
  for (int p = 1; p <= count; ++p) {
    std::istringstream text(Page(pdf, p));
    std::vector<std::string> lines;
    for (std::string l; std::getline(text, l);) {
      l.erase(0, std::min(l.find_first_not_of(' '), l.size()));
      if (!l.empty()) lines.push_back(l);
    }
    for (std::size_t k = 0; k < lines.size(); ++k) {
      if (lines[k].rfind("Mean ", 0) != 0) continue;
      ++summaries;
      ASSERT_GE(k, 1u);
      ASSERT_LT(k + 2, lines.size());
      EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(lines[k - 1][0]))) << lines[k - 1];
      EXPECT_EQ(lines[k + 1].rfind("SD ", 0), 0u) << lines[k + 1];
      EXPECT_EQ(lines[k + 2].rfind("CV (%) ", 0), 0u) << lines[k + 2];
    }
  }
  EXPECT_EQ(summaries, 4);

  // A measurement of 6 s, with its few pushes, on three pages.
  auto short_run = Simulate(3, 300);
  const std::string base = dir_ / "RUN0000003";
  ASSERT_TRUE(WriteDataFiles({"RUN0000003", base + "_dat.csv", base + "_csv.csv"}, kNote,
                             *short_run->rec, *short_run->series, short_run->strokes,
                             {2026, 12, 6, 20, 16, 0}, WhenTaken::kRefuse)
                  .ok());
  const std::string three = dir_ / "three.pdf";
  ASSERT_EQ(Report({"--pdf", three, base + "_dat.csv"}), 0) << err_.str();
  EXPECT_EQ(PageCount(three), 3);
}

TEST_F(ReportPdf, ASessionOpensWithItsComparisonAndNeverReplacesUnasked) {
  const std::string pdf = dir_ / "session.pdf";
  const std::vector<std::string> files = {dir_ / "RUN0000001_dat.csv", dir_ / "RUN0000002_dat.csv"};
  ASSERT_EQ(Report({"--pdf", pdf, files[0], files[1]}), 0) << err_.str();
  const std::string first = Page(pdf, 1);
  EXPECT_NE(first.find("Session of 2 measurements"), std::string::npos) << first;
  const std::string row =
      "RUN0000002 2026-12-06 20 ms x 2000 ch0 " + ShowMainResults(m_->kin).txtSpeedAv[0] + " ";
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
