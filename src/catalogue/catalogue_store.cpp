#include "catalogue/catalogue_store.h"

#include <sqlite3.h>

#include <chrono>
#include <thread>

namespace velquor {
namespace {

std::string SqlType(ColumnKind kind) {
  switch (kind) {
    case ColumnKind::kWhole:
      return "INTEGER";
    case ColumnKind::kNumber:
      return "REAL";
    case ColumnKind::kText:
      break;
  }
  return "TEXT";
}

std::string CreateTable(CatalogueTable table) {
  std::string sql = "CREATE TABLE IF NOT EXISTS " + std::string(TableName(table)) + " (";
  for (const CatalogueColumn& c : Columns(table)) sql += c.name + " " + SqlType(c.kind) + ", ";
  const std::vector<CatalogueColumn>& c = Columns(table);
  return sql + "PRIMARY KEY (" + c.at(0).name + ", " + c.at(1).name + "))";
}

// A prepared statement, finalized when it goes.
class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql) {
    rc_ = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr);
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool ok() const { return rc_ == SQLITE_OK; }
  sqlite3_stmt* get() const { return stmt_; }

  int Bind(int i, const CatalogueValue& v) {
    if (const auto* n = std::get_if<std::int64_t>(&v)) return sqlite3_bind_int64(stmt_, i, *n);
    if (const auto* d = std::get_if<double>(&v)) return sqlite3_bind_double(stmt_, i, *d);
    if (const auto* s = std::get_if<std::string>(&v)) {
      return sqlite3_bind_text(stmt_, i, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
    }
    return sqlite3_bind_null(stmt_, i);
  }

  CatalogueValue Column(int i, ColumnKind kind) const {
    switch (sqlite3_column_type(stmt_, i)) {
      case SQLITE_NULL:
        return std::monostate{};
      case SQLITE_INTEGER:
        if (kind == ColumnKind::kWhole) return std::int64_t{sqlite3_column_int64(stmt_, i)};
        break;
      case SQLITE_FLOAT:
        if (kind == ColumnKind::kNumber) return sqlite3_column_double(stmt_, i);
        break;
      default:
        break;
    }
    if (kind == ColumnKind::kNumber) return sqlite3_column_double(stmt_, i);
    if (kind == ColumnKind::kWhole) return std::int64_t{sqlite3_column_int64(stmt_, i)};
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
    return std::string(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i)));
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
  int rc_ = SQLITE_ERROR;
};

// Whether the table has exactly the columns this program writes, in its order.
bool HasColumns(sqlite3* db, CatalogueTable table) {
  Statement st(db, "PRAGMA table_info(" + std::string(TableName(table)) + ")");
  if (!st.ok()) return false;
  const std::vector<CatalogueColumn>& want = Columns(table);
  std::size_t n = 0;
  while (sqlite3_step(st.get()) == SQLITE_ROW) {
    const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1));
    if (n >= want.size() || name == nullptr || want[n].name != name) return false;
    ++n;
  }
  return n == want.size();
}

}  // namespace

CatalogueKey KeyOf(const CatalogueRow& row) {
  return {ValueText(row.values.at(0)), ValueText(row.values.at(1))};
}

StoreOpening CatalogueStore::Open(const std::string& path) {
  sqlite3* db = nullptr;
  const int rc =
      sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  StoreOpening o;
  if (rc != SQLITE_OK) {
    o.problem = Problem{
        path, 0, 0,
        std::string("could not be opened: ") + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc))};
    sqlite3_close(db);
    return o;
  }
  auto store = std::make_unique<CatalogueStore>(db, path);
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  // WAL lets readers go on while one program writes; a file that is no database fails here.
  // Two programs opening a new catalogue at once may both ask for WAL; SQLite answers the
  // second "locked" without waiting, so it asks again within the busy time.
  Status wal = store->Exec("PRAGMA journal_mode=WAL");
  for (int waited = 0;
       !wal && (sqlite3_errcode(db) & 0xff) == SQLITE_BUSY && waited < kBusyTimeoutMs;
       waited += 10) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    wal = store->Exec("PRAGMA journal_mode=WAL");
  }
  if (Status s = wal; !s) {
    const int code = sqlite3_errcode(db) & 0xff;
    o.unreadable = code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
    o.problem = s.problem();
    return o;
  }
  if (Status s = store->Begin(); !s) {
    o.problem = s.problem();
    return o;
  }
  for (const CatalogueTable t : {CatalogueTable::kTrials, CatalogueTable::kPairs}) {
    if (Status s = store->Exec(CreateTable(t)); !s) {
      store->Rollback();
      const int code = sqlite3_errcode(db) & 0xff;
      o.unreadable = code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
      o.problem = s.problem();
      return o;
    }
    if (!HasColumns(db, t)) {
      store->Rollback();
      o.unreadable = true;
      o.problem = Problem{path, 0, 0,
                          "its table " + std::string(TableName(t)) +
                              " does not have the columns this program writes"};
      return o;
    }
  }
  if (Status s = store->Commit(); !s) {
    o.problem = s.problem();
    return o;
  }
  o.store = std::move(store);
  return o;
}

