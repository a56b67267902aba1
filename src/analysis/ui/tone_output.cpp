#include "analysis/ui/tone_output.h"

#ifdef VELQUOR_HAVE_MULTIMEDIA
#include <QDir>
#include <QFile>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QUrl>
#include <cmath>
#include <cstdint>
#endif

namespace velquor::ui {

#ifdef VELQUOR_HAVE_MULTIMEDIA
namespace {

void PutLE(QByteArray& b, std::uint32_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) b.append(static_cast<char>((v >> (8 * k)) & 0xff));
}

// 120 ms of a 880 Hz tone, 16-bit mono at 22050 Hz, faded in and out, as a WAV file.
QByteArray ToneWav() {
  constexpr int kRate = 22050;
  constexpr int kSamples = kRate * 120 / 1000;
  QByteArray data;
  for (int i = 0; i < kSamples; ++i) {
    const double fade = std::min(1.0, std::min(i, kSamples - i) / (kRate * 0.01));
    const double v = 0.4 * fade * std::sin(2 * 3.14159265358979 * 880 * i / kRate);
    PutLE(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(v * 32767)), 2);
  }
  QByteArray wav("RIFF");
  PutLE(wav, static_cast<std::uint32_t>(36 + data.size()), 4);
  wav.append("WAVEfmt ");
  PutLE(wav, 16, 4);
  PutLE(wav, 1, 2);  // PCM
  PutLE(wav, 1, 2);  // mono
  PutLE(wav, kRate, 4);
  PutLE(wav, kRate * 2, 4);
  PutLE(wav, 2, 2);
  PutLE(wav, 16, 2);
  wav.append("data");
  PutLE(wav, static_cast<std::uint32_t>(data.size()), 4);
  return wav + data;
}

}  // namespace

// The sound device is opened at the first tone, not before: a program that never sounds one
// never touches it.
struct ToneOutput::Sound {
  QString path;
  std::unique_ptr<QSoundEffect> effect;
};

ToneOutput::ToneOutput() {
  const QString dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  const QString path = QDir(dir).filePath("velquor-tone.wav");
  QDir().mkpath(dir);
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(ToneWav()) < 0) {
    whyNot_ = "the tone cannot be prepared: " + path + ": " + f.errorString();
    return;
  }
  f.close();
  sound_ = std::make_unique<Sound>();
  sound_->path = path;
}
#else
struct ToneOutput::Sound {};

ToneOutput::ToneOutput()
    : whyNot_("tones are not available: this program was built without Qt Multimedia") {}
#endif

ToneOutput::~ToneOutput() = default;

bool ToneOutput::Available() const {
  return sound_ != nullptr;
}
QString ToneOutput::WhyNot() const {
  return whyNot_;
}

void ToneOutput::Play() {
#ifdef VELQUOR_HAVE_MULTIMEDIA
  if (!sound_) return;
  if (!sound_->effect) {
    sound_->effect = std::make_unique<QSoundEffect>();
    sound_->effect->setSource(QUrl::fromLocalFile(sound_->path));
  }
  sound_->effect->play();
#endif
}

}  // namespace velquor::ui
