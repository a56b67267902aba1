#include "catalogue/catalogue.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include "catalogue/catalogue_store.h"
#include "catalogue/trial_document.h"
#include "common/path_map.h"
#include "files/set_aside.h"
#include "files/trial_file_text.h"

namespace velquor {
namespace {

namespace fs = std::filesystem;

using Rows = std::map<CatalogueKey, CatalogueRow>;

constexpr std::string_view kPairSuffix = "_dat.csv";
constexpr std::string_view kTrialSuffix = "_trial.json";

bool EndsWith(std::string_view s, std::string_view end) {
  return s.size() > end.size() && s.substr(s.size() - end.size()) == end;
}

std::string CataloguePath(const std::string& native_dir) {
  return native_dir + "/" + std::string(kCatalogueName);
}

bool IsFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

// The names of the trial's three files that are in the folder.
std::vector<std::string> TrialFilesIn(const fs::path& folder, const std::string& stem) {
  std::vector<std::string> names;
  for (const std::string& n : {TrialCsvName(stem), TrialJsonName(stem), TrialPushesName(stem)}) {
    if (IsFile(folder / n)) names.push_back(n);
  }
  return names;
}

// Pair rows for the trial's cycles whose summary file is in the folder.
void AddCyclePairs(const fs::path& folder, const std::string& rel, const TrialFacts& facts,
                   Rows& pairs) {
  for (const TrialCycle& c : facts.cycles) {
    if (!IsFile(folder / (c.stem + std::string(kPairSuffix)))) continue;
    CatalogueRow row = PairRow(rel, c.stem, facts.stem);
    pairs[KeyOf(row)] = std::move(row);
  }
}

struct Found {
  Rows trials;
  Rows pairs;
  int trialFiles = 0;
};

// Every trial document and pair under `dir`; a document that cannot be read is a notice and
// is left out.
Found FindFiles(const std::string& dir, CatalogueNews& news) {
  Found found;
  std::map<CatalogueKey, std::string> trial_of_pair;
  std::vector<CatalogueKey> pair_keys;
  std::error_code ec;
  fs::recursive_directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec);
  if (ec) news.notices.push_back(Problem{dir, 0, 0, "could not be listed: " + ec.message()});
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const fs::path& p = it->path();
    const std::string name = p.filename().string();
    // Temporary files of a write under way begin with a dot.
    if (name.empty() || name.front() == '.' || !IsFile(p)) continue;
    std::string rel = fs::relative(p.parent_path(), dir, ec).generic_string();
    if (ec) break;
    if (rel == ".") rel.clear();
    if (EndsWith(name, kPairSuffix)) {
      pair_keys.emplace_back(rel, name.substr(0, name.size() - kPairSuffix.size()));
    } else if (EndsWith(name, kTrialSuffix)) {
      ++found.trialFiles;
      Result<CatalogueTrial> doc = LoadCatalogueTrial(p.string());
      if (!doc) {
        news.notices.push_back(doc.problem());
        ++news.unreadableFiles;
        continue;
      }
      TrialEntry e{
          rel, std::move(doc.value().facts), doc.value().complete, doc.value().summaries, {}};
      e.files = TrialFilesIn(p.parent_path(), e.facts.stem);
      for (const TrialCycle& c : e.facts.cycles) trial_of_pair[{rel, c.stem}] = e.facts.stem;
      CatalogueRow row = TrialRow(e);
      found.trials[KeyOf(row)] = std::move(row);
    }
  }
  if (ec) news.notices.push_back(Problem{dir, 0, 0, "could not be listed whole: " + ec.message()});
  for (const CatalogueKey& k : pair_keys) {
    const auto t = trial_of_pair.find(k);
    CatalogueRow row = PairRow(k.first, k.second, t == trial_of_pair.end() ? "" : t->second);
    found.pairs[k] = std::move(row);
  }
  return found;
}

// Writes the rows that differ from the catalogue's; with `remove_missing` the catalogue's rows
// that are not among them go.
Status ApplyRows(CatalogueStore& store, CatalogueTable table, const Rows& rows, bool remove_missing,
                 CatalogueNews& news) {
  Result<Rows> have = store.ReadAll(table);
  if (!have) return have.problem();
  for (const auto& [key, row] : rows) {
    const auto old = have.value().find(key);
    if (old != have.value().end() && old->second == row) continue;
    if (Status s = store.Put(table, row); !s) return s;
    ++(old == have.value().end() ? news.added : news.changed);
  }
  if (!remove_missing) return Status::Ok();
  for (const auto& [key, row] : have.value()) {
    if (rows.count(key) != 0) continue;
    if (Status s = store.Remove(table, key); !s) return s;
    ++news.removed;
  }
  return Status::Ok();
}

Status ApplyAll(CatalogueStore& store, const Rows& trials, const Rows& pairs, bool remove_missing,
                CatalogueNews& news) {
  CatalogueTransaction t(store);
  if (Status s = t.Begin(); !s) return s;
  if (Status s = ApplyRows(store, CatalogueTable::kTrials, trials, remove_missing, news); !s) {
    return s;
  }
  if (Status s = ApplyRows(store, CatalogueTable::kPairs, pairs, remove_missing, news); !s) {
    return s;
  }
  return t.Commit();
}

// Rebuilds the catalogue of `dir` from its files.
Result<Found> Rebuild(CatalogueStore& store, const std::string& dir, CatalogueNews& news) {
  Found found = FindFiles(dir, news);
  if (Status s = ApplyAll(store, found.trials, found.pairs, true, news); !s) return s.problem();
  return found;
}

