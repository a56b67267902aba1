// The catalogue's SQLite file: opened in WAL mode with a busy timeout so that two programs may
// write it at once, its two tables made when missing, rows read, put and removed, each change
// inside a transaction that holds the write lock from its start.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/catalogue_row.h"
#include "common/result.h"

struct sqlite3;

namespace velquor {

// A row's key: its folder and stem.
using CatalogueKey = std::pair<std::string, std::string>;
CatalogueKey KeyOf(const CatalogueRow& row);

// A filter of the trials' rows: the column's value equals the text.
struct ColumnEquals {
  std::string column;
  std::string text;
};

class CatalogueStore;

struct StoreOpening {
  std::unique_ptr<CatalogueStore> store;
  std::optional<Problem> problem;  // set when there is no store
  bool unreadable = false;         // the file is there but is no catalogue this program reads
};

class CatalogueStore {
 public:
  // How long a writer waits for the other program's transaction before it gives up.
  static constexpr int kBusyTimeoutMs = 10000;

  // Opens or creates the catalogue at `path` (local form).
  static StoreOpening Open(const std::string& path);
  // Takes the open connection; Open makes it.
  CatalogueStore(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
  ~CatalogueStore();
  CatalogueStore(const CatalogueStore&) = delete;
  CatalogueStore& operator=(const CatalogueStore&) = delete;

  // BEGIN IMMEDIATE: takes the write lock now, waiting up to the busy timeout for it.
  Status Begin();
  Status Commit();
  void Rollback();

  Result<std::map<CatalogueKey, CatalogueRow>> ReadAll(CatalogueTable table);
  // The trials' rows that pass every filter, in the order of participant, session, start.
  Result<std::vector<CatalogueRow>> Trials(const std::vector<ColumnEquals>& filters);
  Status Put(CatalogueTable table, const CatalogueRow& row);
  Status Remove(CatalogueTable table, const CatalogueKey& key);

  const std::string& path() const { return path_; }

 private:
  Status Exec(const std::string& sql);
  Problem Fault(const std::string& doing) const;
  Result<std::vector<CatalogueRow>> Select(CatalogueTable table, const std::string& where,
                                           const std::vector<std::string>& params,
                                           const std::string& order);

  sqlite3* db_ = nullptr;
  std::string path_;
  bool inTransaction_ = false;
};

// Begins a transaction and rolls it back unless it was committed.
class CatalogueTransaction {
 public:
  explicit CatalogueTransaction(CatalogueStore& store) : store_(store) {}
  ~CatalogueTransaction() {
    if (open_) store_.Rollback();
  }
  CatalogueTransaction(const CatalogueTransaction&) = delete;
  CatalogueTransaction& operator=(const CatalogueTransaction&) = delete;
  Status Begin() {
    Status s = store_.Begin();
    open_ = s.ok();
    return s;
  }
  Status Commit() {
    open_ = false;
    return store_.Commit();
  }

 private:
  CatalogueStore& store_;
  bool open_ = false;
};

}  // namespace velquor
