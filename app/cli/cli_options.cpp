#include "app/cli/cli_options.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "backend/driver_choice.h"
#include "common/number_parse.h"

namespace velquor::cli {
namespace {

Problem UsageError(std::string what) {
  return Problem{"", 0, 0, std::move(what)};
}

// Walks the arguments of one command; options may stand anywhere among the files.
class Args {
 public:
  explicit Args(std::span<const std::string> args) : args_(args) {}
  bool Done() const { return pos_ >= args_.size(); }
  const std::string& Next() { return args_[pos_++]; }
  // The value after an option, or a usage error naming the option.
  Result<std::string> Value(const std::string& option) {
    if (Done()) return UsageError(option + " needs a value");
    return Next();
  }

 private:
  std::span<const std::string> args_;
  std::size_t pos_ = 0;
};

Result<std::string> NumberText(Args& a, const std::string& option) {
  auto v = a.Value(option);
  if (!v) return v;
  if (!ParseComplete(v.value())) {
    return UsageError(option + " takes a number, not \"" + v.value() + "\"");
  }
  return v;
}

Result<JudgeChannel> Channel(const std::string& text) {
  if (text == "ch0") return JudgeChannel::kCh0;
  if (text == "ch1") return JudgeChannel::kCh1;
  if (text == "auto") return JudgeChannel::kAuto;
  return UsageError("--channel takes ch0, ch1 or auto, not \"" + text + "\"");
}

// The stroke options shared by the commands that analyse saved files; nothing when `arg`
// is not one of them.
std::optional<Status> StrokeOption(const std::string& arg, Args& a, StrokeOptions& o) {
  if (arg == "--start" || arg == "--limit") {
    auto v = NumberText(a, arg);
    if (!v) return v.problem();
    (arg == "--start" ? o.start : o.limit) = v.value();
  } else if (arg == "--channel") {
    auto v = a.Value(arg);
    if (!v) return v.problem();
    auto ch = Channel(v.value());
    if (!ch) return ch.problem();
    o.channel = ch.value();
  } else if (arg == "--shift") {
    o.shift = true;
  } else {
    return std::nullopt;
  }
  return Status::Ok();
}

// One of --threshold ... --skip-last, its text checked and kept; nothing when `arg` is not
// one of them.
std::optional<Status> PushOption(const std::string& arg, Args& a, PushParameterTexts& texts) {
  for (int k = 0; k < kPushParameterCount; ++k) {
    std::string option = "--" + std::string(kPushParameterNames.at(static_cast<std::size_t>(k)));
    std::replace(option.begin(), option.end(), '_', '-');
    if (arg != option) continue;
    auto v = a.Value(arg);
    if (!v) return v.problem();
    PushParameters scratch;
    if (Status st = SetPushParameter(scratch, static_cast<PushParameter>(k), v.value()); !st) {
      return UsageError(arg + ": " + st.problem().what);
    }
    texts.at(static_cast<std::size_t>(k)) = v.value();
    return Status::Ok();
  }
  return std::nullopt;
}

// The arguments of a command over saved files: its own options (`own` gives nothing for an
// argument that is not one), the stroke options, --help, and the files.
template <class Own>
Status ParseFileCommand(Args& a, Invocation& inv, const std::string& command, StrokeOptions& o,
                        std::vector<std::string>& files, Own own) {
  while (!a.Done()) {
    const std::string arg = a.Next();
    if (std::optional<Status> st = own(arg); st || (st = StrokeOption(arg, a, o))) {
      if (!*st) return *st;
    } else if (arg == "--help" || arg == "-h") {
      inv.help = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError(command + " has no option " + arg);
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty() && !inv.help) {
    return UsageError(command + " needs at least one FILE_dat.csv");
  }
  return Status::Ok();
}

// An option that takes a value, stored in `to`.
Status TakeValue(Args& a, const std::string& option, std::string& to) {
  auto v = a.Value(option);
  if (!v) return v.problem();
  to = v.value();
  return Status::Ok();
}

Status ParseReanalyse(Args& a, Invocation& inv) {
  ReanalyseOptions& o = inv.reanalyse;
  return ParseFileCommand(
      a, inv, "reanalyse", o, o.files, [&](const std::string& arg) -> std::optional<Status> {
        if (arg == "--out") return TakeValue(a, arg, o.outDir.emplace());
        if (arg == "--png") {
          if (!CanWritePictures()) {
            return UsageError(
                "--png: this build of velquor-cli cannot draw the graphs as pictures; use "
                "reanalyse without --png, or the desktop program to see the graphs");
          }
          return TakeValue(a, arg, o.pngDir.emplace());
        }
        if (arg == "--json" || arg == "--overwrite") {
          (arg == "--json" ? o.json : o.overwrite) = true;
          return Status::Ok();
        }
        return std::nullopt;
      });
}

Status ParseReport(Args& a, Invocation& inv) {
  ReportOptions& o = inv.report;
  const Status st = ParseFileCommand(a, inv, "report", o, o.files,
                                     [&](const std::string& arg) -> std::optional<Status> {
                                       if (auto st = PushOption(arg, a, o.parameters)) return st;
                                       if (arg == "--pdf") return TakeValue(a, arg, o.pdf);
                                       if (arg == "--overwrite") {
                                         o.overwrite = true;
                                         return Status::Ok();
                                       }
                                       return std::nullopt;
                                     });
  if (!st || inv.help) return st;
  if (!CanWritePictures()) {
    return UsageError("this build of velquor-cli cannot draw reports; use the desktop program");
  }
  if (o.pdf.empty()) return UsageError("report needs --pdf OUT.pdf");
  return Status::Ok();
}

Status ParseMeasure(Args& a, Invocation& inv) {
  MeasureOptions& o = inv.measure;
  o.daq = std::string(kDefaultDriverChoice);
  while (!a.Done()) {
    const std::string arg = a.Next();
    if (arg == "--help" || arg == "-h") {
      inv.help = true;
    } else if (arg == "--cycles") {
      auto v = a.Value(arg);
      if (!v) return v.problem();
      auto n = ParseWhole(v.value(), 1, 1000000);
      if (!n)
        return UsageError("--cycles takes a whole number of at least 1, not \"" + v.value() + "\"");
      o.cycles = static_cast<int>(*n);
    } else if (arg == "--daq") {
      auto v = a.Value(arg);
      if (!v) return v.problem();
      o.daq = v.value();
    } else if (arg == "--timing") {
      o.timing = true;
    } else if (arg == "--interval" || arg == "--samples") {
      auto v = NumberText(a, arg);
      if (!v) return v.problem();
      (arg == "--interval" ? o.interval : o.samples) = v.value();
    } else {
      return UsageError("measure has no option or argument " + arg);
    }
  }
  return Status::Ok();
}

Status ParsePushes(Args& a, Invocation& inv) {
  PushesOptions& o = inv.pushes;
  while (!a.Done()) {
    const std::string arg = a.Next();
    if (auto st = PushOption(arg, a, o.parameters)) {
      if (!*st) return *st;
    } else if (arg == "--help" || arg == "-h") {
      inv.help = true;
    } else if (arg == "--json") {
      o.json = true;
    } else if (arg == "--csv") {
      auto v = a.Value(arg);
      if (!v) return v.problem();
      o.csvDir = v.value();
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError("pushes has no option " + arg);
    } else {
      o.files.push_back(arg);
    }
  }
  if (o.json && o.csvDir) return UsageError("pushes takes --json or --csv DIR, not both");
  if (o.files.empty() && !inv.help) return UsageError("pushes needs at least one FILE_dat.csv");
  return Status::Ok();
}

}  // namespace

bool CanWritePictures() {
#ifdef VELQUOR_HAVE_PNG
  return true;
#else
  return false;
#endif
}

Result<Invocation> ParseCommandLine(std::span<const std::string> args) {
  Invocation inv;
  if (args.empty()) {
    return UsageError("no command given; choose reanalyse, measure, pushes or report");
  }
  const std::string& cmd = args[0];
  Args rest(args.subspan(1));
  Status st;
  if (cmd == "--help" || cmd == "-h" || cmd == "help") {
    inv.help = true;
    return inv;
  }
  if (cmd == "reanalyse") {
    inv.command = Command::kReanalyse;
    st = ParseReanalyse(rest, inv);
  } else if (cmd == "measure") {
    inv.command = Command::kMeasure;
    st = ParseMeasure(rest, inv);
  } else if (cmd == "pushes") {
    inv.command = Command::kPushes;
    st = ParsePushes(rest, inv);
  } else if (cmd == "report") {
    inv.command = Command::kReport;
    st = ParseReport(rest, inv);
  } else {
    return UsageError("unknown command \"" + cmd +
                      "\"; choose reanalyse, measure, pushes or report");
  }
  if (!st) return st.problem();
  return inv;
}

std::string Usage(Command command) {
  switch (command) {
    case Command::kReanalyse:
      return "usage: velquor-cli reanalyse [--out DIR [--overwrite]] [--png DIR] [--json] [--start "
             "S]\n"
             "                             [--limit L] [--channel ch0|ch1|auto] [--shift]\n"
             "                             FILE_dat.csv...\n"
             "\n"
             "Reloads each saved measurement (the summary file and its _csv.csv file), computes\n"
             "it again with the calibration in Velquor.clb and prints the main-window results and\n"
             "the Calculated Results of strokes No.1 to No.3.\n"
             "\n"
             "  --out DIR        write the pair again under the same stem into DIR; an existing\n"
             "                   pair is not replaced, and the files read never are\n"
             "  --overwrite      with --out: replace an existing pair of that stem\n"
             "  --png DIR        draw the seven result graphs and the stroke graph into DIR as\n"
             "                   STEM_torque.png, _speed, _distance, _turn, _turnrate, _path,\n"
             "                   _power and _strokes.png, and the mean push curve as\n"
             "                   STEM_pushcurve.png (parameters of Velquor.ini line 16)\n"
             "  --json           print one JSON object per file instead of tables (several\n"
             "                   files: one array)\n"
             "  --start S        stroke detection from S seconds on (default: Velquor.ini line "
             "10)\n"
             "  --limit L        push threshold in Nm (default: Velquor.ini line 12)\n"
             "  --channel C      judged wheel: ch0, ch1 or auto (default auto)\n"
             "  --shift          torque without the calibration offset Ka0\n"
             "\n"
             "Exit status: 0 all files done, 1 a file failed, 2 usage error.\n";
    case Command::kMeasure:
      return "usage: velquor-cli measure [--cycles N] [--daq BACKEND] [--interval MS] [--samples "
             "N]\n"
             "                           [--timing]\n"
             "\n"
             "Measures N cycles (default 1) with the condition of Velquor.ini, analyses and saves\n"
             "each with the Auto Save names, advancing the file number, and writes Velquor.ini at\n"
             "the end so the next run continues the numbering. Ctrl-C (SIGINT) or SIGTERM stops\n"
             "at the next pass; the cycle being sampled is not saved, every finished one is.\n"
             "\n"
             "  --cycles N       measurement cycles to run\n"
             "  --daq BACKEND    acquisition backend (default " +
             std::string(kDefaultDriverChoice) +
             "; the backends are listed below)\n"
             "  --interval MS    Timer Interval in ms for this run\n"
             "  --samples N      Data Number for this run (2 to 2000)\n"
             "  --timing         print for every cycle how late its samples were taken against\n"
             "                   their ticks and how many ticks were missed before it\n"
             "\n" +
             DriverChoiceHelp() +
             "\n"
             "Exit status: 0 all cycles saved, 1 a save or the device failed, 2 usage error,\n"
             "130 stopped by SIGINT (Ctrl-C) or 143 by SIGTERM before all cycles were done.\n";
    case Command::kPushes:
      return "usage: velquor-cli pushes [--json | --csv DIR] [--threshold NM] [--min-peak NM]\n"
             "                          [--min-push S] [--merge-gap S] [--skip-first N]\n"
             "                          [--skip-last N] FILE_dat.csv...\n"
             "\n"
             "Reloads each saved measurement as reanalyse does and finds every push of each\n"
             "wheel: its figures, a summary over the steady pushes and the mean push curve.\n"
             "The parameters default to Velquor.ini line 16 (1, 5, 0.1, 0.05, 1, 0 without it).\n"
             "\n"
             "  --json           print one JSON object per file (several files: one array)\n"
             "  --csv DIR        write DIR\\STEM_pushes.csv per file, never replacing a file\n"
             "  --threshold NM   a push is torque above this level\n"
             "  --min-peak NM    a push must reach this torque somewhere\n"
             "  --min-push S     shortest push in seconds\n"
             "  --merge-gap S    dips below the threshold this short do not end a push\n"
             "  --skip-first N   pushes left out of the summary at the start\n"
             "  --skip-last N    pushes left out of the summary at the end\n"
             "\n"
             "Exit status: 0 all files done, 1 a file failed, 2 usage error.\n";
    case Command::kReport:
      return "usage: velquor-cli report --pdf OUT.pdf [--overwrite] [--start S] [--limit L]\n"
             "                          [--channel ch0|ch1|auto] [--shift] [--threshold NM]\n"
             "                          [--min-peak NM] [--min-push S] [--merge-gap S]\n"
             "                          [--skip-first N] [--skip-last N] FILE_dat.csv...\n"
             "\n"
             "Reloads each saved measurement as reanalyse does and writes one PDF report (A4):\n"
             "for each measurement its header, the main-window results, the seven result graphs,\n"
             "the stroke graph, the Calculated Results, the pushes of each wheel with their "
             "summary\n"
             "and the mean push curve. With several files the report begins with a table\n"
             "comparing them and their mean push curves overlaid. Nothing is written when a file\n"
             "cannot be read.\n"
             "\n"
             "  --pdf OUT.pdf    the report file\n"
             "  --overwrite      replace OUT.pdf when it exists (it is refused otherwise)\n"
             "  --start S, --limit L, --channel C, --shift   as for reanalyse\n"
             "  --threshold NM ... --skip-last N             as for pushes\n"
             "\n"
             "Exit status: 0 report written, 1 a file failed, 2 usage error.\n";
    case Command::kNone:
      break;
  }
  return "usage: velquor-cli reanalyse [options] FILE_dat.csv...\n"
         "       velquor-cli measure [options]\n"
         "       velquor-cli pushes [options] FILE_dat.csv...\n"
         "       velquor-cli report --pdf OUT.pdf [options] FILE_dat.csv...\n"
         "       velquor-cli COMMAND --help\n"
         "       velquor-cli --version\n"
         "\n"
         "Works in the current directory as the desktop program does: Velquor.ini and\n"
         "Velquor.clb are read from it (design-time values when they are missing).\n";
}

}  // namespace velquor::cli
