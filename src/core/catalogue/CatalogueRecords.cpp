#include "core/catalogue/CatalogueRecords.h"

namespace vbu {

namespace {

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Where the text of the last line ends: before the CR, LF or CR LF that closes the bytes, if any.
qsizetype lastLineEnd(QByteArrayView bytes)
{
    if (bytes.endsWith("\r\n"))
        return bytes.size() - 2;
    return bytes.size() - (isLineEnd(bytes.back()) ? 1 : 0);
}

} // namespace

bool CatalogueRecords::next(QByteArrayView &record)
{
    if (!m_more)
        return false;
    const char *data = m_bytes.data();
    const qsizetype size = m_bytes.size();
    qsizetype p = m_pos;
    while (p < size && (data[p] == ' ' || data[p] == '\t'))
        ++p;

    if (p < size && data[p] == '"') {
        // Up to the next quote, line ends included; a quote that never closes runs to the end
        // of the last line. Whatever stands between the closing quote and the next comma or
        // line end is dropped: the quoted text is the record.
        const qsizetype start = ++p;
        const qsizetype close = m_bytes.sliced(start).indexOf('"');
        if (close < 0) {
            record = m_bytes.sliced(start, lastLineEnd(m_bytes) - start);
            m_more = false;
            m_openQuote = true;
            return true;
        }
        p = start + close;
        record = m_bytes.sliced(start, p - start);
        while (p < size && data[p] != ',' && !isLineEnd(data[p]))
            ++p;
    } else {
        // A quote inside an unquoted record, and blanks at its end, are part of it.
        const qsizetype start = p;
        while (p < size && data[p] != ',' && !isLineEnd(data[p]))
            ++p;
        record = m_bytes.sliced(start, p - start);
    }

    if (p >= size) {
        m_more = false;
    } else if (data[p] == ',') {
        // A comma always opens another record, even at a line end or the end of the bytes.
        m_pos = p + 1;
    } else {
        if (data[p] == '\r' && p + 1 < size && data[p + 1] == '\n')
            ++p;
        m_pos = p + 1;
        m_more = m_pos < size;
    }
    return true;
}

qsizetype CatalogueRecords::count(QByteArrayView bytes)
{
    CatalogueRecords records(bytes);
    QByteArrayView record;
    qsizetype n = 0;
    while (records.next(record))
        ++n;
    return n;
}

QByteArray &stripEnclosure(QByteArray &text)
{
    text.remove(0, 1);
    text.chop(1);
    return text;
}

} // namespace vbu
