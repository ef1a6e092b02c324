#include "core/script/ScriptReader.h"

#include "core/app/BoundedFile.h"

#include <algorithm>
#include <cstring>

namespace vbu {

namespace {

// Where a byte occurs next at or after a position. The answer is kept and looked for again only
// once the reader has passed it, so a byte that is rare (a comma, a CR in a file of LF lines)
// costs one scan of the file, not one a line.
class NextByte
{
public:
    NextByte(char byte, const char *data, qsizetype size) : m_byte(byte), m_data(data), m_size(size) {}

    qsizetype from(qsizetype pos)
    {
        if (m_at < pos) {
            const void *found = std::memchr(m_data + pos, m_byte, size_t(m_size - pos));
            m_at = found ? static_cast<const char *>(found) - m_data : m_size;
        }
        return m_at;
    }

private:
    char m_byte;
    const char *m_data;
    qsizetype m_size;
    qsizetype m_at = -1;
};

// Cuts every line into fields; the items are slices of the one buffer wherever they can be.
class FieldCutter
{
public:
    FieldCutter(const char *data, qsizetype size, ScriptLines &out, ScriptReader::Mode mode)
        : m_data(data), m_size(size), m_out(out), m_keepEmpty(mode == ScriptReader::Mode::Open), m_lf('\n', data, size),
          m_cr('\r', data, size), m_comma(',', data, size), m_quote('"', data, size)
    {}

    // An empty file holds no line and gives no items; a last line without line end is a line,
    // and n commas on a line give n + 1 fields.
    void run()
    {
        if (m_size == 0)
            return;
        qsizetype p = 0;
        for (;;) {
            // Tabs are skipped like blanks: the game treats both as white space.
            while (p < m_size && (m_data[p] == ' ' || m_data[p] == '\t'))
                ++p;
            const qsizetype stop = (p < m_size && m_data[p] == '"') ? quotedField(p + 1) : plainField(p);
            if (stop == m_size)
                return;
            if (m_data[stop] == ',') {
                p = stop + 1; // a field follows, even at the very end
                continue;
            }
            p = nextLine(m_data, m_size, stop);
            if (p == m_size)
                return;
        }
    }

    // Where the line after the one ending at end begins: a line end is CR, LF or the pair CR LF.
    static qsizetype nextLine(const char *data, qsizetype size, qsizetype end)
    {
        if (end + 1 < size && data[end] == '\r' && data[end + 1] == '\n')
            return end + 2;
        return end + 1;
    }

    // One field a line and one more a comma: the index is sized once, and no half-used copies
    // of it are left behind while a large file loads.
    static qsizetype fieldBound(const char *data, qsizetype size)
    {
        qsizetype fields = 0;
        NextByte lf('\n', data, size);
        NextByte cr('\r', data, size);
        for (qsizetype begin = 0; begin < size; ++fields)
            begin = nextLine(data, size, std::min(lf.from(begin), cr.from(begin)));
        const char *const end = data + size;
        for (const char *p = data; (p = static_cast<const char *>(std::memchr(p, ',', size_t(end - p)))); ++p)
            ++fields;
        return fields;
    }

private:
    // Where the field that runs on from p ends: at a comma, a line end or the end of the bytes.
    qsizetype fieldEnd(qsizetype p) { return std::min({m_comma.from(p), m_lf.from(p), m_cr.from(p)}); }

    // Up to the next comma or line end. Blanks at its end stay, since Save wrote them;
    // a double quote inside is an ordinary byte.
    qsizetype plainField(qsizetype p)
    {
        const qsizetype stop = fieldEnd(p);
        add(p, stop);
        return stop;
    }

    // Up to the next double quote, line ends and commas included; a quote that never closes
    // runs to the end of the last line. Text after the closing quote, up to the next comma or
    // line end, is kept as it stands rather than lost, so ["bind" x "y"] reads [bind x "y"].
    qsizetype quotedField(qsizetype open)
    {
        const qsizetype close = m_quote.from(open);
        if (close == m_size) {
            add(open, lastLineEnd());
            return m_size;
        }
        const qsizetype stop = fieldEnd(close + 1);
        if (stop == close + 1) {
            add(open, close);
        } else {
            QByteArray joined(m_data + open, close - open);
            joined.append(m_data + close + 1, stop - close - 1);
            m_out.append(joined);
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

    void add(qsizetype begin, qsizetype end)
    {
        if (begin < end || m_keepEmpty)
            m_out.appendSlice(begin, end - begin);
    }

    const char *m_data;
    qsizetype m_size;
    ScriptLines &m_out;
    bool m_keepEmpty;
    NextByte m_lf;
    NextByte m_cr;
    NextByte m_comma;
    NextByte m_quote;
};

} // namespace

// A NUL byte is an ordinary byte here: the list keeps it and Save writes it back.
ScriptLines ScriptReader::parse(QByteArray bytes, Mode mode)
{
    // The index addresses no more; readFile refuses larger files before they get here.
    if (bytes.size() > ScriptLines::maxBufferSize)
        bytes.truncate(ScriptLines::maxBufferSize);
    // The bytes move into lines without moving in memory, so data stays valid.
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    ScriptLines lines(std::move(bytes));
    lines.reserve(FieldCutter::fieldBound(data, size));
    FieldCutter(data, size, lines, mode).run();
    lines.squeeze();
    return lines;
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
    result.lines = parse(std::move(file.bytes), mode);
    result.ok = true;
    return result;
}

} // namespace vbu
