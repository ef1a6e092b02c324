#include "core/script/ScriptReader.h"

#include "core/app/BoundedFile.h"
#include "core/script/ByteScan.h"

#include <algorithm>
#include <cstring>

namespace vbu {

namespace {

// Cuts every line into fields; the items are slices of the one buffer wherever they can be.
class FieldCutter
{
public:
    // changes, when given, receives the lines that do not come back as they stand.
    FieldCutter(const char *data, qsizetype size, FileItems &out, ScriptReader::Mode mode, OpenChanges *changes)
        : m_data(data), m_size(size), m_out(out), m_keepEmpty(mode != ScriptReader::Mode::CommandLine),
          m_changes(changes)
    {}

    // An empty file holds no line and gives no items; a last line without line end is a line,
    // and n commas on a line give n + 1 fields.
    void run()
    {
        if (m_size == 0)
            return;
        qsizetype p = 0;
        bool lineStart = true;
        for (;;) {
            // Tabs are skipped like blanks: the game treats both as white space.
            const qsizetype blanks = p;
            while (p < m_size && (m_data[p] == ' ' || m_data[p] == '\t'))
                ++p;
            // Blanks after a comma go with the cut there.
            if (p > blanks && lineStart)
                m_entry.changes |= OpenChanges::BlanksDropped;
            lineStart = false;
            const qsizetype stop = (p < m_size && m_data[p] == '"') ? quotedField(p + 1) : plainField(p);
            if (stop < m_size && m_data[stop] == ',') {
                m_entry.changes |= OpenChanges::SplitAtCommas;
                p = stop + 1; // a field follows, even at the very end
                continue;
            }
            endEntry();
            if (stop == m_size)
                return;
            p = nextLine(m_data, m_size, stop);
            if (p == m_size)
                return;
            ++m_line;
            m_entry = OpenChanges::Entry{m_line, 1, qint32(m_out.size()), 0, {}};
            lineStart = true;
        }
    }

    // Every line one item, as it stands. As in run(), no line follows the file's last line end:
    // "a\r\n" is one item and "a\r\n\r\n" two, the second empty, so Save writes the file back
    // with every line ended by CR LF.
    void runExact()
    {
        for (qsizetype p = 0; p < m_size;) {
            const qsizetype stop = lineEnd(p);
            add(p, stop, FileItems::End::Delimiter);
            p = stop == m_size ? stop : nextLine(m_data, m_size, stop);
        }
    }

    // Where the line after the one ending at end begins: a line end is CR, LF or the pair CR LF.
    static qsizetype nextLine(const char *data, qsizetype size, qsizetype end)
    {
        if (end + 1 < size && data[end] == '\r' && data[end + 1] == '\n')
            return end + 2;
        return end + 1;
    }

private:
    // Where the field that runs on from p ends: at a comma, a line end or the end of the bytes.
    qsizetype fieldEnd(qsizetype p) const { return firstOf(m_data + p, m_data + m_size, ',', '\n', '\r') - m_data; }
    // Where the line that runs on from p ends.
    qsizetype lineEnd(qsizetype p) const { return firstOf(m_data + p, m_data + m_size, '\n', '\r', '\r') - m_data; }

    // Up to the next comma or line end. Blanks at its end stay, since Save wrote them;
    // a double quote inside is an ordinary byte.
    qsizetype plainField(qsizetype p)
    {
        const qsizetype stop = fieldEnd(p);
        add(p, stop, FileItems::End::Delimiter);
        return stop;
    }

    // Up to the next double quote, line ends and commas included; a quote that never closes
    // runs to the end of the last line. Text after the closing quote, up to the next comma or
    // line end, is kept as it stands rather than lost, so ["bind" x "y"] reads [bind x "y"].
    qsizetype quotedField(qsizetype open)
    {
        m_entry.changes |= OpenChanges::QuotesDropped;
        const void *quote = std::memchr(m_data + open, '"', size_t(m_size - open));
        const qsizetype close = quote ? static_cast<const char *>(quote) - m_data : m_size;
        if (close == m_size) {
            const qsizetype end = lastLineEnd();
            passLineEnds(open, end);
            add(open, end, FileItems::End::Given);
            return m_size;
        }
        passLineEnds(open, close);
        const qsizetype stop = fieldEnd(close + 1);
        if (stop == close + 1) {
            add(open, close, FileItems::End::Quote);
        } else {
            QByteArray joined(m_data + open, close - open);
            joined.append(m_data + close + 1, stop - close - 1);
            m_out.appendJoined(open, joined);
        }
        return stop;
    }

    // Where the last line's text ends: before the CR, LF or CR LF that closes the bytes, if any.
    qsizetype lastLineEnd() const
    {
        const char last = m_data[m_size - 1];
        if (last != '\n')
            return last == '\r' ? m_size - 1 : m_size;
        return m_size > 1 && m_data[m_size - 2] == '\r' ? m_size - 2 : m_size - 1;
    }

    void add(qsizetype begin, qsizetype end, FileItems::End how)
    {
        if (begin < end || m_keepEmpty)
            m_out.appendSlice(begin, end, how);
    }

    // The line ends inside a quoted field: the lines they end belong to the entry being read.
    void passLineEnds(qsizetype begin, qsizetype end)
    {
        for (qsizetype at = lineEnd(begin); at < end; at = lineEnd(nextLine(m_data, m_size, at)))
            ++m_line;
    }

    // Lines left out whole (blanks alone, on the command line) have no row to carry a mark.
    void endEntry()
    {
        m_entry.lineCount = m_line - m_entry.line + 1;
        m_entry.itemCount = qint32(m_out.size()) - m_entry.firstItem;
        if (m_changes && m_entry.changes && m_entry.itemCount > 0)
            m_changes->append(m_entry);
    }

    const char *m_data;
    qsizetype m_size;
    FileItems &m_out;
    bool m_keepEmpty;
    OpenChanges *m_changes;
    // The line being read, from 1, and what has been done to the entry it is part of.
    qint32 m_line = 1;
    OpenChanges::Entry m_entry{1, 1, 0, 0, {}};
};

} // namespace

// A NUL byte is an ordinary byte here: the list keeps it and Save writes it back.
ScriptLines ScriptReader::parse(QByteArray bytes, Mode mode, OpenChanges *changes)
{
    // The items address no more; readFile refuses larger files before they get here.
    if (bytes.size() > FileItems::maxSize)
        bytes.truncate(FileItems::maxSize);
    // The bytes move into the items without moving in memory, so data stays valid.
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    FileItems items(std::move(bytes), mode != Mode::Exact);
    FieldCutter cutter(data, size, items, mode, changes);
    if (mode == Mode::Exact)
        cutter.runExact();
    else
        cutter.run();
    items.squeeze();
    return ScriptLines(std::move(items));
}

ScriptReader::Result ScriptReader::readFile(const QString &path, Mode mode)
{
    Result result;
    BoundedFile::Result file = BoundedFile::read(path, maxFileSize, u"a script");
    result.opened = file.status == BoundedFile::Status::Ok || file.status == BoundedFile::Status::Unreadable;
    if (file.status != BoundedFile::Status::Ok) {
        result.error = std::move(file.error);
        return result;
    }
    result.lines = parse(std::move(file.bytes), mode, &result.changes);
    result.ok = true;
    return result;
}

} // namespace vbu
