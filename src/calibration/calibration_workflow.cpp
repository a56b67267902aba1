#include "calibration/calibration_workflow.h"

#include "calibration/fit.h"
#include "common/path_map.h"
#include "common/shift_jis.h"
#include "common/text_file.h"
#include "files/naming.h"

namespace velquor {

std::string DatedCopyPath(std::string_view txt_file_dir, const SaveStamp& stamp) {
  return InDirectory(txt_file_dir, CopyStampText(stamp) + ".clb");
}

CalibrationSave SaveCalibration(const Calibration& cal, std::string_view txt_file_dir,
                                const SaveStamp& stamp, const std::string& working_path) {
  CalibrationSave out;
  out.copyPath = DatedCopyPath(txt_file_dir, stamp);
  CalibrationFileText file = CalibrationText(cal);
  for (Problem& p : file.notices) p.file = working_path;
  out.notices = std::move(file.notices);
  auto bytes = Utf8ToShiftJis(file.text);
  if (!bytes) {
    out.working = Problem{working_path, 0, 0, "cannot be saved: " + bytes.problem().what};
    out.copy = Problem{out.copyPath, 0, 0, "cannot be saved: " + bytes.problem().what};
    return out;
  }
  if (Status s = WriteFileAtomic(ToNativePath(working_path), bytes.value()); !s) {
    out.working = Problem{working_path, 0, 0, s.problem().what};
  }
  if (Status s = WriteFileAtomic(ToNativePath(out.copyPath), bytes.value()); !s) {
    out.copy = Problem{out.copyPath, 0, 0,
                       s.problem().what + "; the dated copy was not made" +
                           (out.working.ok() ? ", the working file is saved" : "")};
  }
  return out;
}

Result<FitProposal> ProposeFit(const Calibration& cal) {
  auto fit = FitCalibration(cal);
  if (!fit) return fit.problem();
  FitReview review = ReviewFit(fit.value(), cal);
  return FitProposal{std::move(fit.value()), std::move(review)};
}

CalibrationSave AdoptFit(const CalibrationFit& fit, Calibration& cal, std::string_view txt_file_dir,
                         const SaveStamp& stamp, const std::string& working_path) {
  ApplyFit(fit, cal);
  CalibrationSave out = SaveCalibration(cal, txt_file_dir, stamp, working_path);
  if (out.working.ok()) {
    NoteSource(working_path, cal);
  } else if (out.copy.ok()) {
    NoteSource(out.copyPath, cal);
  } else {
    cal.file.clear();
  }
  cal.date = IsoStampText(stamp);
  return out;
}

}  // namespace velquor
