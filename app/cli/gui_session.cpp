#include "app/cli/gui_session.h"

#include <cstdlib>

namespace velquor::cli {

GuiSession::GuiSession() {
  if (QGuiApplication::instance() != nullptr) return;
  argv_ = {name_.data(), nullptr};
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  app_ = std::make_unique<QGuiApplication>(argc_, argv_.data());
}

}  // namespace velquor::cli
