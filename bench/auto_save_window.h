// The main window as the measuring benchmarks run it: started and shown, strokes judged from
// 0 s, Auto Save on into the working directory's "data" folder from RUN0000001 on.
#pragma once

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>

#include "analysis/ui/calc_results.h"
#include "files/ui/file_option.h"
#include "measure/ui/main_window.h"

namespace velquor::bench {

inline void StartAutoSaving(ui::Form1& window) {
  window.StartUp();
  window.show();
  window.CalcResults().txtStartPosCond->setText("0");
  window.FileOption().txtFileDir->setText(QDir::current().filePath("data"));
  window.FileOption().txtFileHead->setText("RUN");
  window.FileOption().txtFileOrg->setText("1");
  window.chkAutoDataSave->setChecked(true);
}

}  // namespace velquor::bench
