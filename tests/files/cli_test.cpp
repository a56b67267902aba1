#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/push_forms.h"
#include "analysis/push_json.h"
#include "analysis/result_texts.h"
#include "analysis/sim_trial.h"
#include "analysis/trial_pushes.h"
#include "app/cli/cli_options.h"
#include "app/cli/feedback_command.h"
#include "app/cli/measure_command.h"
#include "app/cli/pushes_command.h"
#include "app/cli/reanalyse_command.h"
#include "calibration/calibration_workflow.h"
#include "common/json_text.h"
#include "common/text_file.h"
#include "daq/driver.h"
#include "files/calibration_file.h"
#include "files/cli_child.h"
#include "files/data_file_reader.h"
#include "files/data_files.h"
#include "files/settings_file.h"
#include "files/sim_measurement.h"
#include "files/temp_dir.h"
#include "files/text_has.h"
#include "files/trial_csv_text.h"

namespace velquor::cli {
namespace {

using velquor::testing::Has;
using velquor::testing::Simulate;
using velquor::testing::TempDir;

Result<Invocation> Parse(std::vector<std::string> args) {
  return ParseCommandLine(args);
}

// Each of these makes the tool stop with exit status 2 and the message.
TEST(CliOptions, UsageErrorsSayWhatIsWrong) {
  struct Case {
    std::vector<std::string> args;
    std::string piece;
  };
  const Case cases[] = {
      {{}, "no command"},
      {{"reanalyse", "--start", "soon", "a_dat.csv"}, "takes a number"},
      {{"reanalyse", "--channel", "left", "a_dat.csv"}, "ch0, ch1 or auto"},
      {{"reanalyse", "--verbose", "a_dat.csv"}, "no option --verbose"},
      {{"reanalyse", "--json=1", "a_dat.csv"}, "--json takes no value"},
      {{"reanalyse", "--overwrite", "a_dat.csv"}, "--overwrite needs --out DIR"},
      {{"measure", "--cycles", "0"}, "at least 1"},
      {{"measure", "a_dat.csv"}, "measure has no option or argument a_dat.csv"},
      {{"pushes"}, "at least one"},
      {{"pushes", "--json", "--csv", "d", "a_dat.csv"}, "not both"},
      {{"pushes", "--min-push", "-1", "a_dat.csv"}, "min_push \"-1\""},
      {{"pushes", "a_dat.csv", "--csv"}, "--csv needs a value"},
      {{"pushes", "--from", "soon", "a_dat.csv"}, "from_s \"soon\""},
      {{"pushes", "--to", "-2", "a_dat.csv"}, "to_s \"-2\" cannot be used: it must be 0 s"},
      {{"report", "--pdf", "r.pdf", "--from", "", "a_dat.csv"}, "--from takes a number"},
      {{"report", "--overwrite", "a_dat.csv"}, "report needs --pdf OUT.pdf"},
      {{"plot", "a_dat.csv"}, "unknown command \"plot\""},
  };
  if (!CanWritePictures()) {
    EXPECT_TRUE(
        Has(Parse({"report", "--pdf", "r.pdf", "a_dat.csv"}).problem().what, "cannot draw"));
  }
  for (const auto& c : cases) {
    auto r = Parse(c.args);
    ASSERT_FALSE(r.ok()) << c.piece;
    EXPECT_TRUE(Has(r.problem().what, c.piece));
  }
}

TEST(JsonText, EscapesWhatJsonCannotHold) {
  EXPECT_EQ(JsonString("a\"b\\c\r\x01ノ"), "\"a\\\"b\\\\c\\u000d\\u0001ノ\"");
  EXPECT_EQ(JsonNumber(std::numeric_limits<double>::infinity()), "null");  // nor infinity
}

// A directory as the desktop program would leave it: settings, calibration, saved pairs.
class CliDir : public ::testing::Test {
 protected:
  void SetUp() override {
    paths_.settings = dir_ / "Velquor.ini";
    paths_.calibration = dir_ / "Velquor.clb";
    std::filesystem::create_directory(dir_ / "out");
    Settings s = Settings::DesignTime();
    s.txtFileDir = dir_ / "out";
    s.txtFileHead = "RUN";
    s.txtFileOrg = "7";
    s.txtTimerInterval = "2";
    s.txtDataNum = "5";
    ASSERT_TRUE(SaveSettings(s, paths_.settings).ok());
    auto m = Simulate(3, 400);
    Calibration cal = m->cal;
    cal.loaded = true;
    ASSERT_TRUE(SaveCalibration(cal, dir_.path(), {}, paths_.calibration).working.ok());
    strokes_ = m->strokes;
    FileNaming naming;
    naming.Auto = {dir_.path(), "RUN", "1", "", "", ""};
    ASSERT_TRUE(
        SaveDataFiles(naming, 0, *m->rec, *m->series, m->strokes, {}, WhenTaken::kRefuse).ok());
    dat_ = naming.DatFilePath;
  }

