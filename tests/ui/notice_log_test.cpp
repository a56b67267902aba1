// The notice log keeps the latest notices within its bytes, however long the run, and its
// window shows exactly the kept ones, one line each, whether it was open all along or not.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "measure/ui/notice_line.h"
#include "measure/ui/notice_log.h"

namespace velquor::ui {
namespace {

TEST(NoticeLog, KeepsTheLatestNoticesWithinItsBytes) {
  int argc = 1;
  char name[] = "notice_log_test";
  char* argv[] = {name};
  QApplication app(argc, argv);
  for (const bool open : {false, true}) {
    NoticeLine line;
    NoticeLog log(&line, nullptr);
    if (open) log.show();
    // Far more than the log keeps; some notices hold a line break.
    const QString pad(150, QLatin1Char('x'));
    QString last;
    for (int k = 0; k < 3000; ++k) {
      last = QString("notice %1%2 ").arg(k).arg(k % 7 == 0 ? "\nsecond line" : "") + pad;
      log.Add(last);
    }
    const QStringList& kept = log.entries();
    EXPECT_LE(log.keptBytes(), NoticeLog::kKeptBytes) << open;
    EXPECT_GT(log.keptBytes(), NoticeLog::kKeptBytes * 9 / 10) << "the room is used";
    EXPECT_EQ(kept.back(), last);
    EXPECT_EQ(line.text(), last);
    if (!open) log.show();
    const auto* text = log.findChild<QPlainTextEdit*>("noticeLog");
    ASSERT_NE(text, nullptr);
    ASSERT_EQ(text->document()->blockCount(), kept.size()) << open;
    EXPECT_TRUE(text->document()->firstBlock().text().endsWith(
        QString(kept.front()).replace(QLatin1Char('\n'), QLatin1Char(' '))))
        << open << ": " << text->document()->firstBlock().text().left(40).toStdString();
    log.hide();
    EXPECT_TRUE(text->document()->isEmpty()) << "a closed log holds no text of its own";
  }
}

// A notice larger than the whole room is kept alone: the latest is never dropped.
TEST(NoticeLog, TheLatestNoticeIsAlwaysKept) {
  int argc = 1;
  char name[] = "notice_log_test";
  char* argv[] = {name};
  QApplication app(argc, argv);
  NoticeLine line;
  NoticeLog log(&line, nullptr);
  log.Add("short");
  const QString huge(static_cast<int>(NoticeLog::kKeptBytes), QLatin1Char('y'));
  log.Add(huge);
  ASSERT_EQ(log.entries().size(), 1);
  EXPECT_EQ(log.entries().front(), huge);
}

}  // namespace
}  // namespace velquor::ui
