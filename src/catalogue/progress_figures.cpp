#include "catalogue/progress_figures.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>

#include "analysis/push_summary.h"

namespace velquor {
namespace {

std::optional<double> NumberAt(const CatalogueRow& row, const std::string& column) {
  const auto i = ColumnIndex(CatalogueTable::kTrials, column);
  if (!i || *i >= row.values.size()) return std::nullopt;
  if (const auto* d = std::get_if<double>(&row.values[*i])) return *d;
  if (const auto* w = std::get_if<std::int64_t>(&row.values[*i])) {
    return static_cast<double>(*w);
  }
  return std::nullopt;
}

std::string TextAt(const CatalogueRow& row, const std::string& column) {
  const auto i = ColumnIndex(CatalogueTable::kTrials, column);
  if (!i || *i >= row.values.size()) return {};
  return ValueText(row.values[*i]);
}

// Digits "0".."9" of `text` from `at` on as a number; nothing unless all `count` are digits.
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
  if (at + count > text.size()) return std::nullopt;
  int v = 0;
  for (std::size_t k = at; k < at + count; ++k) {
    if (text[k] < '0' || text[k] > '9') return std::nullopt;
    v = v * 10 + (text[k] - '0');
  }
  return v;
}

Pooled PoolWheel(const std::vector<const CatalogueRow*>& trials, const std::string& figure,
                 std::size_t wheel) {
  const std::string w = "w" + std::to_string(wheel) + "_";
  if (figure == kPushFrequencyFigure) {
    std::vector<double> values;
    for (const CatalogueRow* r : trials) {
      if (const auto v = NumberAt(*r, w + figure)) values.push_back(*v);
    }
    return PoolValues(values);
  }
  std::vector<FigurePart> parts;
  for (const CatalogueRow* r : trials) {
    const auto n = NumberAt(*r, w + "steady");
    const auto mean = NumberAt(*r, w + figure + "_mean");
    if (!n || *n < 1 || !mean) continue;
    parts.push_back({static_cast<int>(*n), *mean, NumberAt(*r, w + figure + "_sd")});
  }
  return PoolParts(parts);
}

}  // namespace

Pooled PoolParts(const std::vector<FigurePart>& parts) {
  Pooled out;
  if (parts.size() == 1) return {parts[0].n, parts[0].mean, parts[0].sd};
  double sum = 0;
  for (const FigurePart& p : parts) {
    out.n += p.n;
    sum += p.n * p.mean;
  }
  if (out.n == 0) return out;
  const double mean = sum / out.n;
  out.mean = mean;
  if (out.n < 2) return out;
  double squares = 0;
  for (const FigurePart& p : parts) {
    if (p.n > 1 && !p.sd) return out;
    const double sd = p.sd.value_or(0.0);
    const double d = p.mean - mean;
    squares += (p.n - 1) * sd * sd + p.n * d * d;
  }
  out.sd = std::sqrt(squares / (out.n - 1));
  return out;
}

Pooled PoolValues(const std::vector<double>& values) {
  const FigureSummary s = SummariseValues(values);
  return {static_cast<int>(values.size()), s.mean, s.sd};
}

Judgement Judge(double reference, double value, std::optional<double> mdc) {
  if (!mdc) return Judgement::kNotJudged;
  const double change = std::fabs(value - reference);
  // What the subtraction may have added to a change of exactly the MDC.
  const double slack = 1e-12 * std::max({std::fabs(reference), std::fabs(value), *mdc});
  return change <= *mdc + slack ? Judgement::kWithin : Judgement::kBeyond;
}

std::string_view JudgementText(Judgement j) {
  switch (j) {
    case Judgement::kReference:
      return "reference";
    case Judgement::kWithin:
      return "within";
    case Judgement::kBeyond:
      return "beyond";
    case Judgement::kNotJudged:
      break;
  }
  return "";
}