  // args begin with the command.
  int Run(std::vector<std::string> args, std::sig_atomic_t interrupted = 0) {
    auto inv = ParseCommandLine(args);
    EXPECT_TRUE(inv.ok());
    out_.str("");
    err_.str("");
    const volatile std::sig_atomic_t flag = interrupted;
    if (inv.value().command == Command::kReanalyse) {
      return RunReanalyse(inv.value().reanalyse, paths_, out_, err_);
    }
    if (inv.value().command == Command::kPushes) {
      return RunPushes(inv.value().pushes, paths_, out_, err_);
    }
    if (inv.value().command == Command::kFeedback) {
      return RunFeedback(inv.value().feedback, paths_, out_, err_);
    }
    return RunMeasure(inv.value().measure, paths_, flag, out_, err_);
  }

  Settings Saved() { return LoadSettings(paths_.settings).values; }

  const PushParameters start_parameters_ = Settings::DesignTime().push;

  TempDir dir_;
  CliPaths paths_;
  StrokeResults strokes_;
  std::string dat_;
  std::ostringstream out_, err_;
};

TEST_F(CliDir, ReanalyseShowsTheScreensTextsAsJson) {
  ASSERT_EQ(Run({"reanalyse", "--json", dat_}), 0) << err_.str();
  const std::string json = out_.str();
  EXPECT_EQ(json.find('\n'), json.size() - 1) << "one line per file";
  const StrokeTableTexts boxes = StrokeBoxTexts(strokes_);
  for (const std::string& piece :
       {std::string("\"condition\":{\"SampInterval\":20,\"DataNum\":400,\"MeasTime\":8}"),
        "\"StrokeCount\":" + std::to_string(strokes_.StrokeCount),
        "\"txtStTime1\":\"" + boxes.txtStTime[1] + "\"", std::string("\"txtTqMax\":[\""),
        std::string("\"chosen\":[{\"txtSpeedMax\":"), std::string("\"txtYDef\":")}) {
    EXPECT_TRUE(Has(json, piece));
  }
  // Several files make one document: an array of the one-file objects, one line in all.
  ASSERT_EQ(Run({"reanalyse", "--json", dat_, dat_}), 0) << err_.str();
  const std::string object = json.substr(0, json.size() - 1);
  EXPECT_EQ(out_.str(), "[" + object + "," + object + "]\n");
}

// The parameters come from the settings file's push line unless an option gives them; every
// number of the CSV reads back to the figure itself; an existing CSV is never replaced.
TEST_F(CliDir, PushesPrintsTheDocumentAndWritesTheCsvOnce) {
  Settings s = Saved();
  s.push.min_peak = 7;
  ASSERT_TRUE(SaveSettings(s, paths_.settings).ok());
  ASSERT_EQ(Run({"pushes", "--json", "--threshold", "1.5", dat_}), 0) << err_.str();
  EXPECT_EQ(out_.str().rfind("{\"file\":", 0), 0u) << "one file: the object alone";
  for (const char* piece :
       {R"("parameters":{"threshold":1.5,"min_peak":7,"min_push":0.1,)",
        R"("skip_last":0,"from_s":null,"to_s":null},)",
        R"(,"pairs":[{"left":1,"right":1,"lag_ms":)", R"(,"pairs_summary":{"lag_ms":{"mean":)"}) {
    EXPECT_TRUE(Has(out_.str(), piece));
  }
  ASSERT_EQ(Run({"pushes", "--json", "--from", "2", "--to", "6.5", dat_}), 0) << err_.str();
  EXPECT_TRUE(Has(out_.str(), "\"from_s\":2,\"to_s\":6.5},"));
  // The ends are checked together once both are read.
  EXPECT_EQ(Run({"pushes", "--json", "--from", "7", "--to", "6.5", dat_}), 2);
  EXPECT_TRUE(Has(err_.str(), "to_s 6.5 cannot be used: it must not be before from_s 7"));
  ASSERT_EQ(Run({"pushes", "--json", dat_, dat_}), 0) << err_.str();
  EXPECT_EQ(out_.str().rfind("[{\"file\":", 0), 0u) << "several files: an array";

  ASSERT_EQ(Run({"pushes", "--csv", dir_ / "out", dat_}), 0) << err_.str();
  const std::string csv_path = dir_ / "out/RUN0000001_pushes.csv";
  const auto csv = ReadFileBytes(csv_path);
  ASSERT_TRUE(csv.ok());
  EXPECT_EQ(csv.value().rfind("file,wheel,push,on_s,off_s,push_time_s,", 0), 0u);
  const auto pairs = ReadFileBytes(dir_ / "out/RUN0000001_pairs.csv");
  ASSERT_TRUE(pairs.ok());
  EXPECT_EQ(pairs.value().rfind("file,left,right,lag_ms,si_push_time_s,", 0), 0u);

  ASSERT_EQ(Run({"pushes", "--csv", dir_ / "out", dat_}), 1);
  EXPECT_TRUE(Has(err_.str(), "not replaced"));
  EXPECT_EQ(ReadFileBytes(csv_path).value(), csv.value());
}

// A trial's per-sample file is one record: its series computed again under the calibration in
// force give the document of the whole trial, its tidy CSV is named after the trial.
TEST_F(CliDir, PushesReadsATrialAsOneRecord) {
  const Calibration in_force = LoadCalibration(paths_.calibration).values;
  ASSERT_TRUE(in_force.loaded);
  sim::RigTrial rig(11, 5);
  TrialSeries taken(5, sim::RigCalibration(), false);
  TrialSeries expected(5, in_force, false);
  for (std::int64_t i = 1; i <= 6000; ++i) {
    std::array<float, 2> volt{};
    std::array<std::uint16_t, 2> enc{};
    rig.Sample(i, volt, enc);
    taken.Append(volt, enc);
    expected.Append(volt, enc);
  }
  const std::string trial = dir_ / "out/RUN0000004_trial.csv";
  ASSERT_TRUE(WriteFileAtomic(trial, testing::TrialText(taken, {{300, 1}})).ok());
  PushParameters p = start_parameters_;
  p.from_s = 10;
  const PushAnalysis a = AnalyseTrial(expected, p).value();
  ASSERT_GT(a.wheels[0].summary.steady, 3);
  ASSERT_EQ(Run({"pushes", "--json", "--from", "10", trial}), 0) << err_.str();
  EXPECT_EQ(out_.str(), PushJson(trial, a) + "\n");

  ASSERT_EQ(Run({"pushes", "--csv", dir_ / "out", trial}), 0) << err_.str();
  const auto csv = ReadFileBytes(dir_ / "out/RUN0000004_trial_pushes.csv");
  ASSERT_TRUE(csv.ok()) << out_.str();
  EXPECT_EQ(csv.value(), PushCsv(trial, AnalyseTrial(expected, start_parameters_).value()));

  // A fault in the trial names its line and field, and the other files are still done.
  std::string broken = testing::TrialText(taken);
  broken.replace(broken.find("\n3,"), 3, "\n4,");
  ASSERT_TRUE(WriteFileAtomic(dir_ / "out/RUN0000005_trial.csv", broken).ok());
  EXPECT_EQ(Run({"pushes", dir_ / "out/RUN0000005_trial.csv", trial}), 1);
  EXPECT_TRUE(Has(err_.str(), "RUN0000005_trial.csv, line 4, field 1: sample 3 was expected"));
  EXPECT_TRUE(Has(out_.str(), "RUN0000004_trial.csv"));
}

// The targets in force as the settings file holds them.
TEST_F(CliDir, FeedbackPrintsTheTargetsInForce) {
  Settings s = Saved();
  s.feedback.schedule = FeedbackSchedule::kFaded;
  s.feedback.targets.resize(2);
  s.feedback.targets[1].low = ParseBandEnd("+10%").value();
  s.feedback.targets[1].tone = true;
  ASSERT_TRUE(SaveSettings(s, paths_.settings).ok());
  ASSERT_EQ(Run({"feedback", "--print"}), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "schedule: faded\npush_frequency_per_min: low open, high open\n"
            "contact_angle_deg: low baseline +10%, high open, tone\n");
}

// Only a regular file is ever written over: what else stands at an output's name is kept and
// named, with --overwrite or without, through the tool and through every file write.
TEST_F(CliDir, OverwriteReplacesOnlyARegularFile) {
  struct Case {
    const char* name;
    void (*make)(const std::string& at);
    int status;        // of reanalyse --out --overwrite
    const char* what;  // a piece of the message, when refused
  };
  const Case cases[] = {
      {"regular file", [](const std::string& at) { ASSERT_TRUE(WriteFileAtomic(at, "old").ok()); },
       0, ""},
      {"link to a regular file",
       [](const std::string& at) {
         ASSERT_TRUE(WriteFileAtomic(at + ".target", "old").ok());
         std::filesystem::create_symlink(at + ".target", at);
       },
       0, ""},
      {"FIFO", [](const std::string& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0644), 0); }, 1,
       "is a FIFO"},
      {"directory", [](const std::string& at) { std::filesystem::create_directory(at); }, 1,
       "is a directory"},
      {"link to a device",
       [](const std::string& at) { std::filesystem::create_symlink("/dev/null", at); }, 1,
       "is a link to a character device"},
      {"link to a FIFO",
       [](const std::string& at) {
         ASSERT_EQ(::mkfifo((at + ".fifo").c_str(), 0644), 0);
         std::filesystem::create_symlink(at + ".fifo", at);
       },
       1, "is a link to a FIFO"},
  };
  for (const auto& c : cases) {
    const std::string dir = dir_ / c.name;
    std::filesystem::create_directory(dir);
    const std::string at = dir + "/RUN0000001_dat.csv";
    c.make(at);
    const auto kind = std::filesystem::symlink_status(at).type();
    EXPECT_EQ(Run({"reanalyse", "--overwrite", "--out", dir, dat_}), c.status)
        << c.name << ": " << err_.str();
    EXPECT_TRUE(Has(err_.str(), c.what)) << c.name;
    // The same rule holds for every write, whatever the caller asked.
    const Status direct = WriteFileAtomic(at, "new", true);
    EXPECT_EQ(direct.ok(), c.status == 0) << c.name;
    if (c.status != 0) {
      EXPECT_EQ(std::filesystem::symlink_status(at).type(), kind) << c.name << " was replaced";
      EXPECT_TRUE(Has(direct.problem().what, c.what));
      EXPECT_FALSE(std::filesystem::exists(dir + "/RUN0000001_csv.csv")) << c.name;
    }
  }
  EXPECT_EQ(std::filesystem::status("/dev/null").type(), std::filesystem::file_type::character);
}

