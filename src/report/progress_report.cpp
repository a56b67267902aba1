#include "report/progress_report.h"

#include <memory>

#include "analysis/push_forms.h"
#include "catalogue/catalogue.h"
#include "catalogue/progress_figures.h"
#include "common/shortest_text.h"
#include "report/progress_graph.h"
#include "report/push_section.h"

namespace velquor {
namespace {

struct FigureName {
  std::string_view name, title;
};
constexpr std::array<FigureName, 5> kTitles = {{
    {kPushFrequencyFigure, "Push frequency (pushes/min)"},
    {"contact_angle_deg", "Contact angle (deg)"},
    {"peak_torque_Nm", "Peak torque (Nm)"},
    {"rate_of_rise_Nm_per_s", "Rate of rise (Nm/s)"},
    {"smoothness", "Smoothness"},
}};

std::optional<PushFigure> PushFigureNamed(const std::string& name) {
  for (int f = 0; f < kPushFigureCount; ++f) {
    if (kPushFigureNames.at(static_cast<std::size_t>(f)) == name) {
      return static_cast<PushFigure>(f);
    }
  }
  return std::nullopt;
}

// "2026-12-07" of "2026-12-07T10:03:00+09:00": the date where the trial was measured.
std::string DateOf(const std::string& started) {
  return started.substr(0, std::min<std::size_t>(started.size(), 10));
}

// "+1.250", "-0.500", and "0.000" for a change that rounds to none.
std::string Signed(double v) {
  std::string t = FigureCell(v);
  if (t.find_first_not_of("-0.") == std::string::npos) return t.front() == '-' ? t.substr(1) : t;
  return v > 0 ? "+" + t : t;
}

std::string MeanSdCell(const Pooled& p) {
  if (!p.mean) return "";
  return FigureCell(p.mean) + (p.sd ? " ± " + FigureCell(p.sd) : "");
}

std::string ChangeCell(const WheelFigure& w) {
  if (w.judgement == Judgement::kReference) return w.pooled.mean ? "reference" : "";
  if (!w.change) return "";
  const std::string_view judged = JudgementText(w.judgement);
  return Signed(*w.change) + (judged.empty() ? "" : " " + std::string(judged));
}

std::string MdcText(const std::string& figure, const MdcSettings& mdc) {
  const auto m = mdc.For(figure);
  return m ? "MDC " + ShortestText(*m) : "no MDC set: changes not judged";
}

TextTable Overview(const ProgressRequest& r, const ProgressFigures& p, int trials) {
  TextTable t;
  t.widths = {30, 150};
  t.align = {Align::kLeft, Align::kLeft};
  const SessionProgress& first = p.sessions.front();
  const SessionProgress& last = p.sessions.back();
  std::string mdc;
  for (const std::string& f : p.figures) {
    if (const auto m = r.mdc.For(f)) mdc += (mdc.empty() ? "" : ", ") + f + " " + ShortestText(*m);
  }
  t.rows = {
      {"Participant", r.participant},
      {"Task", r.task.empty() ? "every task" : r.task},
      {"Sessions", std::to_string(p.sessions.size()) + " from " + DateOf(first.started) + " to " +
                       DateOf(last.started) + ", " + std::to_string(trials) + " trials"},
      {"Reference", "session " + first.session + " of " + DateOf(first.started)},
      {"MDC", mdc.empty() ? "none set for these figures" : mdc},
      {"Graphs", "mean ± SD of the steady pushes of each session in date order, ch0 left of ch1;"},
      {"", "the line across: the reference session's mean; the pale band: that mean ± the MDC;"},
      {"", "a filled mark: a change beyond the MDC, an open mark: within it or not judged"},
  };
  t.keepWhole = true;
  return t;
}

TextTable SessionTable(const ProgressFigures& p) {
  TextTable t;
  t.caption = "Session by session: mean ± SD of the steady pushes, change from the reference";
  t.head = {"Session",        "Date",        "Trials",         "Steady\nch0/ch1", "Figure",
            "ch0\nmean ± SD", "ch0\nchange", "ch1\nmean ± SD", "ch1\nchange"};
  t.headLines = 2;
  t.widths = {14, 17, 10, 14, 23, 26, 25, 26, 25};
  t.align = {Align::kLeft,  Align::kLeft,  Align::kRight, Align::kRight, Align::kLeft,
             Align::kRight, Align::kRight, Align::kRight, Align::kRight};
  for (const SessionProgress& s : p.sessions) {
    for (std::size_t k = 0; k < p.figures.size(); ++k) {
      std::vector<std::string> row(4);
      if (k == 0) {
        row = {s.session, DateOf(s.started), std::to_string(s.trials),
               std::to_string(s.steady[0]) + "/" + std::to_string(s.steady[1])};
      }
      row.push_back(ProgressFigureHead(p.figures[k]));
      for (const WheelFigure& w : s.figures.at(k)) {
        row.push_back(MeanSdCell(w.pooled));
        row.push_back(ChangeCell(w));
      }
      t.rows.push_back(std::move(row));
    }
  }
  return t;
}

}  // namespace

std::string ProgressFigureTitle(const std::string& figure) {
  for (const FigureName& f : kTitles) {
    if (f.name == figure) return std::string(f.title);
  }
  return ProgressFigureHead(figure);
}

std::string ProgressFigureHead(const std::string& figure) {
  if (figure == kPushFrequencyFigure) return "Pushes/min";
  const auto f = PushFigureNamed(figure);
  return f ? FigureHead(*f) : figure;
}

Result<ProgressReport> ComposeProgress(const ProgressRequest& r) {
  const Result<TrialList> list = ListTrials(r.dir, {r.participant, "", r.task});
  if (!list) return list.problem();
  const std::string dir = CatalogueDir(r.dir);
  const std::vector<CatalogueRow>& rows = list.value().rows;
  if (rows.empty()) {
    return Problem{dir, 0, 0,
                   "the catalogue holds no trial of participant " + r.participant +
                       (r.task.empty() ? "" : " at task " + r.task) + " in " + dir};
  }
  const Result<ProgressFigures> figures = SessionProgressOf(rows, r.figures, r.mdc);
  if (!figures) return figures.problem();
  const ProgressFigures& p = figures.value();
  if (p.sessions.empty()) {
    return Problem{
        dir, 0, 0,
        "no trial of participant " + r.participant + " in " + dir +
            " is of a session and complete: " + (p.leftOut.empty() ? "" : p.leftOut.front()) +
            (p.leftOut.size() > 1 ? " (and " + std::to_string(p.leftOut.size() - 1) + " more)"
                                  : "")};
  }

  ProgressReport out;
  out.notices = list.value().notices;
  for (const std::string& trial : p.leftOut) {
    out.notices.push_back({dir, 0, 0, trial + "; it is left out of the progress"});
  }
  const std::string who = r.participant + (r.task.empty() ? "" : ", task " + r.task);
  const std::string stem = "Progress of " + who;
  out.doc.title = stem;
  out.doc.blocks.push_back({Heading{stem, kTitlePt}, stem});
  out.doc.blocks.push_back({Overview(r, p, p.trials), stem});
  for (std::size_t k = 0; k < p.figures.size(); ++k) {
    const std::string& name = p.figures[k];
    out.doc.blocks.push_back(
        {Heading{ProgressFigureTitle(name) + " by session (" + MdcText(name, r.mdc) + ")"}, stem});
    auto frame = std::make_shared<RecordingFrame>();
    frame->frame.SetLegendColour(0, kDefaultGraphColor[0]);
    frame->frame.SetLegendColour(1, kDefaultGraphColor[1]);
    DrawProgressGraph(frame->frame, p, k, r.mdc.For(name), ProgressFigureHead(name),
                      kDefaultGraphColor);
    Graph g{kProgressFrame, frame, true, kSmallGraphMmPerPixel, SessionLabels(p)};
    out.doc.blocks.push_back({std::move(g), stem});
  }
  out.doc.blocks.push_back({SessionTable(p), stem, true});
  out.done = "progress of " + who + ": " + std::to_string(p.sessions.size()) + " sessions, " +
             std::to_string(p.trials) + " trials, " + std::to_string(p.figures.size()) + " figures";
  return out;
}

}  // namespace velquor
