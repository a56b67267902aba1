#include "report/ui/report_request.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <memory>

#include "report/ui/report_pdf.h"

namespace velquor::ui {
namespace {

using Notice = std::function<void(const QString&)>;

void Write(const std::shared_ptr<const ReportDocument>& doc, const QString& path, bool overwrite,
           const Notice& notice) {
  const Status s = WriteReportPdf(*doc, path.toStdString(), overwrite);
  if (s) {
    notice("Report written to " + path);
  } else {
    notice("The report was not written: " + QString::fromStdString(s.problem().Describe()));
  }
}

}  // namespace

void AskAndWriteReport(QWidget* parent, const QString& suggested, ReportDocument doc,
                       std::function<void(const QString&)> notice, JobRunner run) {
  auto shared = std::make_shared<const ReportDocument>(std::move(doc));
  auto* dialog = new QFileDialog(parent, "Report", suggested, "PDF report (*.pdf)");
  dialog->setObjectName("reportDialog");
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setDefaultSuffix("pdf");
  // The dialog's own question would wait in a loop of its own; this one is asked without.
  dialog->setOption(QFileDialog::DontConfirmOverwrite);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(dialog, &QFileDialog::fileSelected, parent,
                   [parent, shared, notice, run](const QString& path) {
                     if (!QFileInfo::exists(path)) {
                       run([=] { Write(shared, path, false, notice); });
                       return;
                     }
                     auto* ask = new QMessageBox(QMessageBox::Question, "Report",
                                                 path + " exists. Replace it with the new report?",
                                                 QMessageBox::Yes | QMessageBox::No, parent);
                     ask->setObjectName("reportReplace");
                     ask->setAttribute(Qt::WA_DeleteOnClose);
                     QObject::connect(
                         ask, &QMessageBox::finished, parent,
                         [shared, path, notice, run](int answer) {
                           if (answer == QMessageBox::Yes) {
                             run([=] { Write(shared, path, true, notice); });
                           } else {
                             notice("The report was not written: " + path + " exists and was kept");
                           }
                         });
                     ask->open();
                   });
  dialog->open();
}

}  // namespace velquor::ui