TEST_F(CliDir, ReanalyseGoesOnPastAFileThatFails) {
  ASSERT_EQ(Run({"reanalyse", dir_ / "absent_dat.csv", dat_}), 1);
  EXPECT_TRUE(Has(err_.str(), "absent_dat.csv: cannot open"));
  EXPECT_TRUE(Has(out_.str(), "Calculated Results"));
  EXPECT_TRUE(Has(out_.str(), "txtTqMax(1)"));
}

TEST_F(CliDir, OutWritesThePairAgainUnderItsStem) {
  // Once a measurement has been reloaded, saving it again reproduces it exactly but for the
  // date and time of writing in each stroke row: "RUN0000001,MM-DD-YYYY,hh:mm:ss,".
  ASSERT_EQ(Run({"reanalyse", "--out", dir_ / "out", dat_}), 0) << err_.str();
  const std::string original = ReadFileBytes(dir_ / "RUN0000001_dat.csv").value();
  // The original pair is replaced only when asked for; its own input never.
  ASSERT_EQ(Run({"reanalyse", "--out", dir_.path(), dir_ / "out/RUN0000001_dat.csv"}), 1);
  EXPECT_TRUE(Has(err_.str(), "--overwrite"));
  ASSERT_EQ(Run({"reanalyse", "--overwrite", "--out", dir_ / "out/..", dat_}), 1);
  EXPECT_TRUE(Has(err_.str(), "being read"));
  EXPECT_EQ(ReadFileBytes(dir_ / "RUN0000001_dat.csv").value(), original);
  ASSERT_EQ(
      Run({"reanalyse", "--out", dir_.path(), "--overwrite", dir_ / "out/RUN0000001_dat.csv"}), 0)
      << err_.str();
  for (const std::string name : {"RUN0000001_dat.csv", "RUN0000001_csv.csv"}) {
    std::string a = ReadFileBytes(dir_ / name).value(),
                b = ReadFileBytes(dir_ / "out/" + name).value();
    for (std::string* t : {&a, &b}) {
      for (auto at = t->find("\nRUN0000001,"); at != std::string::npos;
           at = t->find("\nRUN0000001,", at + 1)) {
        t->replace(at + 12, 19, 19, '-');
      }
    }
    EXPECT_EQ(a, b) << name;
  }
  ASSERT_EQ(Run({"reanalyse", "--out", dir_ / "absent", dat_}), 1);
  EXPECT_TRUE(Has(err_.str(), "absent"));
}

