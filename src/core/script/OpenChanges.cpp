#include "core/script/OpenChanges.h"

#include "core/app/Counted.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace vbu {

QString OpenChanges::Entry::toolTip() const
{
    QStringList done;
    if (lineCount > 1)
        done += u"read %1 as one piece (a double quote runs on across a line end)"_s;
    if (changes & SplitAtCommas)
        done += u"split %1 at commas into "_s + counted(itemCount, u"item"_s, u"items"_s);
    if (changes & QuotesDropped)
        done += u"dropped double quotes from %1"_s;
    if (changes & BlanksDropped)
        done += u"dropped the blanks at the start of %1"_s;
    // The first clause names the lines, the others refer back to them.
    QString lines = u"line "_s + QString::number(line);
    if (lineCount > 1)
        lines = u"lines "_s + QString::number(line) + u" to "_s + QString::number(line + lineCount - 1);
    const QString them = lineCount == 1 ? u"it"_s : u"them"_s;
    QString text = u"Open "_s;
    for (qsizetype i = 0; i < done.size(); ++i) {
        if (i > 0)
            text += i + 1 == done.size() ? u" and "_s : u", "_s;
        text += done.at(i).arg(i == 0 ? lines + u" of the file"_s : them);
    }
    if (itemCount == 1 && lineCount == 1 && !(changes & SplitAtCommas))
        text += u"; saving writes the line without them."_s;
    else
        text += u"; saving writes "_s +
                (itemCount == 1 ? u"the item"_s : QString(u"the "_s + QString::number(itemCount) + u" items"_s)) +
                u" as "_s + counted(linesWritten(), u"line"_s, u"lines"_s) + u'.';
    return text + u" Use File > Open Exactly to keep the file's lines as they are."_s;
}

} // namespace vbu