std::optional<std::int64_t> InstantOf(std::string_view t) {
  // 2026-12-07T14:03:05
  const auto year = Digits(t, 0, 4), month = Digits(t, 5, 2), day = Digits(t, 8, 2);
  const auto hour = Digits(t, 11, 2), minute = Digits(t, 14, 2), second = Digits(t, 17, 2);
  if (!year || !month || !day || !hour || !minute || !second || t[4] != '-' || t[7] != '-' ||
      (t[10] != 'T' && t[10] != ' ') || t[13] != ':' || t[16] != ':') {
    return std::nullopt;
  }
  const std::chrono::year_month_day date{std::chrono::year(*year),
                                         std::chrono::month(static_cast<unsigned>(*month)),
                                         std::chrono::day(static_cast<unsigned>(*day))};
  if (!date.ok() || *hour > 23 || *minute > 59 || *second > 60) return std::nullopt;
  std::size_t at = 19;
  if (at < t.size() && t[at] == '.') {
    ++at;
    while (at < t.size() && t[at] >= '0' && t[at] <= '9') ++at;
  }
  std::int64_t offset = 0;
  if (at < t.size()) {
    const std::string_view zone = t.substr(at);
    if (zone != "Z") {
      const auto oh = Digits(zone, 1, 2), om = Digits(zone, 4, 2);
      if (zone.size() != 6 || (zone[0] != '+' && zone[0] != '-') || zone[3] != ':' || !oh || !om) {
        return std::nullopt;
      }
      offset = (zone[0] == '-' ? -1 : 1) * (*oh * 3600 + *om * 60);
    }
  }
  const std::int64_t days = std::chrono::sys_days(date).time_since_epoch().count();
  return days * 86400 + *hour * 3600 + *minute * 60 + *second - offset;
}

Result<ProgressFigures> SessionProgressOf(const std::vector<CatalogueRow>& rows,
                                          std::vector<std::string> figures,
                                          const MdcSettings& mdc) {
  if (figures.empty())
    figures.assign(kDefaultProgressFigures.begin(), kDefaultProgressFigures.end());
  for (const std::string& f : figures) {
    if (!IsMdcFigure(f)) {
      return Problem{"", 0, 0, "\"" + f + "\" is not a figure a session summary holds"};
    }
  }
  // The trials of each session, each session dated by its first trial.
  struct Session {
    std::vector<const CatalogueRow*> trials;
    std::string started;
    std::optional<std::int64_t> instant;
  };
  std::map<std::string, Session> by_label;
  ProgressFigures out;
  for (const CatalogueRow& r : rows) {
    const std::string why = TextAt(r, "session").empty()   ? "has no session"
                            : TextAt(r, "complete") != "1" ? "is not complete"
                                                           : "";
    if (!why.empty()) {
      out.leftOut.push_back("trial " + TextAt(r, "trial") + " " + why);
      continue;
    }
    ++out.trials;
    Session& s = by_label[TextAt(r, "session")];
    s.trials.push_back(&r);
    const std::string started = TextAt(r, "started");
    const std::optional<std::int64_t> instant = InstantOf(started);
    const bool earlier = s.trials.size() == 1 || (instant && (!s.instant || *instant < *s.instant));
    if (earlier) {
      s.started = started;
      s.instant = instant;
    }
  }
  std::vector<std::pair<std::string, Session>> order(by_label.begin(), by_label.end());
  // Undated sessions after the dated ones, each group by label.
  std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
    if (a.second.instant && b.second.instant) return *a.second.instant < *b.second.instant;
    return a.second.instant.has_value() && !b.second.instant.has_value();
  });

  out.figures = figures;
  for (const auto& [label, s] : order) {
    SessionProgress p;
    p.session = label;
    p.started = s.started;
    p.trials = static_cast<int>(s.trials.size());
    for (std::size_t w = 0; w < 2; ++w) {
      for (const CatalogueRow* r : s.trials) {
        p.steady.at(w) +=
            static_cast<int>(NumberAt(*r, "w" + std::to_string(w) + "_steady").value_or(0.0));
      }
    }
    for (const std::string& f : figures) {
      std::array<WheelFigure, 2> wheels{};
      for (std::size_t w = 0; w < 2; ++w) wheels.at(w).pooled = PoolWheel(s.trials, f, w);
      p.figures.push_back(wheels);
    }
    out.sessions.push_back(std::move(p));
  }
  if (out.sessions.empty()) return out;
  for (std::size_t k = 0; k < figures.size(); ++k) {
    const std::optional<double> change = mdc.For(figures[k]);
    for (std::size_t w = 0; w < 2; ++w) {
      const std::optional<double> reference = out.sessions.front().figures.at(k).at(w).pooled.mean;
      for (std::size_t s = 0; s < out.sessions.size(); ++s) {
        WheelFigure& wf = out.sessions[s].figures.at(k).at(w);
        if (s == 0) {
          wf.judgement = Judgement::kReference;
          continue;
        }
        if (!reference || !wf.pooled.mean) continue;
        wf.change = *wf.pooled.mean - *reference;
        wf.judgement = Judge(*reference, *wf.pooled.mean, change);
      }
    }
  }
  return out;
}

}  // namespace velquor
