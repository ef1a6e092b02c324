#include "core/script/ScriptWriter.h"

#include "core/script/FileReplacer.h"

#include <cstring>

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

// Hands the lines with their CR LF to put in large blocks: a million small writes would cost more
// than the disk.
bool writeBlocks(const ScriptLines &lines, const std::function<bool(QByteArrayView)> &put,
                 const ScriptWriter::Progress &progress)
{
    QByteArray chunk(chunkSize, Qt::Uninitialized);
    char *const begin = chunk.data();
    char *at = begin;
    const auto flush = [&] {
        const QByteArrayView block(begin, at - begin);
        at = begin;
        return put(block);
    };
    const qsizetype n = lines.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QByteArrayView line = lines.view(i);
        if (line.size() + 2 > begin + chunkSize - at && !flush())
            return false;
        if (line.size() + 2 > chunkSize) {
            // A line longer than a block goes out on its own.
            if (!put(line) || !put("\r\n"))
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

qsizetype byteCount(const ScriptLines &lines)
{
    const qsizetype n = lines.size();
    qsizetype total = 0;
    for (qsizetype i = 0; i < n; ++i)
        total += lines.view(i).size() + 2;
    return total;
}

} // namespace

QByteArray ScriptWriter::toBytes(const ScriptLines &lines)
{
    QByteArray bytes(byteCount(lines), Qt::Uninitialized);
    char *at = bytes.data();
    for (qsizetype i = 0, n = lines.size(); i < n; ++i)
        at = appendLine(at, lines.view(i));
    return bytes;
}

bool ScriptWriter::writeFile(const QString &path, const ScriptLines &lines, QString *error, const Progress &progress)
{
    FileReplacer file(path);
    const auto put = [&file](QByteArrayView block) { return file.write(block); };
    if (file.begin(byteCount(lines)) && writeBlocks(lines, put, progress) && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace vbu
