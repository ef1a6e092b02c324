#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vbu::test {

// A file below tests/data.
QString dataPath(const QString &relative);
// The players' configs kept as test input.
QStringList corpusFiles();
// Where the built executables and the catalogue are.
QString binDir();
QByteArray readAll(const QString &path);
void writeAll(const QString &path, const QByteArray &bytes);

} // namespace vbu::test
