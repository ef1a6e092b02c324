#pragma once

#include <QFlags>
#include <QList>
#include <QString>

namespace vbu {

// The lines of a file that Open did not take back as they stand, each with the items it gave.
// Open reads fields, not lines: it cuts a line at its commas, drops the double quotes around a
// field and the blanks before the first one. Lines taken back unchanged have no entry, so a
// million clean lines cost nothing here.
class OpenChanges final
{
public:
    enum Change : quint8 {
        SplitAtCommas = 1,
        QuotesDropped = 2,
        BlanksDropped = 4 // before the line's first field
    };
    Q_DECLARE_FLAGS(Changes, Change)

    // A field in double quotes runs on across line ends to the next quote, so one item can hold
    // several lines of the file. Such lines are read as one piece and make one entry, counted
    // from its first line; its items hold the line ends between them.
    struct Entry
    {
        qint32 line = 0; // the first line of the file, from 1
        qint32 lineCount = 1;
        qint32 firstItem = 0; // from 0
        qint32 itemCount = 0;
        Changes changes;

        // The lines that saving the items writes: one an item, plus the line ends they hold.
        qint32 linesWritten() const { return itemCount + lineCount - 1; }
        // For the row's tool tip: what Open did to the line and what saving will write.
        QString toolTip() const;
    };

    bool isEmpty() const { return m_entries.isEmpty(); }
    const QList<Entry> &entries() const { return m_entries; }
    // In file order.
    void append(const Entry &entry) { m_entries.append(entry); }

private:
    QList<Entry> m_entries;
};

} // namespace vbu

Q_DECLARE_OPERATORS_FOR_FLAGS(vbu::OpenChanges::Changes)
Q_DECLARE_TYPEINFO(vbu::OpenChanges::Entry, Q_PRIMITIVE_TYPE);
