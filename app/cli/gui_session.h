// The graphics session that drawing pictures and reports needs, without a display: a
// QGuiApplication on the offscreen platform, made only when none is running yet.
#pragma once

#include <QGuiApplication>
#include <array>
#include <memory>
#include <string>

namespace velquor::cli {

class GuiSession {
 public:
  GuiSession();
  GuiSession(const GuiSession&) = delete;
  GuiSession& operator=(const GuiSession&) = delete;

 private:
  int argc_ = 1;
  std::string name_ = "velquor-cli";
  std::array<char*, 2> argv_{};
  std::unique_ptr<QGuiApplication> app_;
};

}  // namespace velquor::cli
