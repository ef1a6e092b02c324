#include "core/script/ScriptWriter.h"

#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

#include <cstring>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {
constexpr qsizetype chunkSize = 1 << 20;
// Progress is reported every this many lines, and at the end.
constexpr qsizetype progressStep = 4096;

// Puts the line and its CR LF at to; returns the end.
char *appendLine(char *to, QByteArrayView line)
{
    if (!line.isEmpty()) // an empty view may have no data pointer at all
        std::memcpy(to, line.data(), size_t(line.size()));
    to += line.size();
    *to++ = '\r';
    *to++ = '\n';
    return to;
}
} // namespace

bool ScriptWriter::write(QIODevice &device, const ScriptLines &lines, const Progress &progress)
{
    // Lines are gathered into large blocks: a million small writes would cost more than the disk.
    QByteArray chunk(chunkSize, Qt::Uninitialized);
    char *const begin = chunk.data();
    char *at = begin;
    const auto flush = [&] {
        const qint64 length = at - begin;
        at = begin;
        return device.write(begin, length) == length;
    };
    const qsizetype n = lines.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QByteArrayView line = lines.view(i);
        if (line.size() + 2 > begin + chunkSize - at && !flush())
            return false;
        if (line.size() + 2 > chunkSize) {
            // A line longer than a block goes out on its own.
            if (device.write(line.data(), line.size()) != line.size() || device.write("\r\n", 2) != 2)
                return false;
        } else {
            at = appendLine(at, line);
        }
        if (progress && (i + 1) % progressStep == 0)
            progress(i + 1);
    }
    if (at != begin && !flush())
        return false;
    if (progress)
        progress(n);
    return true;
}

QByteArray ScriptWriter::toBytes(const ScriptLines &lines)
{
    const qsizetype n = lines.size();
    qsizetype total = 0;
    for (qsizetype i = 0; i < n; ++i)
        total += lines.view(i).size() + 2;
    QByteArray bytes(total, Qt::Uninitialized);
    char *at = bytes.data();
    for (qsizetype i = 0; i < n; ++i)
        at = appendLine(at, lines.view(i));
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
    // The new content goes to a file beside the old one and replaces it only once complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (!write(file, lines, progress)) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    // What is still buffered must reach the disk here: a failed last flush inside commit()
    // goes unnoticed by QSaveFile, which would then put a cut-short file in the old one's place.
    if (!file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace vbu
