// A participant's progress over sessions: pooled session figures equal the figures of all their
// steady pushes together, a session of one trial is that trial's summary, sessions follow their
// dates, and changes are judged at the edges of the minimal detectable change.
#include "catalogue/progress_figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/push_summary.h"
#include "catalogue/catalogue.h"
#include "catalogue/study_trials.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

using testing::SavedTrial;
using testing::SaveTrial;
using testing::TempDir;

PushFigure FigureNamed(const std::string& name) {
  for (int f = 0; f < kPushFigureCount; ++f) {
    if (kPushFigureNames.at(static_cast<std::size_t>(f)) == name) return static_cast<PushFigure>(f);
  }
  ADD_FAILURE() << name;
  return PushFigure::kOn;
}

// Parts of a list of values cut at the places given, each with its own summary.
std::vector<FigurePart> Cut(const std::vector<double>& v, const std::vector<std::size_t>& ends) {
  std::vector<FigurePart> parts;
  std::size_t from = 0;
  for (std::size_t end : ends) {
    const std::vector<double> part(v.begin() + static_cast<long>(from),
                                   v.begin() + static_cast<long>(end));
    const FigureSummary s = SummariseValues(part);
    parts.push_back({static_cast<int>(part.size()), *s.mean, s.sd});
    from = end;
  }
  return parts;
}

TEST(ProgressFigures, PooledPartsEqualAllTheirValuesTogether) {
  const std::vector<double> v = {31.2, 29.8, 30.5, 33.0, 28.1, 30.0, 35.4, 27.9, 31.1};
  const FigureSummary all = SummariseValues(v);
  for (const std::vector<std::size_t>& ends : std::vector<std::vector<std::size_t>>{
           {9}, {4, 9}, {1, 9}, {1, 2, 3, 9}, {3, 6, 9}, {8, 9}, {1, 2, 3, 4, 5, 6, 7, 8, 9}}) {
    const Pooled p = PoolParts(Cut(v, ends));
    EXPECT_EQ(p.n, 9);
    ASSERT_TRUE(p.mean && p.sd) << ends.size();
    EXPECT_NEAR(*p.mean, *all.mean, 1e-12) << ends.size();
    EXPECT_NEAR(*p.sd, *all.sd, 1e-12) << ends.size();
  }
  // A single part stays exactly as it is; a single value has no SD.
  const FigurePart one{7, 1.0 / 3.0, 0.1};
  const Pooled same = PoolParts({one});
  EXPECT_EQ(same.mean, one.mean);
  EXPECT_EQ(same.sd, one.sd);
  EXPECT_FALSE(PoolParts({{1, 5.0, std::nullopt}}).sd.has_value());
  EXPECT_FALSE(PoolParts({}).mean.has_value());
  // A part of several values whose SD is missing cannot be pooled into an SD.
  EXPECT_FALSE(PoolParts({{3, 1.0, std::nullopt}, {2, 2.0, 0.5}}).sd.has_value());
}

TEST(ProgressFigures, EqualTheTrialsSummariesAndAllTheirSteadyPushes) {
  TempDir dir;
  // Session 1: one trial; session 2: two trials of other strengths and lengths.
  std::vector<SavedTrial> saved;
  saved.push_back(SaveTrial(dir.path(), "RUN0000001", 2, {"P01", "1", "steady"}, 0.8, 12));
  saved.push_back(SaveTrial(dir.path(), "RUN0000003", 4, {"P01", "2", "steady"}, 1.1, 9));
  saved.push_back(SaveTrial(dir.path(), "RUN0000005", 6, {"P01", "2", "steady"}, 1.4, 14));
  for (const SavedTrial& t : saved) ASSERT_TRUE(RecordTrial(dir.path(), t.facts, t.pushes).ok());
  const Result<TrialList> list = ListTrials(dir.path(), {"P01", "", ""});
  ASSERT_TRUE(list.ok()) << list.problem().Describe();
  const Result<ProgressFigures> r = SessionProgressOf(list.value().rows, {}, {});
  ASSERT_TRUE(r.ok()) << r.problem().Describe();
  const ProgressFigures& p = r.value();
  ASSERT_EQ(p.figures.size(), kDefaultProgressFigures.size());
  ASSERT_EQ(p.sessions.size(), 2u);
  EXPECT_EQ(p.sessions[1].trials, 2);

  for (std::size_t k = 0; k < p.figures.size(); ++k) {
    const std::string& name = p.figures[k];
    for (std::size_t w = 0; w < 2; ++w) {
      // The session of one trial: exactly the trial's summary.
      const PushSummary& one = saved[0].pushes.wheels.at(w).summary;
      const Pooled& first = p.sessions[0].figures.at(k).at(w).pooled;
      const FigureSummary expected =
          name == kPushFrequencyFigure
              ? FigureSummary{one.push_frequency_per_min, std::nullopt, std::nullopt}
              : one.Figure(FigureNamed(name));
      ASSERT_TRUE(expected.mean.has_value()) << name;
      EXPECT_EQ(first.mean, expected.mean) << name << w;
      EXPECT_EQ(first.sd, expected.sd) << name << w;

      // The session of two: the figures of all their steady pushes (push frequency: over the
      // trials).
      std::vector<double> values;
      for (std::size_t t = 1; t < 3; ++t) {
        const WheelPushes& wp = saved[t].pushes.wheels.at(w);
        if (name == kPushFrequencyFigure) {
          values.push_back(*wp.summary.push_frequency_per_min);
          continue;
        }
        for (std::size_t j = 0; j < wp.pushes.size(); ++j) {
          if (!IsSteadyPush(wp.pushes, j, saved[t].pushes.parameters)) continue;
          const auto v = wp.pushes[j].Figure(FigureNamed(name));
          ASSERT_TRUE(v.has_value()) << name << " of a steady push";
          values.push_back(*v);
        }
      }
      const FigureSummary all = SummariseValues(values);
      const Pooled& second = p.sessions[1].figures.at(k).at(w).pooled;
      ASSERT_TRUE(second.mean && second.sd) << name;
      EXPECT_NEAR(*second.mean, *all.mean, 1e-9 * std::fabs(*all.mean)) << name << w;
      EXPECT_NEAR(*second.sd, *all.sd, 1e-9 * std::fabs(*all.mean)) << name << w;
      EXPECT_EQ(p.sessions[1].figures.at(k).at(w).change, *second.mean - *first.mean);
    }
  }
  EXPECT_EQ(p.sessions[1].steady.at(0),
            saved[1].pushes.wheels[0].summary.steady + saved[2].pushes.wheels[0].summary.steady);

  const Result<ProgressFigures> bad = SessionProgressOf(list.value().rows, {"on_s"}, {});
  ASSERT_FALSE(bad.ok());
  EXPECT_NE(bad.problem().what.find("\"on_s\""), std::string::npos);
}

