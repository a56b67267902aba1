#include "analysis/analyse_record.h"

#include "analysis/kinematics.h"
#include "analysis/strokes.h"

namespace velquor {

std::optional<AnalysisStop> AnalyseRecord(const MeasurementRecord& rec, const Calibration& cal,
                                          const AnalysisChoice& choice, RecordAnalysis& out) {
  out.pushes.reset();
  if (Status s = CalcKinematics(rec, cal, choice.shift, out.series, out.kin); !s) {
    return AnalysisStop{AnalysisStep::kKinematics, s.problem()};
  }
  if (choice.strokes) {
    if (Status s = CalcStrokes(*choice.strokes, rec, out.series, out.kin, out.strokes); !s) {
      return AnalysisStop{AnalysisStep::kStrokes, s.problem()};
    }
  }
  if (choice.pushes) {
    Result<PushAnalysis> p = AnalysePushes(out.series, rec, *choice.pushes);
    if (!p) return AnalysisStop{AnalysisStep::kPushes, p.problem()};
    out.pushes = std::move(p.value());
  }
  return std::nullopt;
}

}  // namespace velquor