// A trial replayed is measured at its own interval, its samples played as they were taken.
TEST_F(CliDir, MeasureReplaysATrialAtItsInterval) {
  TrialSeries trial(4, Calibration{}, false);
  for (int i = 1; i <= 5; ++i) {
    // Volts a 12-bit card gives, so the codes played give them back.
    trial.Append({BinaryToVI(-10.0f, 10.0f, 1, 12, static_cast<std::uint16_t>(2100 + 7 * i)),
                  BinaryToVI(-10.0f, 10.0f, 1, 12, 1000)},
                 {static_cast<std::uint16_t>(100 + i), static_cast<std::uint16_t>(4090 + i)});
  }
  const std::string path = dir_ / "RUN0000001_trial.csv";
  ASSERT_TRUE(WriteFileAtomic(path, testing::TrialText(trial)).ok());
  ASSERT_EQ(Run({"measure", "--daq", "replay:" + path}), 0) << err_.str();
  EXPECT_TRUE(
      Has(err_.str(), "measuring at the interval of the trial replayed, 4 ms, for its 5 samples"));
  auto loaded = LoadDataFiles(dir_ / "out/RUN0000007_dat.csv");
  ASSERT_TRUE(loaded.ok()) << loaded.problem().Describe();
  EXPECT_EQ(loaded.value()->record.SampInterval, 4.0);
  for (int i = 1; i <= 5; ++i) {
    // The pair keeps the volts to seven digits.
    EXPECT_NEAR(loaded.value()->record.Volt(0, i), trial.Volt(0, i), 1e-6) << i;
    EXPECT_EQ(loaded.value()->record.Encoder(1, i), trial.Encoder(1, i)) << i;
  }
  // --interval still says otherwise.
  ASSERT_EQ(Run({"measure", "--daq", "replay:" + path, "--interval", "3"}), 0) << err_.str();
  EXPECT_EQ(LoadDataFiles(dir_ / "out/RUN0000008_dat.csv").value()->record.SampInterval, 3.0);
}