TEST(ProgressFigures, JudgedWithinUpToTheMdcAndBeyondIt) {
  struct Case {
    double reference, value;
    std::optional<double> mdc;
    Judgement judged;
  };
  const std::vector<Case> cases = {
      {100, 105, 5, Judgement::kWithin},       // on the upper edge
      {100, 95, 5, Judgement::kWithin},        // on the lower edge
      {100, 105.0001, 5, Judgement::kBeyond},  // just over
      {100, 94.9999, 5, Judgement::kBeyond},   // just under
      {10.0, 10.3, 0.3, Judgement::kWithin},   // 0.3 only as near as doubles get
      {10.0, 10.3, std::nullopt, Judgement::kNotJudged},
      {-2, -2, 0.1, Judgement::kWithin},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Judge(c.reference, c.value, c.mdc), c.judged) << c.reference << " " << c.value;
  }
}

TEST(ProgressFigures, SessionsFollowTheirFirstTrialsDates) {
  struct Trial {
    const char* stem;
    const char* session;
    const char* started;
    bool complete = true;
  };
  // Labels out of date order; one start in another offset; one session undated; the earliest
  // trials of no session or not complete, which are left out.
  const std::vector<Trial> trials = {{"RUN10", "10", "2026-12-09T09:00:00+09:00"},
                                     {"RUN2a", "2", "2026-12-08T02:30:00Z"},
                                     {"RUN2b", "2", "2026-12-08T08:00:00+09:00"},
                                     {"RUN9", "9", "2026-12-08T10:00:00+09:00"},
                                     {"RUNx", "x", "yesterday"},
                                     {"RUN1", "1", "2026-12-01T10:00:00-05:00"},
                                     {"RUN0", "", "2026-11-01T10:00:00Z"},
                                     {"RUN1k", "1", "2026-11-01T10:00:00Z", false}};
  std::vector<CatalogueRow> rows;
  for (const Trial& t : trials) {
    TrialEntry e;
    e.complete = t.complete;
    e.facts.stem = t.stem;
    e.facts.who = {"P01", t.session, "steady"};
    e.facts.started = t.started;
    e.summaries.at(0).steady = 3;
    e.summaries.at(0).push_frequency_per_min = 50;
    rows.push_back(TrialRow(e));
  }
  const Result<ProgressFigures> r = SessionProgressOf(rows, {"push_frequency_per_min"}, {});
  ASSERT_TRUE(r.ok());
  std::vector<std::string> order, started;
  for (const SessionProgress& s : r.value().sessions) {
    order.push_back(s.session);
    started.push_back(s.started);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"1", "2", "9", "10", "x"}));
  EXPECT_EQ(started.at(1), "2026-12-08T08:00:00+09:00");  // 23:00 UTC the day before
  EXPECT_EQ(r.value().sessions.at(1).trials, 2);
  EXPECT_EQ(r.value().sessions.at(1).steady.at(0), 6);
  EXPECT_EQ(r.value().trials, 6);
  EXPECT_EQ(r.value().leftOut,
            (std::vector<std::string>{"trial RUN0 has no session", "trial RUN1k is not complete"}));

  struct Instant {
    const char* text;
    std::optional<std::int64_t> seconds;
  };
  for (const Instant& i : std::vector<Instant>{{"1970-01-01T00:00:00Z", 0},
                                               {"1970-01-01T09:00:01+09:00", 1},
                                               {"2026-12-07T14:03:05.250-01:30", 1796657585},
                                               {"2026-02-30T00:00:00Z", std::nullopt},
                                               {"2026-12-07", std::nullopt},
                                               {"2026-12-07T14:03:05+9", std::nullopt}}) {
    EXPECT_EQ(InstantOf(i.text), i.seconds) << i.text;
  }
}

}  // namespace
}  // namespace velquor
