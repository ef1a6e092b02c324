#include "core/script/ScriptWriter.h"

#include "core/script/FileReplacer.h"

#include <cstring>

namespace vbu {

namespace {
// Large enough that writes cost little, small enough that its pages cost little to touch.
constexpr qsizetype chunkSize = 1 << 18;
// Progress is reported every this many lines, and at the end.
constexpr qsizetype progressStep = 4096;

// Puts the line and its end at to; returns the end.
char *appendLine(char *to, QByteArrayView line, QByteArrayView lineEnd)
{
    if (!line.isEmpty()) // an empty view may have no data pointer at all
        std::memcpy(to, line.data(), size_t(line.size()));
    to += line.size();
    std::memcpy(to, lineEnd.data(), size_t(lineEnd.size()));
    return to + lineEnd.size();
}

qsizetype byteCount(const ScriptLines &lines)
{
    qsizetype total = 0;
    lines.forEach([&total](qsizetype, QByteArrayView line) { total += line.size() + 2; });
    return total;
}

} // namespace

bool ScriptWriter::writeBlocks(const ScriptLines &lines, QByteArrayView lineEnd, const Put &put,
                               const Progress &progress)
{
    QByteArray chunk(chunkSize, Qt::Uninitialized);
    char *const begin = chunk.data();
    char *at = begin;
    bool ok = true;
    const auto flush = [&] {
        const QByteArrayView block(begin, at - begin);
        at = begin;
        ok = put(block);
        return ok;
    };
    const qsizetype ends = lineEnd.size();
    lines.forEach([&](qsizetype i, QByteArrayView line) {
        if (!ok || (line.size() + ends > begin + chunkSize - at && !flush()))
            return;
        if (line.size() + ends > chunkSize)
            ok = put(line) && put(lineEnd); // a line longer than a block goes out on its own
        else
            at = appendLine(at, line, lineEnd);
        if (progress && (i + 1) % progressStep == 0)
            progress(i + 1);
    });
    if (!ok || (at != begin && !flush()))
        return false;
    if (progress)
        progress(lines.size());
    return true;
}

QByteArray ScriptWriter::toBytes(const ScriptLines &lines)
{
    QByteArray bytes(byteCount(lines), Qt::Uninitialized);
    char *at = bytes.data();
    lines.forEach([&at](qsizetype, QByteArrayView line) { at = appendLine(at, line, "\r\n"); });
    return bytes;
}

bool ScriptWriter::writeFile(const QString &path, const ScriptLines &lines, QString *error, const Progress &progress)
{
    FileReplacer file(path);
    const auto put = [&file](QByteArrayView block) { return file.write(block); };
    if (file.begin(byteCount(lines)) && writeBlocks(lines, "\r\n", put, progress) && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace vbu