TEST_F(CliDir, MeasureSavesEveryCycleAndContinuesTheNumbering) {
  ASSERT_EQ(Run({"measure", "--cycles", "2", "--daq", "sim:4"}), 0) << err_.str();
  EXPECT_TRUE(std::filesystem::exists(dir_ / "out/RUN0000007_dat.csv"));
  // The name is joined to its directory with "\"; the path is shown as this system writes it.
  EXPECT_TRUE(Has(out_.str(), "cycle 2: wrote " + (dir_ / "out/RUN0000008_dat.csv")));
  EXPECT_EQ(Saved().txtFileOrg, "9");
  EXPECT_EQ(Saved().txtDataNum, "5") << "an override is for one run only";

  ASSERT_EQ(Run({"measure", "--samples", "8", "--interval", "1"}), 0) << err_.str();
  auto loaded = LoadDataFiles(dir_ / "out/RUN0000009_dat.csv");
  ASSERT_TRUE(loaded.ok()) << loaded.problem().Describe();
  EXPECT_EQ(loaded.value()->record.DataNum, 8.0f);
  EXPECT_EQ(loaded.value()->record.SampInterval, 1.0);
  EXPECT_EQ(Saved().txtFileOrg, "10");
}

// A trial of a set length: the run ends by itself with the cycle that reaches it, stdout holds
// nothing but one JSON line per event, the markers land on the samples of their times, and
// every push handed on live is a row of the trial's push table.
TEST_F(CliDir, MeasureATrialWithLivePushesAndMarkers) {
  ASSERT_EQ(Run({"measure", "--daq", "sim:4", "--interval", "1", "--samples", "400",
                 "--trial-length", "2.5", "--marker-at", "0.5", "1.7004", "--live-pushes",
                 "--participant", "P-01", "--task", "steady"}),
            0)
      << err_.str();
  std::istringstream lines(out_.str());
  std::string line;
  int finals = 0, cycles = 0, pairs = 0;
  std::vector<std::string> markers;
  while (std::getline(lines, line)) {
    ASSERT_EQ(line.rfind("{\"event\":\"", 0), 0u) << line;
    if (line.rfind("{\"event\":\"push\"", 0) == 0) {
      ++finals;
      // Each final push is judged against the targets in force (the defaults: open bands).
      EXPECT_TRUE(Has(line, ",\"in_band\":{\"push_frequency_per_min\":"));
      pairs += line.find(",\"pair\":{\"left\":") != std::string::npos ? 1 : 0;
    }
    if (line.rfind("{\"event\":\"push-cycle\"", 0) == 0) ++cycles;
    if (line.rfind("{\"event\":\"marker\"", 0) == 0) markers.push_back(line);
  }
  EXPECT_EQ(markers,
            (std::vector<std::string>{R"({"event":"marker","number":1,"sample":500,"t_s":0.5})",
                                      R"({"event":"marker","number":2,"sample":1700,"t_s":1.7})"}));
  EXPECT_TRUE(Has(err_.str(), "cycle 7: wrote"));
  EXPECT_EQ(err_.str().find("cycle 8"), std::string::npos) << "2.5 s take 7 cycles of 400";
  const auto table = ReadFileBytes(dir_ / "out/RUN0000007_trial_pushes.csv");
  ASSERT_TRUE(table.ok());
  const auto rows = std::count(table.value().begin(), table.value().end(), '\n') - 1;
  EXPECT_GT(finals, 2);
  EXPECT_EQ(finals, rows);
  EXPECT_EQ(cycles, rows - 2);  // the last push of each wheel has no next one
  EXPECT_GT(pairs, 0);          // both wheels push together on the simulated rig
  const auto json = ReadFileBytes(dir_ / "out/RUN0000007_trial.json");
  ASSERT_TRUE(json.ok());
  EXPECT_TRUE(Has(json.value(), R"("complete":true)"));
  EXPECT_TRUE(Has(json.value(), R"("samples":2800,)"));
  EXPECT_TRUE(Has(json.value(), R"("participant":"P-01","session":"","task":"steady")"));
  // The feedback each push came to is kept with the trial, for a study of the feedback given.
  EXPECT_TRUE(Has(json.value(), R"("feedback":{"schedule":"every","baseline":null,"targets":[)"));
  EXPECT_TRUE(Has(json.value(), R"("pushes":[{"wheel":0,"push":1,"shown":true,"in_band":{)"));
}

