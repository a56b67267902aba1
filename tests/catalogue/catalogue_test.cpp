#include "catalogue/catalogue.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "catalogue/catalogue_store.h"
#include "catalogue/study_trials.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

namespace fs = std::filesystem;
using testing::SavedTrial;
using testing::SaveTrial;
using testing::TempDir;

struct Dump {
  std::map<CatalogueKey, CatalogueRow> trials, pairs;
};

Dump ReadCatalogue(const std::string& dir) {
  StoreOpening o = CatalogueStore::Open(dir + "/" + std::string(kCatalogueName));
  EXPECT_TRUE(o.store) << (o.problem ? o.problem->Describe() : "");
  if (!o.store) return {};
  return {o.store->ReadAll(CatalogueTable::kTrials).value(),
          o.store->ReadAll(CatalogueTable::kPairs).value()};
}

void RemoveCatalogue(const std::string& dir) {
  for (const char* end : {"", "-wal", "-shm"}) {
    fs::remove(dir + "/" + std::string(kCatalogueName) + end);
  }
}

std::string Stem(int n) {
  return "RUN" + std::to_string(10000000 + n).substr(1);
}

// Two participants over three sessions; each trial recorded as the save worker records it,
// with an older pair that belongs to no trial.
std::vector<SavedTrial> RecordStudy(const std::string& dir) {
  std::vector<SavedTrial> saved;
  int number = 1;
  for (const std::string p : {"P01", "P02"}) {
    for (int session = 1; session <= 3; ++session) {
      SavedTrial t = SaveTrial(dir, Stem(number), number + 1,
                               {p, std::to_string(session), "steady"}, 0.5 + 0.1 * number);
      number += 2;
      EXPECT_TRUE(RecordTrial(dir, t.facts, t.pushes).ok());
      saved.push_back(std::move(t));
    }
  }
  testing::WriteText(dir + "/OLD0000001_dat.csv", "x\r\n");
  EXPECT_TRUE(RecordPair(dir, "OLD0000001", "").ok());
  return saved;
}

TEST(Catalogue, ScanRebuildsWhatWasRecordedAndASecondScanChangesNothing) {
  TempDir dir;
  const std::vector<SavedTrial> saved = RecordStudy(dir.path());
  const Dump live = ReadCatalogue(dir.path());
  ASSERT_EQ(live.trials.size(), 6u);
  ASSERT_EQ(live.pairs.size(), 13u);
  // The pair of the second cycle of the first trial names its trial; the old pair none.
  const CatalogueRow& pair = live.pairs.at({"", "RUN0000002"});
  EXPECT_EQ(ValueText(pair.values.at(2)), "RUN0000001");
  EXPECT_TRUE(std::holds_alternative<std::monostate>(live.pairs.at({"", "OLD0000001"}).values[2]));
  const CatalogueRow& first = live.trials.at({"", "RUN0000001"});
  const auto peak = ColumnIndex(CatalogueTable::kTrials, "w0_peak_torque_Nm_mean");
  ASSERT_TRUE(peak.has_value());
  const auto& summary = saved[0].pushes.wheels[0].summary;
  ASSERT_GT(summary.steady, 3);
  EXPECT_EQ(std::get<double>(first.values.at(*peak)),
            *summary.Figure(PushFigure::kPeakTorque).mean);
  EXPECT_EQ(ValueText(first.values.at(*ColumnIndex(CatalogueTable::kTrials, "files"))),
            "RUN0000001_trial.csv RUN0000001_trial.json RUN0000001_trial_pushes.csv");

  RemoveCatalogue(dir.path());
  const Result<CatalogueNews> scan = ScanCatalogue(dir.path());
  ASSERT_TRUE(scan.ok()) << scan.problem().Describe();
  EXPECT_EQ(scan.value().added, 19);
  const Dump rebuilt = ReadCatalogue(dir.path());
  EXPECT_EQ(rebuilt.trials, live.trials);
  EXPECT_EQ(rebuilt.pairs, live.pairs);

  const Result<CatalogueNews> again = ScanCatalogue(dir.path());
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(again.value().added + again.value().changed + again.value().removed, 0)
      << again.value().done;
  EXPECT_EQ(ReadCatalogue(dir.path()).trials, live.trials);

  // A trial whose files are gone leaves the catalogue at the next scan.
  fs::remove(dir / "RUN0000001_trial.json");
  const Result<CatalogueNews> gone = ScanCatalogue(dir.path());
  ASSERT_TRUE(gone.ok());
  EXPECT_EQ(gone.value().removed, 1);
  EXPECT_EQ(gone.value().changed, 2);  // its pairs now belong to no trial
}

