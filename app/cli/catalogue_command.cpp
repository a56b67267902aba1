#include "app/cli/catalogue_command.h"

#include <array>
#include <string_view>
#include <vector>

#include "catalogue/bids_export.h"
#include "catalogue/catalogue.h"
#include "common/json_text.h"

namespace velquor::cli {
namespace {

// The columns of the table, each wheel's figure as "left/right".
constexpr std::array<std::string_view, 6> kShown = {"participant", "session", "task",
                                                    "started",     "trial",   "duration_s"};
constexpr std::array<std::string_view, 5> kShownPerWheel = {
    "steady", "push_frequency_per_min", "contact_angle_deg_mean", "peak_torque_Nm_mean",
    "rate_of_rise_Nm_per_s_mean"};

std::string Cell(const CatalogueRow& row, const std::string& column) {
  const auto i = ColumnIndex(CatalogueTable::kTrials, column);
  return i ? ValueText(row.values.at(*i)) : std::string();
}

std::string Table(const std::vector<CatalogueRow>& rows) {
  std::string text;
  for (std::string_view c : kShown) text += std::string(c) + "\t";
  for (std::size_t k = 0; k < kShownPerWheel.size(); ++k) {
    text += std::string(kShownPerWheel[k]) + (k + 1 < kShownPerWheel.size() ? "\t" : "\n");
  }
  for (const CatalogueRow& r : rows) {
    for (std::string_view c : kShown) text += Cell(r, std::string(c)) + "\t";
    for (std::size_t k = 0; k < kShownPerWheel.size(); ++k) {
      const std::string c(kShownPerWheel[k]);
      text += Cell(r, "w0_" + c) + "/" + Cell(r, "w1_" + c) +
              (k + 1 < kShownPerWheel.size() ? "\t" : "\n");
    }
  }
  return text;
}

std::string Json(const std::vector<CatalogueRow>& rows) {
  const std::vector<CatalogueColumn>& cols = Columns(CatalogueTable::kTrials);
  std::vector<std::string> members;
  members.reserve(rows.size());
  for (const CatalogueRow& r : rows) {
    JsonObject o;
    for (std::size_t i = 0; i < cols.size(); ++i) o.Add(cols[i].name, ValueJson(r.values.at(i)));
    members.push_back(o.str());
  }
  return JsonArray(members) + "\n";
}

}  // namespace

int RunCatalogue(const CatalogueOptions& o, const CliPaths& paths, std::ostream& out,
                 std::ostream& err) {
  if (o.action == "scan") {
    const Result<CatalogueNews> news = ScanCatalogue(*o.dir);
    if (!news) {
      ReportProblem(err, news.problem());
      return 1;
    }
    for (const Problem& n : news.value().notices) ReportNotice(err, n);
    err << "velquor-cli: " << news.value().done << "\n";
    return news.value().unreadableFiles > 0 ? 1 : 0;
  }
  const std::string dir = o.dir ? *o.dir : LoadStartupFiles(paths, err).settings.txtFileDir;
  const Result<TrialList> list = ListTrials(dir, o.filter);
  if (!list) {
    ReportProblem(err, list.problem());
    return 1;
  }
  for (const Problem& n : list.value().notices) ReportNotice(err, n);
  out << (o.json ? Json(list.value().rows) : Table(list.value().rows));
  return 0;
}

int RunExportBids(const ExportBidsOptions& o, const CliPaths& paths, const std::string& version,
                  std::ostream& out, std::ostream& err) {
  const std::string dir = o.dir ? *o.dir : LoadStartupFiles(paths, err).settings.txtFileDir;
  const Result<BidsExportNews> news = ExportBids({dir, o.out, o.participants, version});
  if (!news) {
    ReportProblem(err, news.problem());
    return 1;
  }
  for (const Problem& n : news.value().notices) ReportNotice(err, n);
  for (const std::string& path : news.value().written) out << "wrote " << path << "\n";
  err << "velquor-cli: exported " << news.value().trials << " trials into " << o.out << "\n";
  return 0;
}

}  // namespace velquor::cli