TEST_F(CliDir, AFailedSaveStopsTheRunAndKeepsTheNumber) {
  std::filesystem::remove_all(dir_ / "out");
  ASSERT_EQ(Run({"measure", "--cycles", "3"}), 1);
  EXPECT_EQ(out_.str(), "");
  EXPECT_TRUE(Has(err_.str(), "RUN0000007_csv.csv"));
  EXPECT_TRUE(Has(err_.str(), "cycle 1 is not saved, so the run stops"));
  EXPECT_EQ(err_.str().find("cycle 2"), std::string::npos) << "no second cycle ran";
  EXPECT_EQ(Saved().txtFileOrg, "7");
}

TEST_F(CliDir, MeasureRefusesWhatCannotBeMeasuredAndStopsOnRequest) {
  EXPECT_EQ(Run({"measure", "--samples", "2001"}), 2);
  EXPECT_TRUE(Has(err_.str(), "2001"));
  EXPECT_EQ(Run({"measure", "--daq", "bogus"}), 2);
  EXPECT_TRUE(Has(err_.str(), "bogus"));
  // Ctrl-C before the first sample: nothing saved, the settings written all the same, and
  // the exit status says the run was cut short by SIGINT.
  std::filesystem::remove(paths_.settings);
  EXPECT_EQ(Run({"measure", "--cycles", "5"}, SIGINT), 130);
  EXPECT_TRUE(std::filesystem::is_empty(dir_ / "out"));
  EXPECT_TRUE(Has(err_.str(), "stopped"));
  SettingsLoad created = LoadSettings(paths_.settings);  // design-time values, file created
  EXPECT_TRUE(created.notices.empty());
  EXPECT_EQ(created.values.txtTimerInterval, "20");
}

