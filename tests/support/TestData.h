#pragma once

#include <QByteArray>
#include <QObject>
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
// The bytes with every line ended by CR LF, where CR, LF and CR LF each end a line and a last
// line without an end gets one: a file as Save writes its lines back.
QByteArray withCrLf(QByteArray bytes);
void writeAll(const QString &path, const QByteArray &bytes);
// Empties the stored recent files, so a test starts without any.
void clearRecentFiles();

// A control by its name, as the tests find them.
template<typename T> T *child(const QObject *parent, const QString &name)
{
    return parent->findChild<T *>(name);
}

} // namespace vbu::test
