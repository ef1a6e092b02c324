#include "core/script/ScriptReader.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

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

    // An empty file holds no line and gives no items; a last line without line end is a line.
    void run()
    {
        qsizetype begin = 0;
        while (begin < m_size) {
            const qsizetype end = std::min(m_lf.from(begin), m_cr.from(begin));
            cutLine(begin, end);
            begin = nextLine(m_data, m_size, end);
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
    // Splits [p, end), a line without its line end, into fields: n commas give n + 1 of them.
    void cutLine(qsizetype p, qsizetype end)
    {
        for (;;) {
            // Tabs are skipped like blanks: the game treats both as white space.
            while (p < end && (m_data[p] == ' ' || m_data[p] == '\t'))
                ++p;
            const qsizetype stop = (p < end && m_data[p] == '"') ? quotedField(p + 1, end) : plainField(p, end);
            if (stop >= end)
                return;
            p = stop + 1; // past the comma that closed the field
        }
    }

    // Up to the next comma or the line end. Blanks at its end stay, since Save wrote them;
    // a double quote inside is an ordinary byte.
    qsizetype plainField(qsizetype p, qsizetype end)
    {
        const qsizetype stop = std::min(m_comma.from(p), end);
        add(p, stop);
        return stop;
    }

    // A quote that never closes ends at the line end, as the game's own tokens do.
    // Text after the closing quote, up to the next comma, is kept as it stands rather than
    // lost, so ["bind" x "y"] reads [bind x "y"].
    qsizetype quotedField(qsizetype open, qsizetype end)
    {
        const qsizetype close = std::min(m_quote.from(open), end);
        if (close == end) {
            add(open, end);
            return end;
        }
        const qsizetype stop = std::min(m_comma.from(close + 1), end);
        if (stop == close + 1) {
            add(open, close);
        } else {
            QByteArray joined(m_data + open, close - open);
            joined.append(m_data + close + 1, stop - close - 1);
            m_out.append(joined);
        }
        return stop;
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

QString tooLarge()
{
    return u"The file is larger than 2 GiB, too large for a script."_s;
}

// Reads the whole file into one buffer. A file of known size is read straight into a buffer of
// that size; one that grows meanwhile, or reports no size (a pipe, /proc), is read on in steps,
// up to the limit the line index can address.
bool readAllBytes(QFile &file, QByteArray &bytes, QString &error)
{
    constexpr qsizetype limit = ScriptLines::maxBufferSize;
    const qint64 expected = file.isSequential() ? 0 : file.size();
    if (expected > limit) {
        error = tooLarge();
        return false;
    }
    bytes.resize(qsizetype(expected));
    qsizetype have = 0;
    for (;;) {
        if (have == bytes.size()) {
            // Full: look for more before growing, so a file of known size is never copied.
            char probe[4096];
            const qint64 got = file.read(probe, sizeof probe);
            if (got < 0) {
                error = file.errorString();
                return false;
            }
            if (got == 0)
                break;
            if (got > limit - have) {
                error = tooLarge();
                return false;
            }
            bytes.resize(std::min(limit, have + std::max<qsizetype>(have / 2, 1 << 16)));
            std::memcpy(bytes.data() + have, probe, size_t(got));
            have += qsizetype(got);
            continue;
        }
        const qint64 got = file.read(bytes.data() + have, bytes.size() - have);
        if (got < 0) {
            error = file.errorString();
            return false;
        }
        if (got == 0)
            break;
        have += qsizetype(got);
    }
    bytes.truncate(have);
    if (bytes.capacity() - have > have / 16)
        bytes.squeeze();
    return true;
}

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
    if (QFileInfo(path).isDir()) {
        result.error = u"It is a folder, not a file."_s;
        return result;
    }
    QFile file(path);
    // Unbuffered: the bytes go straight into the one buffer the lines keep.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        result.error = file.errorString();
        return result;
    }
    result.opened = true;
    QByteArray bytes;
    if (!readAllBytes(file, bytes, result.error))
        return result;
    result.lines = parse(std::move(bytes), mode);
    result.ok = true;
    return result;
}

} // namespace vbu
