// A short tone for a push outside its band, through Qt Multimedia where the program was built
// with it; without it the tone is not available and says so.
#pragma once

#include <QString>
#include <memory>

namespace velquor::ui {

class ToneOutput {
 public:
  ToneOutput();
  ~ToneOutput();
  ToneOutput(const ToneOutput&) = delete;
  ToneOutput& operator=(const ToneOutput&) = delete;

  // Whether a tone can be played, and why not when it cannot.
  bool Available() const;
  QString WhyNot() const;
  void Play();

 private:
  struct Sound;
  std::unique_ptr<Sound> sound_;
  QString whyNot_;
};

}  // namespace velquor::ui
