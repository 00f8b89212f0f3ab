// Files that tests write and read back whole.
#pragma once

#include <QByteArray>
#include <QString>

/// Writes `content` to `path`, replacing what was there; a failed write fails the running test.
void WriteFile(const QString &path, const QByteArray &content);
/// The whole content of `path`; empty when it cannot be read.
QByteArray ReadFile(const QString &path);
