#include "app/cli/option_table.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "app/cli/help_format.h"
#include "backend/driver_choice.h"
#include "common/number_parse.h"
#include "files/mdc_settings.h"

namespace velquor::cli {
namespace {

// What the tool does as a whole, below the list of its commands.
constexpr const char* kToolText =
    "Works in the current directory as the desktop program does: Velquor.ini and Velquor.clb are "
    "read from it (design-time values when they are missing).";

// What each command does (wrapped to the width of the help) and its exit statuses, the last
// lines of its help (as written).
struct CommandText {
  const char* description;
  const char* exit_status;
};

constexpr CommandText kReanalyseText = {
    "Reloads each saved measurement (the summary file and its _csv.csv file), computes it again "
    "with the calibration in Velquor.clb and prints the main-window results and the Calculated "
    "Results of strokes No.1 to No.3.",
    "Exit status: 0 all files done, 1 a file failed, 2 usage error.\n"};

constexpr CommandText kMeasureText = {
    "Measures N cycles (default 1) with the condition of Velquor.ini, analyses and saves each "
    "with the Auto Save names, advancing the file number, and writes Velquor.ini at the end so "
    "the next run continues the numbering. Ctrl-C (SIGINT) or SIGTERM stops at the next "
    "pass; the cycle being sampled is not saved, every finished one is.",
    "Exit status: 0 all cycles saved, 1 a save or the device failed or Velquor.ini holds a\n"
    "condition Start refuses, 2 usage error,\n"
    "130 stopped by SIGINT (Ctrl-C) or 143 by SIGTERM before all cycles were done.\n"};

constexpr CommandText kPushesText = {
    "Reloads each saved measurement as reanalyse does and finds every push of each wheel: its "
    "figures, a summary over the steady pushes and the mean push curve. A trial's STEM_trial.csv "
    "is read back as one record, its series computed again from its volts and counts with the "
    "calibration in force. The parameters default to Velquor.ini line 16 (1, 5, 0.1, 0.05, 1, 0 "
    "without it); the summary window is open unless --from or --to closes it.",
    "Exit status: 0 all files done, 1 a file failed, 2 usage error.\n"};

constexpr CommandText kReportText = {
    "Reloads each saved measurement as reanalyse does and writes one PDF report (A4): for each "
    "measurement its header, the main-window results, the seven result graphs, the stroke "
    "graph, the Calculated Results, the pushes of each wheel with their summary and the mean "
    "push curve. With several files the report begins with a table comparing them and their "
    "mean push curves overlaid. A trial's STEM_trial.csv gives its samples, markers and pushes. "
    "Nothing is written when a file cannot be read.",
    "Exit status: 0 report written, 1 a file failed, 2 usage error.\n"};

constexpr CommandText kFeedbackText = {
    "Prints the feedback targets in force as Velquor.ini holds them: the schedule, and each "
    "chosen variable with the low and high ends of its band (a value, a percentage of the "
    "baseline, or open) and whether a push outside it sounds a tone.",
    "Exit status: 0 printed, 1 Velquor.ini cannot be read, 2 usage error.\n"};
constexpr CommandText kCatalogueText = {
    "Keeps the study catalogue velquor-catalogue.sqlite of a directory: one row per trial (its "
    "participant, session, task, start, interval, samples, duration, files, markers and the "
    "steady-push means, SDs and CVs of each wheel) and per cycle pair (its trial). \"scan DIR\" "
    "makes the catalogue of DIR what the trial documents (STEM_trial.json) and pairs under it "
    "say, so a second scan changes nothing; \"list [DIR]\" prints its trials (DIR: the Auto "
    "Save directory of Velquor.ini). A catalogue that cannot be read is kept aside and rebuilt.",
    "Exit status: 0 done, 1 a file or the catalogue could not be read, 2 usage error.\n"};

constexpr CommandText kProgressText = {
    "Writes a PDF progress report (A4) of one participant from the study catalogue of a "
    "directory: for each figure a graph of each session's mean and SD of the steady pushes "
    "of both wheels in date order, the first session's mean as the reference line and, where "
    "Velquor.ini sets a minimal detectable change for the figure (its line \"MDC\", e.g. "
    "\"MDC\",peak_torque_Nm,2), the band "
    "of the reference plus and minus the MDC, each later session marked within or beyond it; "
    "then the session-by-session table. Figures: push_frequency_per_min or a figure "
    "summarised over the steady pushes (push_time_s ... mean_speed_m_per_s); default "
    "push_frequency_per_min, contact_angle_deg, peak_torque_Nm, rate_of_rise_Nm_per_s and "
    "smoothness. Nothing is written when the participant has no trials there.",
    "Exit status: 0 report written, 1 the catalogue, the participant or the file failed,\n"
    "2 usage error.\n"};

constexpr CommandText kExportBidsText = {
    "Exports the catalogued trials of a directory as a motion dataset in the brain-imaging data "
    "structure (BIDS): dataset_description.json, participants.tsv and per trial sub-P/ses-S/"
    "motion/sub-P_ses-S_task-T_tracksys-velquor_run-N_motion.tsv (one row per sample: torque, "
    "wheel angle and speed of each wheel), _channels.tsv, _motion.json and _events.tsv (pushes "
    "and markers), with each session's sub-P_ses-S_scans.tsv. Trials without participant, "
    "session or task are left out. No file is ever replaced: when one is there, nothing is "
    "written.",
    "Exit status: 0 exported, 1 a file could not be read or written, 2 usage error.\n"};

// A command with its description; `before_exit` stands between its options and exit statuses.
CLI::App& AddCommand(CLI::App& tool, const std::string& name, const CommandText& text,
                     const std::string& before_exit = "") {
  CLI::App& command = *tool.add_subcommand(name, text.description);
  command.footer(before_exit + text.exit_status);
  return command;
}

// A usage error with exactly this message.
[[noreturn]] void Refuse(std::string message) {
  throw CLI::ValidationError(std::move(message));
}

// An option whose value must be a complete number; its text is kept as given.
CLI::Option* AddNumber(CLI::App& app, const std::string& name, const std::string& value,
                       std::optional<std::string>& to, const std::string& help) {
  return app
      .add_option_function<std::string>(
          name,
          [name, &to](const std::string& v) {
            if (!ParseComplete(v)) Refuse(name + " takes a number, not \"" + v + "\"");
            to = v;
          },
          help)
      ->type_name(value);
}

CLI::Option* AddText(CLI::App& app, const std::string& name, const std::string& value,
                     std::string& to, const std::string& help) {
  return app.add_option(name, to, help)->type_name(value);
}

CLI::Option* AddText(CLI::App& app, const std::string& name, const std::string& value,
                     std::optional<std::string>& to, const std::string& help) {
  return app
      .add_option_function<std::string>(
          name, [&to](const std::string& v) { to = v; }, help)
      ->type_name(value);
}

CLI::Option* AddFiles(CLI::App& app, std::vector<std::string>& files) {
  return app.add_option("FILE_dat.csv", files, "the summary files of saved measurements")
      ->required();
}

// The stroke conditions and torque offset of the commands that analyse saved files.
void AddStrokeOptions(CLI::App& app, StrokeOptions& o) {
  AddNumber(app, "--start", "S", o.start,
            "stroke detection from S s on (default: Velquor.ini line 10)");
  AddNumber(app, "--limit", "L", o.limit, "push threshold in Nm (default: Velquor.ini line 12)");
  app.add_option_function<std::string>(
         "--channel",
         [&o](const std::string& v) {
           if (v == "ch0") {
             o.channel = JudgeChannel::kCh0;
           } else if (v == "ch1") {
             o.channel = JudgeChannel::kCh1;
           } else if (v == "auto") {
             o.channel = JudgeChannel::kAuto;
           } else {
             Refuse("--channel takes ch0, ch1 or auto, not \"" + v + "\"");
           }
         },
         "judged wheel: ch0, ch1 or auto (default auto)")
      ->type_name("C");
  app.add_flag("--shift", o.shift, "torque without the calibration offset Ka0");
}

struct PushOptionText {
  PushParameter which;
  const char* value;
  const char* help;
};

// The parameters of the push analysis, in its own order; the option is the parameter's name
// with "-" for "_".
constexpr std::array<PushOptionText, kPushParameterCount> kPushOptionTexts = {{
    {PushParameter::kThreshold, "NM", "a push is torque above this level"},
    {PushParameter::kMinPeak, "NM", "a push must reach this torque somewhere"},
    {PushParameter::kMinPush, "S", "shortest push in seconds"},
    {PushParameter::kMergeGap, "S", "dips below the threshold this short do not end a push"},
    {PushParameter::kSkipFirst, "N", "pushes left out of the summary at the start"},
    {PushParameter::kSkipLast, "N", "pushes left out of the summary at the end"},
}};

// One end of the summary window, checked alone here and with the other end when both are in.
void AddWindowOption(CLI::App& app, const std::string& name, SummaryBound which,
                     PushParameterTexts& texts, const char* help) {
  app.add_option_function<std::string>(
         name,
         [name, which,
          &to = texts.window.at(static_cast<std::size_t>(which))](const std::string& v) {
           PushParameters scratch;
           if (v.find_first_not_of(" \t") == std::string::npos) {
             Refuse(name + " takes a number of seconds");
           }
           if (Status st = SetSummaryBound(scratch, which, v); !st) {
             Refuse(name + ": " + st.problem().what);
           }
           to = v;
         },
         help)
      ->type_name("S");
}

// Each value is checked with the push analysis's own rule and kept as text.
void AddPushOptions(CLI::App& app, PushParameterTexts& texts) {
  for (const PushOptionText& t : kPushOptionTexts) {
    const auto k = static_cast<std::size_t>(t.which);
    std::string name = "--" + std::string(kPushParameterNames.at(k));
    std::replace(name.begin(), name.end(), '_', '-');
    app.add_option_function<std::string>(
           name,
           [name, which = t.which, &to = texts.numbers.at(k)](const std::string& v) {
             PushParameters scratch;
             if (Status st = SetPushParameter(scratch, which, v); !st) {
               Refuse(name + ": " + st.problem().what);
             }
             to = v;
           },
           t.help)
        ->type_name(t.value);
  }
  AddWindowOption(app, "--from", SummaryBound::kFrom, texts,
                  "summarise only pushes beginning at S s or later");
  AddWindowOption(app, "--to", SummaryBound::kTo, texts,
                  "summarise only pushes beginning at S s or earlier");
}

void AddReanalyse(CLI::App& tool, ReanalyseOptions& o) {
  CLI::App& c = AddCommand(tool, "reanalyse", kReanalyseText);
  CLI::Option* out = AddText(c, "--out", "DIR", o.outDir,
                             "write the pair again under the same stem into DIR; an existing "
                             "pair is not replaced, and the files read never are");
  c.add_flag("--overwrite", o.overwrite, "with --out: replace an existing pair of that stem")
      ->needs(out);
  c.add_option_function<std::string>(
       "--png",
       [&o](const std::string& v) {
         if (!CanWritePictures()) {
           Refuse(
               "--png: this build of velquor-cli cannot draw the graphs as pictures; use "
               "reanalyse without --png, or the desktop program to see the graphs");
         }
         o.pngDir = v;
       },
       "draw the seven result graphs and the stroke graph into DIR as STEM_torque.png, _speed, "
       "_distance, _turn, _turnrate, _path, _power and _strokes.png, and the mean push curve "
       "as STEM_pushcurve.png (parameters of Velquor.ini line 16)")
      ->type_name("DIR");
  c.add_flag("--json", o.json,
             "print one JSON object per file instead of tables (several files: one array)");
  AddStrokeOptions(c, o);
  AddFiles(c, o.files);
}

// --participant, --session and --task: labels of letters, digits and "-".
CLI::Option* AddLabel(CLI::App& app, const std::string& name, const std::string& what,
                      std::string& to, const std::string& help) {
  return app
      .add_option_function<std::string>(
          name,
          [what, &to](const std::string& v) {
            if (v.empty()) Refuse("--" + what + " takes a label");
            if (auto bad = LabelProblem(what, v)) Refuse(*bad);
            to = v;
          },
          help)
      ->type_name(std::string(1, static_cast<char>(std::toupper(what.front()))));
}

void AddMeasure(CLI::App& tool, MeasureOptions& o) {
  CLI::App& c = AddCommand(tool, "measure", kMeasureText, DriverChoiceHelp() + "\n");
  c.add_option_function<std::string>(
       "--cycles",
       [&o](const std::string& v) {
         auto n = ParseWhole(v, 1, 1000000);
         if (!n) Refuse("--cycles takes a whole number of at least 1, not \"" + v + "\"");
         o.cycles = static_cast<int>(*n);
         o.cyclesGiven = true;
       },
       "measurement cycles to run (default 1, or as many as --trial-length takes)")
      ->type_name("N");
  c.add_option_function<std::string>(
       "--trial-length",
       [&o](const std::string& v) {
         const std::optional<double> s = ParseComplete(v);
         if (!s || !(*s > 0) || *s > 1e7) {
           Refuse("--trial-length takes a number of seconds greater than 0, not \"" + v + "\"");
         }
         o.trialLength = *s;
       },
       "measure one trial of S seconds: the run ends with the cycle that reaches it")
      ->type_name("S");
  c.add_option_function<std::vector<std::string>>(
       "--marker-at",
       [&o](const std::vector<std::string>& texts) {
         for (const std::string& v : texts) {
           const std::optional<double> s = ParseComplete(v);
           if (!s || !(*s >= 0) || *s > 1e7) {
             Refuse("--marker-at takes trial times in seconds of at least 0, not \"" + v + "\"");
           }
           o.markerAt.push_back(*s);
         }
       },
       "place the next marker at each of these trial times, on the sample nearest each")
      ->type_name("SECONDS")
      ->expected(1, -1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  AddLabel(c, "--participant", "participant", o.who.participant,
           "the participant of the trial (letters, digits and -)");
  AddLabel(c, "--session", "session", o.who.session, "the session of the trial");
  AddLabel(c, "--task", "task", o.who.task, "the task of the trial");
  c.add_flag("--live-pushes", o.livePushes,
             "print one JSON line per push the moment it is final, and one when its cycle "
             "figures follow; the other lines go to the error stream");
  o.daq = std::string(kDefaultDriverChoice);
  AddText(c, "--daq", "BACKEND", o.daq,
          "acquisition backend (default " + o.daq + "; the backends are listed below)");
  AddNumber(c, "--interval", "MS", o.interval, "Timer Interval in ms for this run");
  AddNumber(c, "--samples", "N", o.samples, "Data Number for this run (2 to 2000)");
  c.add_flag("--timing", o.timing,
             "print for every cycle how late its samples were taken against their ticks and how "
             "many ticks were missed before it");
}

void AddPushes(CLI::App& tool, PushesOptions& o) {
  CLI::App& c = AddCommand(tool, "pushes", kPushesText);
  CLI::Option* json =
      c.add_flag("--json", o.json, "print one JSON object per file (several files: one array)");
  AddText(c, "--csv", "DIR", o.csvDir,
          "write DIR\\STEM_pushes.csv per file (DIR\\STEM_trial_pushes.csv per trial), never "
          "replacing a file")
      ->excludes(json);
  AddPushOptions(c, o.parameters);
  AddFiles(c, o.files);
}

void AddReport(CLI::App& tool, ReportOptions& o) {
  CLI::App& c = AddCommand(tool, "report", kReportText);
  CLI::Option* pdf = AddText(c, "--pdf", "OUT.pdf", o.pdf, "the report file")->required();
  c.add_flag("--overwrite", o.overwrite, "replace OUT.pdf when it exists (it is refused otherwise)")
      ->needs(pdf);
  AddStrokeOptions(c, o);
  AddPushOptions(c, o.parameters);
  AddFiles(c, o.files);
}

void AddFeedback(CLI::App& tool, FeedbackOptions& o) {
  CLI::App& c = AddCommand(tool, "feedback", kFeedbackText);
  c.add_flag("--print", o.print, "print the targets in force")->required();
}

void AddCatalogue(CLI::App& tool, CatalogueOptions& o) {
  CLI::App& c = AddCommand(tool, "catalogue", kCatalogueText);
  c.add_option_function<std::string>(
       "ACTION",
       [&o](const std::string& v) {
         if (v != "scan" && v != "list") Refuse("catalogue takes scan or list, not \"" + v + "\"");
         o.action = v;
       },
       "scan or list")
      ->required();
  AddText(c, "DIR", "DIR", o.dir, "the directory of the catalogue");
  AddLabel(c, "--participant", "participant", o.filter.participant,
           "list: only the trials of this participant");
  AddLabel(c, "--session", "session", o.filter.session, "list: only the trials of this session");
  AddLabel(c, "--task", "task", o.filter.task, "list: only the trials of this task");
  c.add_flag("--json", o.json, "list: one JSON array with every column of the trials");
  c.final_callback([&o] {
    if (o.action != "scan") return;
    if (!o.dir) Refuse("catalogue scan needs DIR");
    if (o.json || !o.filter.participant.empty() || !o.filter.session.empty() ||
        !o.filter.task.empty()) {
      Refuse(
          "catalogue scan takes DIR only; --participant, --session, --task and --json are "
          "for list");
    }
  });
}

void AddProgress(CLI::App& tool, ProgressOptions& o) {
  CLI::App& c = AddCommand(tool, "progress", kProgressText);
  AddLabel(c, "--participant", "participant", o.participant, "the participant of the report")
      ->required();
  AddLabel(c, "--task", "task", o.task, "only the trials of this task (default: every task)");
  c.add_option_function<std::vector<std::string>>(
       "--figure",
       [&o](const std::vector<std::string>& names) {
         for (const std::string& v : names) {
           if (!IsMdcFigure(v)) {
             Refuse(
                 "--figure takes push_frequency_per_min or a summarised push figure such as "
                 "contact_angle_deg, not \"" +
                 v + "\"");
           }
           o.figures.push_back(v);
         }
       },
       "a figure to follow (again for more, in that order); the default five when not given")
      ->type_name("NAME")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  CLI::Option* pdf = AddText(c, "--pdf", "OUT.pdf", o.pdf, "the report file")->required();
  c.add_flag("--overwrite", o.overwrite, "replace OUT.pdf when it exists (it is refused otherwise)")
      ->needs(pdf);
  AddText(c, "--dir", "DIR", o.dir,
          "the catalogued directory (default: the Auto Save directory of Velquor.ini)");
}

void AddExportBids(CLI::App& tool, ExportBidsOptions& o) {
  CLI::App& c = AddCommand(tool, "export-bids", kExportBidsText);
  AddText(c, "--out", "DIR", o.out, "the dataset's directory (new or without these files)")
      ->required();
  AddText(c, "--dir", "DIR", o.dir,
          "the catalogued directory (default: the Auto Save directory of Velquor.ini)");
  c.add_option_function<std::vector<std::string>>(
       "--participant",
       [&o](const std::vector<std::string>& labels) {
         for (const std::string& v : labels) {
           if (v.empty()) Refuse("--participant takes a label");
           if (auto bad = LabelProblem("participant", v)) Refuse(*bad);
           o.participants.push_back(v);
         }
       },
       "only this participant's trials (again for more); all when not given")
      ->type_name("P")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

}  // namespace

bool Listed(const CLI::Option* option) {
  return !option->get_group().empty();
}

bool Listed(const CLI::App* command) {
  return !command->get_group().empty();
}

std::unique_ptr<CLI::App> MakeOptionTable(Invocation& inv) {
  auto tool = std::make_unique<CLI::App>(kToolText, "velquor-cli");
  tool->formatter(std::make_shared<HelpFormatter>());
  // A repeated option: the last one counts. A flag takes no value, not even "--json=1".
  tool->option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  tool->option_defaults()->disable_flag_override();
  // What no command or option names is refused with a message of ours (see ParseCommandLine);
  // the commands inherit this.
  tool->allow_extras();
  tool->require_subcommand(0, 1);
  tool->set_help_flag("-h,--help", "print this help and do nothing else");
  tool->add_flag("--version", inv.version, "print the program's version");
  // For the bash completion: the commands, or with a command its options.
  tool->add_flag("--complete", inv.complete, "")->group("");
  // "velquor-cli help" is "velquor-cli --help".
  tool->add_subcommand("help", "")->group("")->allow_extras()->final_callback([&inv] {
    inv.help = true;
  });

  AddReanalyse(*tool, inv.reanalyse);
  AddMeasure(*tool, inv.measure);
  AddPushes(*tool, inv.pushes);
  AddReport(*tool, inv.report);
  AddFeedback(*tool, inv.feedback);
  AddCatalogue(*tool, inv.catalogue);
  AddProgress(*tool, inv.progress);
  AddExportBids(*tool, inv.exportBids);
  return tool;
}

}  // namespace velquor::cli
