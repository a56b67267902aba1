#include "analysis/ui/result_boxes.h"

#include <QLineEdit>
#include <QWidget>

#include "ui_kit/form_kit.h"

namespace velquor::ui {

std::vector<std::string> ResultBoxes::Unfound(const QWidget& root, const NamedTexts& layout) {
  std::vector<std::string> out;
  for (const auto& [name, text] : layout) {
    if (root.findChild<QLineEdit*>(ToQ(name)) == nullptr) out.push_back(name);
  }
  return out;
}

void ResultBoxes::Bind(const QWidget& root, const NamedTexts& layout) {
  for (const auto& [name, text] : layout) {
    QLineEdit* box = root.findChild<QLineEdit*>(ToQ(name));
    if (box == nullptr)
      qFatal("%s has no result box named %s", qPrintable(root.objectName()), name.c_str());
    boxes_[name] = box;
  }
}

void ResultBoxes::Fill(const NamedTexts& texts) const {
  for (const auto& [name, text] : texts) boxes_.at(name)->setText(ToQ(text));
}

}  // namespace velquor::ui
