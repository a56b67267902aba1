// Result boxes bound to their control names once, when a screen is built: a name that finds
// no box stops the program at start-up instead of leaving that box empty on every analysis.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "analysis/result_texts.h"

class QLineEdit;
class QWidget;

namespace velquor::ui {

class ResultBoxes {
 public:
  // The names of `layout` that find no QLineEdit of that objectName under `root`.
  static std::vector<std::string> Unfound(const QWidget& root, const NamedTexts& layout);

  // Binds every name of `layout` to its box under `root`; a name that finds none is fatal.
  void Bind(const QWidget& root, const NamedTexts& layout);
  // Shows each text in the box bound to its name; a name never bound throws std::out_of_range.
  void Fill(const NamedTexts& texts) const;

 private:
  std::map<std::string, QLineEdit*> boxes_;
};

}  // namespace velquor::ui
