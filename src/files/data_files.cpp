#include "files/data_files.h"

#include <cmath>
#include <filesystem>
#include <optional>

#include "common/number_text.h"
#include "common/path_map.h"
#include "common/shift_jis.h"
#include "common/text_file.h"
#include "files/data_file_text.h"

namespace velquor {
namespace {

Result<std::string> Encode(const std::string& path, const std::string& utf8) {
  auto bytes = Utf8ToShiftJis(utf8);
  if (!bytes) return Problem{path, 0, 0, "cannot be saved: " + bytes.problem().what};
  return bytes;
}

std::optional<std::string> CheckSavable(const MeasurementRecord& rec, const StrokeResults& s) {
  const double n = rec.DataNum;
  if (!std::isfinite(n) || n != std::floor(n) || n < 0 || n > kMaxSamples) {
    return "the measurement holds Data Number " + PlainForm(rec.DataNum) +
           ", which is not a whole number from 0 to 2000";
  }
  if (s.StrokeCount < 0 || s.StrokeCount > 3) {
    return "the stroke count " + std::to_string(s.StrokeCount) + " is outside 0..3";
  }
  return std::nullopt;
}

}  // namespace

Status WriteDataFiles(const ComposedNames& names, std::string_view note,
                      const MeasurementRecord& rec, const DerivedSeries& series,
                      const StrokeResults& strokes, const SaveStamp& stamp) {
  if (auto why = CheckSavable(rec, strokes)) return Problem{names.DatFilePath, 0, 0, *why};
  auto dat = Encode(names.DatFilePath, SummaryFileText(names.BaseName, note, rec, strokes, stamp));
  if (!dat) return dat.problem();
  auto csv = Encode(names.CsvFilePath, SampleFileText(rec, series));
  if (!csv) return csv.problem();

  const std::string dat_native = ToNativePath(names.DatFilePath);
  const std::string csv_native = ToNativePath(names.CsvFilePath);
  // What the summary file held before, so that a failed per-sample file can undo it.
  std::optional<std::string> previous;
  if (std::filesystem::exists(dat_native)) {
    auto old = ReadFileBytes(dat_native);
    if (old) previous = std::move(old.value());
  }
  if (Status s = WriteFileAtomic(dat_native, dat.value()); !s) {
    return Problem{names.DatFilePath, 0, 0, s.problem().what};
  }
  if (Status s = WriteFileAtomic(csv_native, csv.value()); !s) {
    std::string what = s.problem().what;
    std::error_code err;
    if (previous) {
      if (Status back = WriteFileAtomic(dat_native, *previous); !back) {
        what += "; the summary file could not be put back either: " + back.problem().what;
      }
    } else if (!std::filesystem::remove(dat_native, err) && err) {
      what += "; the new summary file could not be removed: " + err.message();
    }
    return Problem{names.CsvFilePath, 0, 0, what};
  }
  return Status::Ok();
}

Status SaveDataFiles(FileNaming& naming, int save_flag, const MeasurementRecord& rec,
                     const DerivedSeries& series, const StrokeResults& strokes,
                     const SaveStamp& stamp) {
  MakeFileNames(naming, save_flag);
  ComposedNames names{naming.BaseName, naming.DatFilePath, naming.CsvFilePath};
  return WriteDataFiles(names, naming.NoteText, rec, series, strokes, stamp);
}

}  // namespace velquor
