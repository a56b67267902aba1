// The File Option screen: the automatic and the manual set of directory, header, number and
// note, the paths composed from them, saving a measurement and the manual-save hand-over.
#pragma once

#include <QPointer>
#include <QString>
#include <functional>

#include "common/result.h"
#include "files/data_files.h"
#include "ui_kit/form_kit.h"
#include "workspace/workspace.h"

class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;

namespace velquor::ui {

class SaveWorker;

class Form4 : public FormSurface {
  Q_OBJECT

 public:
  // Saves are written by `saver`, in turn with the automatic ones.
  Form4(Workspace& ws, SaveWorker& saver, QWidget* parent = nullptr);

  // Recomposes both sets from the boxes, shows the four paths, and makes the set chosen by
  // SaveFlag current.
  void MakeFileNames();
  // The number box of the current set goes up by one.
  void AdvanceFileNumber();
  // Ends the measurement loop at its next pass and brings the screen up for a manual save.
  void ShowFileOption();
  // The same for a measurement handed over or kept after a failed save: the screen says
  // which measurement waits (`waiting`) and which set Save uses, moves that set's number to
  // the next free one and puts the focus on its file name.
  void ShowWaiting(const QString& waiting);
  // Says why the measurement in memory cannot be saved now (its record only partly taken),
  // or nothing when it can; "Save" asks it first.
  using SaveCheck = std::function<QString()>;
  void SetSaveCheck(SaveCheck check) { saveCheck_ = std::move(check); }

  // "Save": a taken name is replaced only when the operator answers Yes to the question,
  // which waits without holding up anything else; No keeps the old pair and the screen.
  // With SaveFlag 0 the number then advances as after an automatic save. The files are
  // written on the save worker; Save waits, greyed, until they are.
  void SaveClicked();
  bool Saving() const { return saving_; }
  void CancelClicked();

  QLineEdit* txtFileDir = nullptr;
  QLineEdit* txtFileHead = nullptr;
  QLineEdit* txtFileOrg = nullptr;
  QLineEdit* txtFileDat = nullptr;
  QLineEdit* txtFileCsv = nullptr;
  QLineEdit* txtNote = nullptr;
  QLineEdit* txtFileDir_Man = nullptr;
  QLineEdit* txtFileHead_Man = nullptr;
  QLineEdit* txtFileOrg_Man = nullptr;
  QLineEdit* txtFileDat_Man = nullptr;
  QLineEdit* txtFileCsv_Man = nullptr;
  QLineEdit* txtNote_Man = nullptr;
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;
  QPushButton* Command3 = nullptr;
  QLabel* lblDirHint = nullptr;
  QLabel* lblWaiting = nullptr;  // what waits to be saved and the set Save uses

  // The replace question while it waits for an answer, else null.
  QMessageBox* PendingQuestion() const;

 signals:
  void notice(const QString& text);
  // A save advanced a number: the settings should be written so it survives a crash.
  void numberAdvanced();

 private:
  struct SetBoxes {
    QLineEdit* dir;
    QLineEdit* head;
    QLineEdit* org;
    QLineEdit* dat;
    QLineEdit* csv;
    QLineEdit* note;
  };
  SetBoxes BuildSet(QWidget* frame, const QString& suffix, NamingSet& set);
  void ShowPaths();
  void ShowContext();
  void MarkTexts();
  void BringMainToFront();
  bool SaveAllowed();
  void AskBeforeReplacing(const ComposedNames& names);
  void SaveNow(WhenTaken when_taken);
  void Saved(const Result<PairSaved>& saved, int save_flag);

  Workspace& ws_;
  SaveWorker& saver_;
  bool saving_ = false;
  QString waiting_;  // the measurement waiting to be saved, or empty
  SaveCheck saveCheck_;
  QPointer<QMessageBox> question_;
};

}  // namespace velquor::ui