CatalogueStore::~CatalogueStore() {
  if (inTransaction_) Rollback();
  sqlite3_close(db_);
}

Problem CatalogueStore::Fault(const std::string& doing) const {
  return Problem{path_, 0, 0, doing + ": " + sqlite3_errmsg(db_)};
}

Status CatalogueStore::Exec(const std::string& sql) {
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    return Fault("could not be read or written (" + sql.substr(0, sql.find(' ', 8)) + ")");
  }
  return Status::Ok();
}

Status CatalogueStore::Begin() {
  if (Status s = Exec("BEGIN IMMEDIATE"); !s) return s;
  inTransaction_ = true;
  return Status::Ok();
}

Status CatalogueStore::Commit() {
  Status s = Exec("COMMIT");
  if (!s) Rollback();
  inTransaction_ = false;
  return s;
}

void CatalogueStore::Rollback() {
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  inTransaction_ = false;
}

Result<std::vector<CatalogueRow>> CatalogueStore::Select(CatalogueTable table,
                                                         const std::string& where,
                                                         const std::vector<std::string>& params,
                                                         const std::string& order) {
  const std::vector<CatalogueColumn>& cols = Columns(table);
  std::string sql = "SELECT ";
  for (std::size_t i = 0; i < cols.size(); ++i) sql += (i ? ", " : "") + cols[i].name;
  sql += " FROM " + std::string(TableName(table)) + where + " ORDER BY " + order;
  Statement st(db_, sql);
  if (!st.ok()) return Fault("could not be read");
  for (std::size_t i = 0; i < params.size(); ++i) {
    st.Bind(static_cast<int>(i + 1), params[i]);
  }
  std::vector<CatalogueRow> rows;
  int rc = SQLITE_ROW;
  while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
    CatalogueRow row;
    row.values.reserve(cols.size());
    for (std::size_t i = 0; i < cols.size(); ++i) {
      row.values.push_back(st.Column(static_cast<int>(i), cols[i].kind));
    }
    rows.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) return Fault("could not be read");
  return rows;
}

Result<std::map<CatalogueKey, CatalogueRow>> CatalogueStore::ReadAll(CatalogueTable table) {
  const std::vector<CatalogueColumn>& cols = Columns(table);
  auto rows = Select(table, "", {}, cols.at(0).name + ", " + cols.at(1).name);
  if (!rows) return rows.problem();
  std::map<CatalogueKey, CatalogueRow> by_key;
  for (CatalogueRow& r : rows.value()) by_key.emplace(KeyOf(r), std::move(r));
  return by_key;
}

Result<std::vector<CatalogueRow>> CatalogueStore::Trials(const std::vector<ColumnEquals>& filters) {
  std::string where;
  std::vector<std::string> params;
  for (const ColumnEquals& f : filters) {
    if (!ColumnIndex(CatalogueTable::kTrials, f.column)) {
      return Problem{path_, 0, 0, "has no column " + f.column};
    }
    where += (where.empty() ? " WHERE " : " AND ") + f.column + " = ?";
    params.push_back(f.text);
  }
  return Select(CatalogueTable::kTrials, where, params,
                "participant, session, started, folder, trial");
}

Status CatalogueStore::Put(CatalogueTable table, const CatalogueRow& row) {
  const std::vector<CatalogueColumn>& cols = Columns(table);
  if (row.values.size() != cols.size()) {
    return Problem{path_, 0, 0, "a row of the wrong width was not written"};
  }
  std::string names;
  std::string marks;
  for (std::size_t i = 0; i < cols.size(); ++i) {
    names += (i ? ", " : "") + cols[i].name;
    marks += i ? ", ?" : "?";
  }
  Statement st(db_, "INSERT OR REPLACE INTO " + std::string(TableName(table)) + " (" + names +
                        ") VALUES (" + marks + ")");
  if (!st.ok()) return Fault("could not be written");
  for (std::size_t i = 0; i < cols.size(); ++i) {
    if (st.Bind(static_cast<int>(i + 1), row.values[i]) != SQLITE_OK) {
      return Fault("could not be written");
    }
  }
  if (sqlite3_step(st.get()) != SQLITE_DONE) return Fault("could not be written");
  return Status::Ok();
}

Status CatalogueStore::Remove(CatalogueTable table, const CatalogueKey& key) {
  const std::vector<CatalogueColumn>& cols = Columns(table);
  Statement st(db_, "DELETE FROM " + std::string(TableName(table)) + " WHERE " + cols.at(0).name +
                        " = ? AND " + cols.at(1).name + " = ?");
  if (!st.ok()) return Fault("could not be written");
  st.Bind(1, key.first);
  st.Bind(2, key.second);
  if (sqlite3_step(st.get()) != SQLITE_DONE) return Fault("could not be written");
  return Status::Ok();
}

}  // namespace velquor
