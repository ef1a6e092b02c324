#include "core/script/ScriptWriter.h"

#include <QBuffer>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {
constexpr qsizetype chunkSize = 1 << 20;
// Progress is reported every this many lines, and at the end.
constexpr qsizetype progressStep = 4096;
} // namespace

bool ScriptWriter::write(QIODevice &device, const ScriptLines &lines, const Progress &progress)
{
    QByteArray chunk;
    chunk.reserve(chunkSize + 1024);
    const auto flush = [&] {
        const bool ok = device.write(chunk) == chunk.size();
        chunk.clear();
        return ok;
    };
    const qsizetype n = lines.size();
    for (qsizetype i = 0; i < n; ++i) {
        chunk.append(lines.view(i));
        chunk.append("\r\n", 2);
        if (chunk.size() >= chunkSize && !flush())
            return false;
        if (progress && (i + 1) % progressStep == 0)
            progress(i + 1);
    }
    if (!chunk.isEmpty() && !flush())
        return false;
    if (progress)
        progress(n);
    return true;
}

QByteArray ScriptWriter::toBytes(const ScriptLines &lines)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    write(buffer, lines);
    return bytes;
}

bool ScriptWriter::writeFile(const QString &path, const ScriptLines &lines, QString *error, const Progress &progress)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (QFileInfo(path).isDir())
        return fail(u"It is a folder, not a file."_s);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (!write(file, lines, progress)) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace vbu
