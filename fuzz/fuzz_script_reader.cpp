// Arbitrary bytes through the reader in both modes, the writer, and the line store's edits and copies.
#include "core/script/ScriptReader.h"
#include "core/script/ScriptWriter.h"

#include <QList>

#include <cstddef>
#include <cstdint>

using vbu::ScriptLines;
using vbu::ScriptReader;
using vbu::ScriptWriter;

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// A line Save writes comes back unchanged when it holds no comma and no line end and does not
// begin with a blank, a tab or a double quote.
bool comesBackUnchanged(const QByteArray &item)
{
    return !item.contains(',') && !item.contains('\r') && !item.contains('\n') && !item.startsWith(' ') &&
           !item.startsWith('\t') && !item.startsWith('"');
}

// Edits driven by the input's bytes, done on the store and on a plain list side by side.
void editBoth(ScriptLines &lines, QList<QByteArray> &model, const uint8_t *data, size_t size)
{
    for (size_t i = 0; i + 2 < size && i < 96; i += 3) {
        const qsizetype n = model.size();
        const qsizetype a = n ? data[i + 1] % n : 0;
        const qsizetype b = n ? data[i + 2] % n : 0;
        const QByteArray text(reinterpret_cast<const char *>(data + i), 3);
        switch (data[i] % 4) {
        case 0:
            lines.insert(a, text);
            model.insert(a, text);
            break;
        case 1:
            if (n) {
                lines.replace(a, text);
                model.replace(a, text);
            }
            break;
        case 2:
            if (n) {
                lines.remove(a);
                model.remove(a);
            }
            break;
        default:
            if (n) {
                lines.move(a, b);
                model.move(a, b);
            }
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    // Raw data, so any read past the input's end is caught.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));

    ScriptLines open = ScriptReader::parse(bytes, ScriptReader::Mode::Open);
    const ScriptLines commandLine = ScriptReader::parse(bytes, ScriptReader::Mode::CommandLine);

    // Only a quoted field runs across line ends, so without quotes no field holds one; the command
    // line keeps exactly Open's non-empty fields.
    const bool quoted = bytes.contains('"');
    QList<QByteArray> kept;
    QList<QByteArray> safe;
    qsizetype total = 0;
    qsizetype safeBytes = 0;
    for (qsizetype i = 0; i < open.size(); ++i) {
        const QByteArray item = open.at(i);
        check(quoted || (!item.contains('\r') && !item.contains('\n')));
        total += item.size();
        if (!item.isEmpty())
            kept.append(item);
        if (comesBackUnchanged(item)) {
            safe.append(item);
            safeBytes += item.size();
        }
    }
    check(total <= qsizetype(size));
    check(commandLine.toList() == kept);

    // Written out, such items read back as they were.
    ScriptLines safeLines;
    for (const QByteArray &item : safe)
        safeLines.append(item);
    const QByteArray written = ScriptWriter::toBytes(safeLines);
    check(written.size() == safeBytes + 2 * safe.size());
    check(ScriptReader::parse(written, ScriptReader::Mode::Open).toList() == safe);

    QList<QByteArray> model = open.toList();
    const ScriptLines copy = open;
    const QList<QByteArray> copied = model;
    editBoth(open, model, data, size);
    check(open.toList() == model);
    check(copy.toList() == copied); // a copy is a snapshot: edits after it leave it alone
    check(open.memoryUsed() >= 0);
    return 0;
}
