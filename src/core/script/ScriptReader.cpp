#include "core/script/ScriptReader.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Fields are cut from one line at a time; the buffer is shared by every slice.
class FieldCutter
{
public:
    FieldCutter(const QByteArray &buffer, ScriptLines &out, ScriptReader::Mode mode)
        : m_data(buffer.constData()), m_out(out), m_keepEmpty(mode == ScriptReader::Mode::Open)
    {
    }

    // Splits [begin, end), a line without its line end, into fields.
    void cutLine(qsizetype begin, qsizetype end)
    {
        qsizetype p = begin;
        for (;;) {
            // Blanks and tabs before a field are skipped: the game ignores them too.
            while (p < end && (m_data[p] == ' ' || m_data[p] == '\t'))
                ++p;
            if (p < end && m_data[p] == '"')
                p = quotedField(p + 1, end);
            else
                p = plainField(p, end);
            if (p >= end)
                return;
            ++p; // the comma that closed the field
        }
    }

private:
    // Up to the next comma or the line end; blanks at its end stay, as does any quote.
    qsizetype plainField(qsizetype p, qsizetype end)
    {
        const qsizetype start = p;
        while (p < end && m_data[p] != ',')
            ++p;
        add(start, p);
        return p;
    }

    // A quoted field ends at the next quote; a quote that never closes ends at the line end,
    // where the game ends a quoted token too. Text after the closing quote, up to the next
    // comma, is kept as it stands rather than lost, so ["bind" x "y"] reads [bind x "y"].
    qsizetype quotedField(qsizetype p, qsizetype end)
    {
        const qsizetype start = p;
        while (p < end && m_data[p] != '"')
            ++p;
        const qsizetype close = p;
        if (p < end)
            ++p;
        const qsizetype tailStart = p;
        while (p < end && m_data[p] != ',')
            ++p;
        if (tailStart == p) {
            add(start, close);
        } else {
            QByteArray joined(m_data + start, close - start);
            joined.append(m_data + tailStart, p - tailStart);
            m_out.append(joined);
        }
        return p;
    }

    void add(qsizetype begin, qsizetype end)
    {
        if (begin < end || m_keepEmpty)
            m_out.appendSlice(begin, end - begin);
    }

    const char *m_data;
    ScriptLines &m_out;
    bool m_keepEmpty;
};

} // namespace

// A NUL byte is an ordinary byte here: the list keeps it and Save writes it back.
ScriptLines ScriptReader::parse(QByteArray bytes, Mode mode)
{
    const qsizetype size = bytes.size();
    const char *data = bytes.constData();

    // One index entry per field at most: line ends and commas bound the count.
    qsizetype estimate = 1;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        estimate += c == '\n' || c == ',' || (c == '\r' && (i + 1 == size || data[i + 1] != '\n'));
    }

    ScriptLines lines(std::move(bytes));
    lines.reserve(estimate);
    // The buffer now belongs to lines; its bytes did not move.
    FieldCutter cutter(QByteArray::fromRawData(data, size), lines, mode);

    qsizetype begin = 0;
    while (begin < size) {
        qsizetype end = begin;
        while (end < size && !isLineEnd(data[end]))
            ++end;
        cutter.cutLine(begin, end);
        // A line end is CR, LF or the pair CR LF.
        if (end < size && data[end] == '\r' && end + 1 < size && data[end + 1] == '\n')
            ++end;
        begin = end + 1;
    }
    return lines;
}

ScriptReader::Result ScriptReader::readFile(const QString &path, Mode mode)
{
    Result result;
    const QFileInfo info(path);
    if (info.isDir()) {
        result.error = u"It is a folder, not a file."_s;
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    if (file.size() > ScriptLines::maxBufferSize) {
        result.error = u"The file is larger than 2 GiB, too large for a script."_s;
        return result;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    // A device that reports no size (a pipe) can still run past the limit.
    if (bytes.size() > ScriptLines::maxBufferSize) {
        result.error = u"The file is larger than 2 GiB, too large for a script."_s;
        return result;
    }
    result.lines = parse(std::move(bytes), mode);
    result.ok = true;
    return result;
}

} // namespace vbu
