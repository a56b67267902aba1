#include "files/data_file_text.h"

#include <cmath>

#include "common/number_text.h"

namespace velquor {
namespace {

// The channel-0 power fluctuation column carries "ch0" (piece 9); no reader looks at labels.
constexpr std::string_view kSummaryHeader =
    "ファイル,日付,時間,プログラム,サンプリング時間(msec),"
    "サンプリング数,測定時間(sec),"
    "開始時間(sec),終了時間(sec),"
    "開始(time),終了(time),"
    "１ストロークの時間(sec),１ストロークの距離 (m),１ストロークの角度 (deg),"
    "最低速度 (m/s),平均速度 (m/s),最高速度 (m/s),速度変動率,"
    "最小トルクch0 (Nm),平均トルクch0 (Nm),最大トルクch0 (Nm),トルク変動率ch0,"
    "最小トルクch1 (Nm),平均トルクch1 (Nm),最大トルクch1 (Nm),トルク変動率ch1,"
    "最小出力ch0 (W),平均出力ch0 (W),最大出力ch0 (W),エネルギ変動率ch0,"
    "最小出力ch1 (W),平均出力ch1 (W),最大出力ch1 (W),エネルギ変動率ch1,"
    "最大回転角速度(deg/sec),最小回転角速度(deg/sec),回転速度幅(deg/sec),"
    "最大回転角度(deg),最小回転角(deg),回転角幅(deg),"
    "最大位置(mm),最小位置(mm),位置幅(mm),"
    "ノート";

constexpr std::string_view kSampleHeader =
    "i, Time(i),Encoder(0), Encoder(1),Volt(0), Volt(1),Torque(0), Torque(1),"
    "Angle_deg(0), Angle_deg(1),Distance(0), Distance(1), Distance_av,"
    "Speed(0), Speed(1), Speed_av,Power(0), Power(1),Beta_deg, Alpha_deg,x, y";

constexpr std::string_view kSampleUnits =
    "time, sec,pulse, pulse,V, V,Nm, Nm,deg, deg,m, m, m,m/s, m/s, m/s,W, W,deg/s, deg,m, m";

constexpr std::string_view kEol = "\r\n";

// Appends one field in Str-form (or plain form) followed by ",".
class Row {
 public:
  explicit Row(std::string& out) : out_(out) {}
  Row& Str(float v) { return Put(StrForm(v)); }
  Row& Str(double v) { return Put(StrForm(v)); }
  Row& Plain(float v) { return Put(PlainForm(v)); }
  Row& Text(std::string_view t) { return Put(t); }

 private:
  Row& Put(std::string_view t) {
    out_.append(t);
    out_.push_back(',');
    return *this;
  }
  std::string& out_;
};

void StrokeRow(std::string& out, std::string_view base_name, std::string_view note,
               const MeasurementRecord& rec, const StrokeResults& s, const SaveStamp& stamp,
               int k) {
  const auto ks = static_cast<std::size_t>(k);
  Row row(out);
  row.Text(base_name).Text(DateText(stamp)).Text(TimeText(stamp)).Text(rec.ProgramName);
  row.Str(rec.SampInterval).Str(rec.DataNum).Str(rec.MeasTime);
  row.Str(s.StrokeTime.at(ks)).Str(s.StrokeTime.at(ks + 1));
  row.Str(static_cast<double>(s.StrokeIdx.at(ks))).Str(static_cast<double>(s.StrokeIdx.at(ks + 1)));
  row.Str(s.StTime.at(ks)).Str(s.StDis.at(ks)).Str(s.StAngle.at(ks));
  row.Str(s.StSpeedMin.at(ks))
      .Str(s.StSpeedAv.at(ks))
      .Str(s.StSpeedMax.at(ks))
      .Str(s.StdSpeed.at(ks));
  for (std::size_t ch = 0; ch < 2; ++ch) {
    // Maximum torque and its fluctuation ratio are the two fields written in plain form.
    row.Str(s.StTqMin.at(ks).at(ch)).Str(s.StTqAv.at(ks).at(ch));
    row.Plain(s.StTqMax.at(ks).at(ch)).Plain(s.StdTq.at(ks).at(ch));
  }
  for (std::size_t ch = 0; ch < 2; ++ch) {
    row.Str(s.StPowerMin.at(ks).at(ch)).Str(s.StPowerAv.at(ks).at(ch));
    row.Str(s.StPowerMax.at(ks).at(ch)).Str(s.StdPower.at(ks).at(ch));
  }
  row.Str(s.StBetaMax.at(ks)).Str(s.StBetaMin.at(ks)).Str(s.StBetaDef.at(ks));
  row.Str(s.StAlphaMax.at(ks)).Str(s.StAlphaMin.at(ks)).Str(s.StAlphaDef.at(ks));
  // Sideways movement is held in metres and written in millimetres, as a single.
  for (float m : {s.StYMax.at(ks), s.StYMin.at(ks), s.StYDef.at(ks)}) {
    row.Str(static_cast<float>(static_cast<double>(m) * 1000.0));
  }
  out.append(note);
  out.append(kEol);
}

}  // namespace

std::string_view SummaryHeader() {
  return kSummaryHeader;
}

std::string SummaryFileText(std::string_view base_name, std::string_view note,
                            const MeasurementRecord& rec, const StrokeResults& strokes,
                            const SaveStamp& stamp) {
  std::string out(kSummaryHeader);
  out.append(kEol);
  for (int k = 1; k <= strokes.StrokeCount; ++k) {
    StrokeRow(out, base_name, note, rec, strokes, stamp, k);
  }
  return out;
}

std::string SampleFileText(const MeasurementRecord& rec, const DerivedSeries& s) {
  std::string out;
  const int n = static_cast<int>(rec.DataNum);
  out.reserve(static_cast<std::size_t>(n) * 240 + 256);
  out.append(kSampleHeader).append(kEol).append(kSampleUnits).append(kEol);
  const double step = rec.SampInterval / 1000.0;
  for (int i = 1; i <= n; ++i) {
    Row row(out);
    row.Str(static_cast<double>(i)).Str(step * i);
    row.Str(rec.Encoder(0, i)).Str(rec.Encoder(1, i));
    row.Str(rec.Volt(0, i)).Str(rec.Volt(1, i));
    row.Str(s.Torque(0, i)).Str(s.Torque(1, i));
    row.Str(s.Angle_deg(0, i)).Str(s.Angle_deg(1, i));
    row.Str(s.Distance(0, i)).Str(s.Distance(1, i)).Str(s.Distance(kDistanceAv, i));
    row.Str(s.Speed(0, i)).Str(s.Speed(1, i)).Str(s.Speed(kSpeedAv, i));
    row.Str(s.Power(0, i)).Str(s.Power(1, i));
    row.Str(s.Beta_deg(i)).Str(s.Alpha_deg(i));
    row.Str(s.x(i));
    out.append(StrForm(s.y(i)));  // the last field has no "," after it
    out.append(kEol);
  }
  return out;
}

}  // namespace velquor
