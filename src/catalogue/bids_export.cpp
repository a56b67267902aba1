#include "catalogue/bids_export.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>

#include "catalogue/bids_text.h"
#include "catalogue/catalogue.h"
#include "common/text_file.h"
#include "files/set_aside.h"
#include "files/trial_file_reader.h"
#include "files/trial_file_text.h"

namespace velquor {
namespace {

namespace fs = std::filesystem;

// A catalogued trial with its place in the dataset.
struct Planned {
  std::string folder;  // relative to the data directory
  std::string stem;
  std::string started;
  BidsRun run;
};

std::string Column(const CatalogueRow& row, const char* name) {
  return ValueText(row.values.at(*ColumnIndex(CatalogueTable::kTrials, name)));
}

// The trials to export, numbered as runs; those that cannot be are notices.
std::vector<Planned> Plan(const std::vector<CatalogueRow>& rows,
                          const std::vector<std::string>& only, std::vector<Problem>& notices) {
  std::vector<Planned> plan;
  for (const CatalogueRow& r : rows) {
    Planned p{Column(r, "folder"),
              Column(r, "trial"),
              Column(r, "started"),
              {{Column(r, "participant"), Column(r, "session"), Column(r, "task")}, 1}};
    if (!only.empty() && std::find(only.begin(), only.end(), p.run.who.participant) == only.end()) {
      continue;
    }
    const std::string name = TrialJsonName(p.stem);
    if (p.run.who.participant.empty() || p.run.who.session.empty() || p.run.who.task.empty()) {
      notices.push_back(
          Problem{name, 0, 0, "has no participant, session or task; the trial is left out"});
      continue;
    }
    if (auto bad = LabelsProblem(p.run.who)) {
      notices.push_back(Problem{name, 0, 0, *bad + "; the trial is left out"});
      continue;
    }
    if (Column(r, "complete") != "1") {
      notices.push_back(Problem{name, 0, 0, "is not complete; the trial is left out"});
      continue;
    }
    plan.push_back(std::move(p));
  }
  const auto key = [](const Planned& p) {
    return std::tie(p.run.who.participant, p.run.who.session, p.run.who.task, p.started, p.folder,
                    p.stem);
  };
  std::sort(plan.begin(), plan.end(),
            [&](const Planned& a, const Planned& b) { return key(a) < key(b); });
  for (std::size_t i = 1; i < plan.size(); ++i) {
    const StudyLabels& a = plan[i - 1].run.who;
    const StudyLabels& b = plan[i].run.who;
    const bool same = a.participant == b.participant && a.session == b.session && a.task == b.task;
    plan[i].run.run = same ? plan[i - 1].run.run + 1 : 1;
  }
  return plan;
}

struct RunFiles {
  std::string motion, channels, channelsSidecar, sidecar, events;
};

RunFiles FilesOf(const std::string& out, const BidsRun& run) {
  const std::string base = out + "/" + BidsSessionFolder(run.who) + "/motion/" + BidsRunStem(run);
  return {base + "_motion.tsv", base + "_channels.tsv", base + "_channels.json",
          base + "_motion.json", base + "_events.tsv"};
}

std::string ScansPath(const std::string& out, const StudyLabels& who) {
  return out + "/" + BidsSessionFolder(who) + "/" + BidsSessionPrefix(who) + "_scans.tsv";
}

// The folders an export made, outermost first, so that one that stops part-way can take away
// what it made (all of it new: the export replaces nothing).
using MadeFolders = std::vector<fs::path>;

Status Write(const std::string& path, const std::string& text, BidsExportNews& news,
             MadeFolders& made) {
  const fs::path folder = fs::path(path).parent_path();
  std::vector<fs::path> missing;
  std::error_code ec;
  for (fs::path p = folder; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
    missing.push_back(p);
    if (p == p.parent_path()) break;
  }
  fs::create_directories(folder, ec);
  if (ec) return Problem{path, 0, 0, "its folder could not be made: " + ec.message()};
  made.insert(made.end(), missing.rbegin(), missing.rend());
  if (Status s = WriteFileAtomic(path, text, false); !s) return s;
  news.written.push_back(path);
  return Status::Ok();
}

// Takes away what an export that stopped had written and made, and says so with its problem.
Problem Undone(Problem p, const BidsExportNews& news, const MadeFolders& made) {
  std::error_code ec;
  for (auto f = news.written.rbegin(); f != news.written.rend(); ++f) fs::remove(*f, ec);
  for (auto d = made.rbegin(); d != made.rend(); ++d) fs::remove(*d, ec);  // only when empty
  if (!news.written.empty()) {
    p.what += "; the export stopped and took away the " + std::to_string(news.written.size()) +
              " files it had written, so the folder is as it was";
  }
  return p;
}

}  // namespace

Result<BidsExportNews> ExportBids(const BidsExportRequest& request) {
  const std::string data = CatalogueDir(request.dataDir);
  const std::string out = CatalogueDir(request.outDir);
  BidsExportNews news;
  Result<TrialList> list = ListTrials(data, {});
  if (!list) return list.problem();
  news.notices = list.value().notices;
  const std::vector<Planned> plan = Plan(list.value().rows, request.participants, news.notices);
  if (plan.empty()) return Problem{data, 0, 0, "has no catalogued trial to export"};

  // Every file the export writes, checked before any is written.
  std::set<std::string> participants;
  std::map<std::string, std::vector<BidsScan>> scans;  // by the scans table's path
  // The dataset's own files, written last: a dataset without its description is plainly
  // unfinished.
  const std::vector<std::pair<std::string, std::string>> root = {
      {out + "/README", BidsReadme(request.version)},
      {out + "/events.json", BidsEventsSidecar()},
      {out + "/scans.json", BidsScansSidecar()},
      {out + "/dataset_description.json", BidsDatasetDescription(request.version)},
  };
  std::vector<std::string> targets = {out + "/participants.tsv"};
  for (const auto& [path, text] : root) targets.push_back(path);
  for (const Planned& p : plan) {
    participants.insert(p.run.who.participant);
    const RunFiles f = FilesOf(out, p.run);
    targets.insert(targets.end(), {f.motion, f.channels, f.channelsSidecar, f.sidecar, f.events});
    scans[ScansPath(out, p.run.who)].push_back(
        {"motion/" + BidsRunStem(p.run) + "_motion.tsv", BidsAcqTime(p.started), p.stem});
  }
  for (const auto& [path, rows] : scans) targets.push_back(path);
  for (const std::string& t : targets) {
    if (PresentAt(t)) {
      return Problem{t, 0, 0,
                     "is there already; the export replaces no file, so nothing was written "
                     "(choose a new directory for --out)"};
    }
  }

  MadeFolders made;
  for (const Planned& p : plan) {
    const std::string dir = p.folder.empty() ? data : data + "/" + p.folder;
    Result<CatalogueTrial> doc = LoadCatalogueTrial(dir + "/" + TrialJsonName(p.stem));
    if (!doc) return Undone(doc.problem(), news, made);
    Calibration cal;
    cal.Ka1 = doc.value().facts.ka1;
    cal.Ka0 = doc.value().facts.ka0;
    Result<LoadedTrial> trial =
        LoadTrialCsv(dir + "/" + TrialCsvName(p.stem), cal, doc.value().facts.shift);
    if (!trial) return Undone(trial.problem(), news, made);
    for (const Problem& n : trial.value().notices) news.notices.push_back(n);
    doc.value().facts.who = p.run.who;
    const RunFiles f = FilesOf(out, p.run);
    for (const auto& [path, text] :
         {std::pair{f.motion, BidsMotion(*trial.value().series)},
          std::pair{f.channels, BidsChannels()},
          std::pair{f.channelsSidecar, BidsChannelsSidecar()},
          std::pair{f.sidecar, BidsMotionSidecar(doc.value(), request.version)},
          std::pair{f.events, BidsEvents(doc.value())}}) {
      if (Status s = Write(path, text, news, made); !s) return Undone(s.problem(), news, made);
    }
    ++news.trials;
  }
  for (const auto& [path, rows] : scans) {
    if (Status s = Write(path, BidsScans(rows), news, made); !s) {
      return Undone(s.problem(), news, made);
    }
  }
  if (Status s = Write(out + "/participants.tsv",
                       BidsParticipants({participants.begin(), participants.end()}), news, made);
      !s) {
    return Undone(s.problem(), news, made);
  }
  for (const auto& [path, text] : root) {
    if (Status s = Write(path, text, news, made); !s) return Undone(s.problem(), news, made);
  }
  return news;
}

}  // namespace velquor