// Moves the catalogue that cannot be read aside with its write-ahead files (which belong to it
// and must not be applied to the new one).
bool KeepAside(const std::string& path, const Problem& why, CatalogueNews& news) {
  const SetAside kept =
      SetAsideUnreadable(path, "the catalogue could not be read (" + why.what + ")");
  news.notices.push_back(kept.notice);
  if (!kept.kept) return false;
  for (const char* extra : {"-wal", "-shm"}) {
    if (!PresentAt(path + extra)) continue;
    const SetAside side =
        SetAsideUnreadable(path + extra, "it belongs to the catalogue kept aside");
    if (!side.kept) {
      news.notices.push_back(side.notice);
      return false;
    }
  }
  return true;
}

// The catalogue of `dir` (local form) open; one that cannot be read is kept aside, and the new
// one is rebuilt from the files with a notice.
Result<std::unique_ptr<CatalogueStore>> OpenCatalogue(const std::string& dir, CatalogueNews& news) {
  const std::string path = CataloguePath(dir);
  StoreOpening o = CatalogueStore::Open(path);
  if (o.store) return std::move(o.store);
  if (!o.unreadable || !KeepAside(path, *o.problem, news)) return *o.problem;
  o = CatalogueStore::Open(path);
  if (!o.store) return *o.problem;
  CatalogueNews rebuilt;
  Result<Found> found = Rebuild(*o.store, dir, rebuilt);
  if (!found) return found.problem();
  news.notices.insert(news.notices.end(), rebuilt.notices.begin(), rebuilt.notices.end());
  news.unreadableFiles += rebuilt.unreadableFiles;
  news.notices.push_back(Problem{path, 0, 0,
                                 "rebuilt from the files under " + dir + ": " +
                                     std::to_string(found.value().trials.size()) + " trials, " +
                                     std::to_string(found.value().pairs.size()) + " pairs"});
  return std::move(o.store);
}

std::string Changes(const CatalogueNews& n) {
  return std::to_string(n.added) + " rows added, " + std::to_string(n.changed) + " changed, " +
         std::to_string(n.removed) + " removed";
}

}  // namespace

std::string CatalogueDir(const std::string& stored) {
  const std::string dir = ToNativePath(stored);
  return dir.empty() ? "." : dir;
}

Result<CatalogueNews> RecordTrial(const std::string& save_dir, const TrialFacts& facts,
                                  const PushAnalysis& pushes, bool complete) {
  const std::string dir = CatalogueDir(save_dir);
  CatalogueNews news;
  auto store = OpenCatalogue(dir, news);
  if (!store) return store.problem();
  TrialEntry e{"", facts, complete, {pushes.wheels[0].summary, pushes.wheels[1].summary}, {}};
  e.files = TrialFilesIn(dir, facts.stem);
  Rows trials;
  CatalogueRow row = TrialRow(e);
  trials[KeyOf(row)] = std::move(row);
  Rows pairs;
  AddCyclePairs(dir, "", facts, pairs);
  if (Status s = ApplyAll(*store.value(), trials, pairs, false, news); !s) return s.problem();
  news.done =
      "catalogued trial " + facts.stem + " in " + CataloguePath(dir) + " (" + Changes(news) + ")";
  return news;
}

Result<CatalogueNews> RecordPair(const std::string& save_dir, const std::string& stem,
                                 const std::string& trial) {
  const std::string dir = CatalogueDir(save_dir);
  CatalogueNews news;
  auto store = OpenCatalogue(dir, news);
  if (!store) return store.problem();
  CatalogueRow row = PairRow("", stem, trial);
  Rows pairs;
  pairs[KeyOf(row)] = std::move(row);
  if (Status s = ApplyAll(*store.value(), {}, pairs, false, news); !s) return s.problem();
  news.done = "catalogued pair " + stem + " in " + CataloguePath(dir) + " (" + Changes(news) + ")";
  return news;
}

Result<CatalogueNews> ScanCatalogue(const std::string& dir_text) {
  const std::string dir = CatalogueDir(dir_text);
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) return Problem{dir, 0, 0, "is not a directory"};
  CatalogueNews news;
  auto store = OpenCatalogue(dir, news);
  if (!store) return store.problem();
  Result<Found> found = Rebuild(*store.value(), dir, news);
  if (!found) return found.problem();
  news.done = "catalogue " + CataloguePath(dir) + ": " +
              std::to_string(found.value().trials.size()) + " trials, " +
              std::to_string(found.value().pairs.size()) + " pairs under " + dir + "; " +
              Changes(news);
  return news;
}

Result<TrialList> ListTrials(const std::string& dir_text, const StudyLabels& filter) {
  const std::string dir = CatalogueDir(dir_text);
  const std::string path = CataloguePath(dir);
  if (!PresentAt(path)) {
    return Problem{path, 0, 0,
                   "there is no catalogue here; velquor-cli catalogue scan " + dir +
                       " makes one from the files"};
  }
  CatalogueNews news;
  auto store = OpenCatalogue(dir, news);
  if (!store) return store.problem();
  std::vector<ColumnEquals> filters;
  if (!filter.participant.empty()) filters.push_back({"participant", filter.participant});
  if (!filter.session.empty()) filters.push_back({"session", filter.session});
  if (!filter.task.empty()) filters.push_back({"task", filter.task});
  Result<std::vector<CatalogueRow>> rows = store.value()->Trials(filters);
  if (!rows) return rows.problem();
  return TrialList{std::move(rows.value()), std::move(news.notices)};
}

}  // namespace velquor
