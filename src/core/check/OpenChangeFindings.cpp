#include "core/check/OpenChangeFindings.h"

#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

QString counted(qint32 n, const QString &one, const QString &many)
{
    return QString::number(n) + u' ' + (n == 1 ? one : many);
}

// The warnings that eachWarning hands as (line, text), in line order, merged into findings;
// a line's own findings stay before its warning.
template<typename EachWarning> QList<CheckFinding> merged(QList<CheckFinding> findings, EachWarning eachWarning)
{
    QList<CheckFinding> warnings;
    eachWarning([&warnings](qsizetype line, const QString &text) {
        CheckFinding f;
        f.line = line;
        f.severity = CheckSeverity::Warning;
        f.rule = CheckRule::OpenChangesLine;
        f.text = text;
        warnings.append(std::move(f));
    });
    if (warnings.isEmpty())
        return findings;
    QList<CheckFinding> out;
    out.reserve(findings.size() + warnings.size());
    std::merge(std::make_move_iterator(findings.begin()), std::make_move_iterator(findings.end()),
               std::make_move_iterator(warnings.begin()), std::make_move_iterator(warnings.end()),
               std::back_inserter(out), [](const CheckFinding &a, const CheckFinding &b) { return a.line < b.line; });
    return out;
}

} // namespace

QString OpenChangeFindings::text(const OpenChanges::Entry &entry)
{
    const QString useExact = u" (use Open Exactly)"_s;
    if (entry.itemCount == 1 && entry.lineCount == 1 && !(entry.changes & OpenChanges::SplitAtCommas)) {
        const bool blanks = entry.changes.testFlag(OpenChanges::BlanksDropped);
        const bool quotes = entry.changes.testFlag(OpenChanges::QuotesDropped);
        const QString dropped = !blanks  ? u"the double quotes of this line"_s
                                : quotes ? u"the blanks at the start of this line and its double quotes"_s
                                         : u"the blanks at the start of this line"_s;
        return u"Open drops "_s + dropped + u"; saving writes the line without them"_s + useExact;
    }
    QString text = u"Open reads this line"_s;
    if (entry.lineCount > 1)
        text += u" and the next"_s + (entry.lineCount > 2 ? u' ' + QString::number(entry.lineCount - 1) : QString());
    return text + u" as "_s + counted(entry.itemCount, u"item"_s, u"items"_s) + u"; saving "_s +
           (entry.itemCount == 1 ? u"it"_s : u"them"_s) + u" writes "_s +
           counted(entry.linesWritten(), u"line"_s, u"lines"_s) + useExact;
}

QList<CheckFinding> OpenChangeFindings::withChanges(QList<CheckFinding> findings, const OpenChanges &changes)
{
    return merged(std::move(findings), [&changes](auto &&warn) {
        for (const OpenChanges::Entry &entry : changes.entries())
            warn(entry.line, text(entry));
    });
}

QList<CheckFinding> OpenChangeFindings::withMarks(QList<CheckFinding> findings, const OpenMarks &marks)
{
    return merged(std::move(findings), [&marks](auto &&warn) {
        // The rows of one line mostly stand together: their warnings share one text.
        OpenMarks::Mark last = OpenMarks::none;
        QString lastText;
        marks.forEach([&](qsizetype row, OpenMarks::Mark mark) {
            if (mark != last) {
                last = mark;
                lastText = text(marks.entry(mark));
            }
            warn(row + 1, lastText);
        });
    });
}

} // namespace vbu
