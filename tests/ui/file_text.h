// Whole files read and written by the desktop program's tests: a file's bytes (empty when it
// cannot be read), a file written from bytes, and the lines of a CRLF file.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtTest>

namespace velquor::testing {

inline QByteArray ReadText(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteText(const QString& path, const QByteArray& text) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(text);
}

// The CRLF-ended lines of the file, or -1 when it cannot be read.
inline int LineCount(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  return static_cast<int>(f.readAll().count("\r\n"));
}

}  // namespace velquor::testing
