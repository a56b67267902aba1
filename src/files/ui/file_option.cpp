#include "files/ui/file_option.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "files/data_files.h"
#include "files/hand_over_text.h"
#include "files/naming.h"
#include "files/naming_rules.h"
#include "files/save_stamp.h"
#include "files/ui/save_worker.h"

namespace velquor::ui {

Form4::Form4(Workspace& ws, SaveWorker& saver, QWidget* parent)
    : FormSurface(7440, 6600, parent), ws_(ws), saver_(saver) {
  setObjectName("Form4");
  setWindowFlag(Qt::Window);
  setWindowTitle("File Option");
  // Which measurement waits to be saved, and which set Save writes it with.
  lblWaiting = Label(this, QString(), 120, 60, 7200, 540);
  lblWaiting->setObjectName("lblWaiting");
  lblWaiting->setWordWrap(true);

  QGroupBox* autoFrame = Frame(this, "Frame1", "Auto Save", 120, 720, 7200, 2400);
  const SetBoxes a = BuildSet(autoFrame, QString(), ws_.naming.Auto);
  txtFileDir = a.dir;
  txtFileHead = a.head;
  txtFileOrg = a.org;
  txtFileDat = a.dat;
  txtFileCsv = a.csv;
  txtNote = a.note;

  QGroupBox* manFrame = Frame(this, "Frame2", "Manual Save", 120, 3240, 7200, 2760);
  const SetBoxes m = BuildSet(manFrame, "_Man", ws_.naming.Manual);
  txtFileDir_Man = m.dir;
  txtFileHead_Man = m.head;
  txtFileOrg_Man = m.org;
  txtFileDat_Man = m.dat;
  txtFileCsv_Man = m.csv;
  txtNote_Man = m.note;
  Command2 = Button(manFrame, "Command2", "Save", 4440, 2280, 1260, 360);
  Command3 = Button(manFrame, "Command3", "Cancel", 5820, 2280, 1260, 360);

  Command1 = Button(this, "Command1", "Close Screen", 5820, 6120, 1500, 360);
  lblDirHint = Label(this, "An empty Directry means the working directory.", 120, 6150, 5580, 300);
  lblDirHint->setObjectName("lblDirHint");

  connect(Command2, &QPushButton::clicked, this, &Form4::SaveClicked);
  connect(Command3, &QPushButton::clicked, this, &Form4::CancelClicked);
  connect(Command1, &QPushButton::clicked, this, &QWidget::hide);
}

Form4::SetBoxes Form4::BuildSet(QWidget* frame, const QString& suffix, NamingSet& set) {
  SetBoxes b{};
  Label(frame, "Directry", 120, 330, 1080, 300);
  b.dir = Edit(frame, "txtFileDir" + suffix, ToQ(set.Dir), 1260, 300, 5820, 330);
  Label(frame, "File Name", 120, 720, 1080, 300);
  b.head = Edit(frame, "txtFileHead" + suffix, ToQ(set.Head), 1260, 690, 2400, 330);
  b.org = Edit(frame, "txtFileOrg" + suffix, ToQ(set.Org), 3720, 690, 1500, 330);
  Label(frame, "Data File", 120, 1110, 1080, 300);
  b.dat = Edit(frame, "txtFileDat" + suffix, ToQ(set.DatDisplay), 1260, 1080, 5820, 330);
  Label(frame, "CSV File", 120, 1500, 1080, 300);
  b.csv = Edit(frame, "txtFileCsv" + suffix, ToQ(set.CsvDisplay), 1260, 1470, 5820, 330);
  Label(frame, "Note", 120, 1890, 1080, 300);
  b.note = Edit(frame, "txtNote" + suffix, ToQ(set.Note), 1260, 1860, 5820, 330);
  b.dat->setReadOnly(true);
  b.csv->setReadOnly(true);
  b.dir->setPlaceholderText("working directory (beside Velquor.ini)");

  // Each naming box keeps its text in the workspace; the directory, header and number
  // boxes recompose the names at once, the note waits for the next save (it is only marked).
  auto keep = [this](QLineEdit* box, std::string& text, bool recompose) {
    std::string* target = &text;
    connect(box, &QLineEdit::textChanged, this, [this, target, recompose](const QString& t) {
      *target = FromQ(t);
      if (recompose) {
        MakeFileNames();
      } else {
        MarkTexts();
      }
    });
  };
  keep(b.dir, set.Dir, true);
  keep(b.head, set.Head, true);
  keep(b.org, set.Org, true);
  keep(b.note, set.Note, false);
  return b;
}

void Form4::ShowPaths() {
  SetTextIfDifferent(txtFileDat, ShownPath(ws_.naming.Auto.DatDisplay));
  SetTextIfDifferent(txtFileCsv, ShownPath(ws_.naming.Auto.CsvDisplay));
  SetTextIfDifferent(txtFileDat_Man, ShownPath(ws_.naming.Manual.DatDisplay));
  SetTextIfDifferent(txtFileCsv_Man, ShownPath(ws_.naming.Manual.CsvDisplay));
}

void Form4::MakeFileNames() {
  velquor::MakeFileNames(ws_.naming, ws_.record.SaveFlag);
  ShowPaths();
  MarkTexts();
  ShowContext();
}

void Form4::ShowContext() {
  const int flag = ws_.record.SaveFlag;
  const NamingSet& set = flag == 1 ? ws_.naming.Manual : ws_.naming.Auto;
  const QString saveSet = ToQ(SaveSetText(flag, ComposeNames(set.Dir, set.Head, set.Org)));
  lblWaiting->setText(waiting_.isEmpty() ? saveSet : "Waiting: " + waiting_ + "\n" + saveSet);
}

void Form4::ShowWaiting(const QString& waiting) {
  waiting_ = waiting;
  // The number offered is one whose pair is free, so the first Save asks nothing.
  const bool manual = ws_.record.SaveFlag == 1;
  NamingSet& set = manual ? ws_.naming.Manual : ws_.naming.Auto;
  if (auto free = FreeNumber(set); free.ok() && free.value() != set.Org) {
    SetTextIfDifferent(manual ? txtFileOrg_Man : txtFileOrg, ToQ(free.value()));
  }
  MakeFileNames();
  ShowFileOption();
  QLineEdit* name = manual ? txtFileHead_Man : txtFileHead;
  name->setFocus(Qt::OtherFocusReason);
  name->selectAll();
}

// A header, number or note that a save would refuse is marked as an impossible condition;
// the save says why.
void Form4::MarkTexts() {
  using Rule = std::optional<std::string> (*)(std::string_view);
  const std::pair<QLineEdit*, Rule> boxes[] = {
      {txtFileHead, HeaderFault},     {txtFileOrg, NumberFault},     {txtNote, NoteFault},
      {txtFileHead_Man, HeaderFault}, {txtFileOrg_Man, NumberFault}, {txtNote_Man, NoteFault},
  };
  for (const auto& [box, rule] : boxes) {
    if (box != nullptr) MarkWrongBox(box, rule(FromQ(box->text())).has_value());
  }
}

void Form4::AdvanceFileNumber() {
  velquor::AdvanceFileNumber(ws_.naming, ws_.record.SaveFlag);
  const bool manual = ws_.record.SaveFlag == 1;
  QLineEdit* box = manual ? txtFileOrg_Man : txtFileOrg;
  // The box's own change handler recomposes the names from the new number.
  SetTextIfDifferent(box, ToQ(manual ? ws_.naming.Manual.Org : ws_.naming.Auto.Org));
  ShowPaths();
}

void Form4::ShowFileOption() {
  ws_.record.StopFlag = true;
  ShowScreen(this);
}

void Form4::BringMainToFront() {
  if (QWidget* main = parentWidget()) {
    main->window()->raise();
    main->window()->activateWindow();
  }
}

QMessageBox* Form4::PendingQuestion() const {
  return question_.data();
}

bool Form4::SaveAllowed() {
  if (!saveCheck_) return true;
  const QString why = saveCheck_();
  if (!why.isEmpty()) emit notice("The measurement was not saved: " + why);
  return why.isEmpty();
}

void Form4::SaveClicked() {
  if (saving_) return;  // the button is greyed meanwhile; a key press may still get here
  if (question_) {
    question_->raise();
    return;
  }
  if (!SaveAllowed()) return;
  MakeFileNames();
  const ComposedNames names{ws_.naming.BaseName, ws_.naming.DatFilePath, ws_.naming.CsvFilePath};
  const NamingSet& set = ws_.record.SaveFlag == 1 ? ws_.naming.Manual : ws_.naming.Auto;
  const bool refused = StemFault(names.BaseName) || NameFault(set) || NoteFault(set.Note);
  auto taken = PairTaken(names);
  if (taken && taken.value() && !refused) {
    AskBeforeReplacing(names);
    return;
  }
  // A name that cannot be examined or saved under, or a note the row cannot hold, is
  // reported by the save itself.
  SaveNow(WhenTaken::kRefuse);
}

void Form4::AskBeforeReplacing(const ComposedNames& names) {
  question_ = new QMessageBox(
      QMessageBox::Question, "File Option",
      ToQ(names.BaseName) + " exists already:\n" + ShownPath(names.DatFilePath) + "\n" +
          ShownPath(names.CsvFilePath) + "\n\nReplace it with the measurement in memory?",
      QMessageBox::Yes | QMessageBox::No, this);
  question_->setDefaultButton(QMessageBox::No);
  question_->setWindowModality(Qt::WindowModal);
  question_->setAttribute(Qt::WA_DeleteOnClose);
  const std::string asked = names.DatFilePath;
  // The answer comes through the event loop, which goes on serving a running measurement.
  connect(question_, &QMessageBox::finished, this, [this, asked](int answer) {
    question_ = nullptr;
    if (answer != QMessageBox::Yes) {
      emit notice("Not saved: " + ShownPath(asked) +
                  " was kept; change the name or press Save again");
      return;
    }
    MakeFileNames();
    if (ws_.naming.DatFilePath != asked) {
      SaveClicked();  // the name was edited meanwhile: the question is for the new one
      return;
    }
    if (SaveAllowed()) SaveNow(WhenTaken::kReplace);
  });
  question_->open();
}

void Form4::SaveNow(WhenTaken when_taken) {
  // The files are composed from copies, so the next run may go on while they are written.
  MakeFileNames();
  const int flag = ws_.record.SaveFlag;
  SaveJob job{ws_.naming,
              flag,
              std::make_shared<const MeasurementRecord>(ws_.record),
              std::make_shared<const DerivedSeries>(ws_.series),
              ws_.strokes,
              CurrentStamp(),
              when_taken};
  saving_ = true;
  Command2->setEnabled(false);
  saver_.Save(std::move(job), [this, flag](const Result<PairSaved>& saved, const FileNaming&) {
    Saved(saved, flag);
  });
}

void Form4::Saved(const Result<PairSaved>& saved, int save_flag) {
  saving_ = false;
  Command2->setEnabled(true);
  if (!saved) {
    // The screen stays up, so the directory or name can be corrected and Save pressed again.
    emit notice("The measurement was not saved: " + ToQ(saved.problem().Describe()));
    return;
  }
  emit notice(ToQ(saved.value().Describe()));
  for (const Problem& p : saved.value().notices) emit notice(ToQ(p.Describe()));
  waiting_.clear();
  ShowContext();
  // The automatic set's number moves on as after an automatic save; the manual one moved on
  // when the screen was brought up.
  if (save_flag == 0) {
    const int current = ws_.record.SaveFlag;
    ws_.record.SaveFlag = 0;
    AdvanceFileNumber();
    ws_.record.SaveFlag = current;
  }
  emit numberAdvanced();
  BringMainToFront();
  hide();
}

void Form4::CancelClicked() {
  BringMainToFront();
  hide();
}

}  // namespace velquor::ui
