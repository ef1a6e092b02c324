#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace vbu {

// Cuts catalogue bytes into records, the way the Command List reads its file:
// - a line end (CR, LF or CR LF) ends a record, and so does a comma;
// - blanks and tabs before a record are skipped;
// - a record that begins with a double quote runs to the next double quote, across line ends,
//   and the quotes are not part of it, so commas between them do not split it;
// - an empty line is one empty record; a line end at the very end of the bytes starts nothing.
// Records are views into the bytes given, which must outlive them.
class CatalogueRecords final
{
public:
    explicit CatalogueRecords(QByteArrayView bytes) : m_bytes(bytes), m_more(!bytes.isEmpty()) {}

    // The next record; false once the bytes are used up.
    bool next(QByteArrayView &record);

    // How many records next() gives for the bytes.
    static qsizetype count(QByteArrayView bytes);

    // Whether the last record given opens a quote that never closes: it runs to the end of the
    // bytes, so bytes added after them would become part of it.
    bool endsInOpenQuote() const { return m_openQuote; }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    bool m_more;
    bool m_openQuote = false;
};

// Drops the first character, then the last: "{Weapons}" gives "Weapons", "{Weapons" gives
// "Weapon", "{}" gives "". Changes the string in place and returns it.
QByteArray &stripEnclosure(QByteArray &text);

} // namespace vbu