// Runs the tool itself in `dir`: its exit status and what it wrote on stderr.
std::pair<int, std::string> RunTool(const std::string& dir, const std::vector<std::string>& args) {
  const std::string err_file = dir + "/stderr.txt";
  const int status = testing::WaitFor(testing::StartCli(dir, args, "", err_file));
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing::TextOf(err_file)};
}

// A usage error ends the tool with status 2 and says on its first line what is wrong; the
// words for the completion and the version end it with 0.
TEST(CliTool, UsageErrorsExitWithTwo) {
  struct Case {
    std::vector<std::string> args;
    int exit;
    std::string err;
  };
  const Case cases[] = {
      {{"pushes", "--json", "--csv", "d", "a_dat.csv"},
       2,
       "velquor-cli: pushes takes --json or --csv DIR, not both\n"},
      {{"reanalyse", "--overwrite", "a_dat.csv"}, 2, "velquor-cli: --overwrite needs --out DIR\n"},
      {{"--complete", "report"}, 0, ""},
      {{"--version"}, 0, ""},
  };
  TempDir dir;
  for (const Case& c : cases) {
    const auto [exit, err] = RunTool(dir.path(), c.args);
    EXPECT_EQ(exit, c.exit) << err;
    EXPECT_EQ(err.substr(0, err.find('\n') + 1), c.err);
  }
}

// A condition in the settings file that Start refuses is the file's fault: exit 1 with its
// line and field. The same value given as an option stays a usage error (exit 2), and an
// option in place of the file's value lets the run go on.
TEST(CliTool, ARefusedConditionInTheSettingsNamesItsLine) {
  struct Case {
    std::string interval, samples;  // lines 7 and 8 of the settings file
    std::vector<std::string> args;
    int exit;
    std::string piece;
  };
  const Case cases[] = {
      {"abc", "5", {}, 1, "Velquor.ini, line 7, field 2: Timer Interval \"abc\" is not a number"},
      {"2", "5000", {}, 1, "Velquor.ini, line 8, field 2: Data Number 5000 cannot be measured"},
      {"0.2", "5", {}, 1, "Velquor.ini, line 7, field 2: Timer Interval"},
      {"abc", "5000", {"--interval", "1", "--samples", "5"}, 0, "notice: Velquor.ini, line 7"},
      {"2", "5", {"--interval", "0"}, 2, "Timer Interval 0 msec cannot pace"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.interval + " " + c.samples);
    TempDir dir;
    std::filesystem::create_directory(dir / "out");
    Settings s = Settings::DesignTime();
    s.txtFileDir = dir / "out";
    s.txtTimerInterval = c.interval;
    s.txtDataNum = c.samples;
    ASSERT_TRUE(SaveSettings(s, dir / "Velquor.ini").ok());
    std::vector<std::string> args = {"measure", "--cycles", "1"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto [exit, err] = RunTool(dir.path(), args);
    EXPECT_EQ(exit, c.exit) << err;
    EXPECT_TRUE(Has(err, c.piece));
    EXPECT_EQ(std::filesystem::is_empty(dir / "out"), c.exit != 0);
  }
}

}  // namespace
}  // namespace velquor::cli