TEST(Catalogue, ListFiltersByLabels) {
  TempDir dir;
  RecordStudy(dir.path());
  struct Case {
    StudyLabels filter;
    std::size_t rows;
  };
  const std::vector<Case> cases = {
      {{}, 6},
      {{"P01", "", ""}, 3},
      {{"P02", "2", ""}, 1},
      {{"", "3", ""}, 2},
      {{"", "", "steady"}, 6},
      {{"P03", "", ""}, 0},
  };
  for (const Case& c : cases) {
    const Result<TrialList> list = ListTrials(dir.path(), c.filter);
    ASSERT_TRUE(list.ok()) << list.problem().Describe();
    EXPECT_EQ(list.value().rows.size(), c.rows) << c.filter.participant << c.filter.session;
  }
  // Sessions of a participant in order.
  const Result<TrialList> p1 = ListTrials(dir.path(), {"P01", "", ""});
  ASSERT_EQ(p1.value().rows.size(), 3u);
  const std::size_t session = *ColumnIndex(CatalogueTable::kTrials, "session");
  EXPECT_EQ(ValueText(p1.value().rows[0].values[session]), "1");
  EXPECT_EQ(ValueText(p1.value().rows[2].values[session]), "3");

  TempDir empty;
  const Result<TrialList> none = ListTrials(empty.path(), {});
  ASSERT_FALSE(none.ok());
  EXPECT_NE(none.problem().what.find("catalogue scan"), std::string::npos);
}

TEST(Catalogue, DirectoriesAsStored) {
  struct Case {
    const char* stored;
    const char* local;
  };
  const std::vector<Case> cases = {
      {"", "."}, {"data\\p1", "data/p1"}, {"/srv/rig", "/srv/rig"}, {"C:\\rig", "/rig"}};
  for (const Case& c : cases) EXPECT_EQ(CatalogueDir(c.stored), c.local) << c.stored;
}

TEST(Catalogue, TwoWritersAtOnceLoseNoRow) {
  TempDir dir;
  constexpr int kEach = 15;
  std::vector<SavedTrial> trials;
  for (int i = 0; i < 2 * kEach; ++i) {
    trials.push_back(SaveTrial(dir.path(), Stem(2 * i + 1), 2 * i + 2,
                               {i % 2 ? "P02" : "P01", "1", "steady"}, 1.0, 4));
  }
  // Each writer its own connection, as two programs have.
  auto writer = [&](int first, std::vector<std::string>& faults) {
    for (int i = first; i < 2 * kEach; i += 2) {
      const Result<CatalogueNews> r = RecordTrial(dir.path(), trials[i].facts, trials[i].pushes);
      if (!r) faults.push_back(r.problem().Describe());
    }
  };
  std::vector<std::string> faults0, faults1;
  std::thread a(writer, 0, std::ref(faults0));
  std::thread b(writer, 1, std::ref(faults1));
  a.join();
  b.join();
  EXPECT_TRUE(faults0.empty()) << faults0.front();
  EXPECT_TRUE(faults1.empty()) << faults1.front();
  const Dump d = ReadCatalogue(dir.path());
  EXPECT_EQ(d.trials.size(), 2u * kEach);
  EXPECT_EQ(d.pairs.size(), 4u * kEach);
}

TEST(Catalogue, OneThatCannotBeReadIsKeptAsideAndRebuilt) {
  struct Case {
    const char* what;
    bool sqlite;  // a SQLite file of another shape rather than no SQLite file at all
  };
  for (const Case c : {Case{"not SQLite", false}, Case{"other columns", true}}) {
    TempDir dir;
    const SavedTrial t = SaveTrial(dir.path(), "RUN0000001", 2, {"P01", "1", "steady"}, 1.0, 4);
    const std::string path = dir / std::string(kCatalogueName);
    if (c.sqlite) {
      // A catalogue of another shape: a table of that name with other columns.
      sqlite3* db = nullptr;
      ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
      ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE trials (x TEXT); INSERT INTO trials VALUES ('a')",
                             nullptr, nullptr, nullptr),
                SQLITE_OK);
      sqlite3_close(db);
    } else {
      testing::WriteText(path, std::string(8192, 'x'));
    }
    const Result<CatalogueNews> r = RecordPair(dir.path(), "RUN0000001", "RUN0000001");
    ASSERT_TRUE(r.ok()) << c.what << ": " << r.problem().Describe();
    ASSERT_GE(r.value().notices.size(), 2u) << c.what;
    EXPECT_NE(r.value().notices[0].what.find("kept as"), std::string::npos)
        << r.value().notices[0].what;
    EXPECT_NE(r.value().notices.back().what.find("rebuilt"), std::string::npos);
    EXPECT_TRUE(fs::exists(path + ".unreadable")) << c.what;
    if (!c.sqlite) {
      std::ifstream kept(path + ".unreadable");
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), std::string(8192, 'x'));
    }
    // Rebuilt from the files: the trial is back.
    const Dump d = ReadCatalogue(dir.path());
    EXPECT_EQ(d.trials.size(), 1u) << c.what;
    EXPECT_EQ(d.pairs.size(), 2u) << c.what;
  }
}

}  // namespace
}  // namespace velquor
