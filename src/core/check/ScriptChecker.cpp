#include "core/check/ScriptChecker.h"

#include "core/check/AliasCheck.h"
#include "core/check/CrossLineCheck.h"
#include "core/check/GameJoin.h"
#include "core/check/GameProfile.h"
#include "core/check/LineCheck.h"
#include "core/check/ScriptNames.h"

#include <array>
#include <vector>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

using Line = LineCheck::Line;

// The checks of one game over the lines in order; found holds the findings of the last line.
class GameRun
{
public:
    // With a profile, the names the game knows judge the script too.
    GameRun(CheckGame game, const GameProfile *profile, qsizetype scriptBytes)
        : m_names(game == CheckGame::Quake ? ScriptTokenizer::Dialect::Quake : ScriptTokenizer::Dialect::Quake2,
                  profile && profile->command("set")),
          m_readNames(profile != nullptr), m_line(game, {profile, &m_names}), m_cross(game, scriptBytes),
          m_aliases(game)
    {}

    // Every line, before the first check().
    void readAhead(const Line &line)
    {
        m_aliases.readAhead(line);
        if (m_readNames)
            m_names.addLine(line.text);
    }

    void check(qsizetype index, const Line &line)
    {
        m_line.check(index, line, m_own);
        m_aliases.check(index, m_own);
        m_cross.check(index, line, m_own, found);
    }

    LineFindings found;

private:
    ScriptNames m_names; // the names the whole script makes, for m_line
    bool m_readNames;
    LineCheck m_line;
    CrossLineCheck m_cross;
    AliasCheck m_aliases;
    LineCheck::Result m_own;
};

// The findings of a check, in line order. Findings often repeat a text word for word: the
// texts seen last are kept, and a repeat shares their copy, so that a script of millions of
// the same mistake costs little more than its list of findings.
class Findings
{
public:
    void append(const QList<CheckFinding> &found)
    {
        for (const CheckFinding &f : found) {
            m_list.append(f);
            QString &text = m_list.last().text;
            QString &kept = m_recent[qHash(text) % m_recent.size()];
            if (kept == text)
                text = kept;
            else
                kept = text;
        }
    }

    QList<CheckFinding> take() { return std::move(m_list); }

private:
    QList<CheckFinding> m_list;
    std::array<QString, 61> m_recent;
};

// Runs the checks over the lines that eachLine hands, in order, as (index, Line): twice, the
// first time to read ahead.
template<typename EachLine>
QList<CheckFinding> checkScript(qsizetype scriptBytes, const CheckTarget &target, EachLine eachLine)
{
    Findings out;
    const CheckGame game = target.game;
    if (game != CheckGame::Both) {
        GameRun run(game, game == CheckGame::Quake ? target.quakeProfile : target.quake2Profile, scriptBytes);
        eachLine([&](qsizetype, const Line &line) { run.readAhead(line); });
        eachLine([&](qsizetype index, const Line &line) {
            run.check(index, line);
            out.append(run.found.list());
        });
        return out.take();
    }
    GameRun quake(CheckGame::Quake, target.quakeProfile, scriptBytes);
    GameRun quake2(CheckGame::Quake2, target.quake2Profile, scriptBytes);
    GameJoin join;
    QList<CheckFinding> joined;
    eachLine([&](qsizetype, const Line &line) {
        quake.readAhead(line);
        quake2.readAhead(line);
    });
    eachLine([&](qsizetype index, const Line &line) {
        quake.check(index, line);
        quake2.check(index, line);
        if (quake.found.isEmpty() && quake2.found.isEmpty())
            return;
        joined.clear();
        join.join(quake.found, quake2.found, joined);
        out.append(joined);
    });
    return out.take();
}

// The editor's list as Save writes it: every line followed by CR LF, up to a zero byte.
template<typename LineAt> QList<CheckFinding> checkList(qsizetype count, LineAt lineAt, const CheckTarget &target)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const Line line = LineCheck::savedLine(lineAt(i));
        bytes += line.text.size() + line.endBytes;
        if (line.zeroByte)
            break;
    }
    return checkScript(bytes, target, [&](auto &&checkLine) {
        for (qsizetype i = 0; i < count; ++i) {
            const Line line = LineCheck::savedLine(lineAt(i));
            checkLine(i, line);
            if (line.zeroByte)
                return;
        }
    });
}

} // namespace

QList<CheckFinding> ScriptChecker::check(const ScriptLines &lines, const CheckTarget &target)
{
    return checkList(
        lines.size(), [&lines](qsizetype i) { return lines.view(i); }, target);
}

QList<CheckFinding> ScriptChecker::check(const QList<QByteArray> &lines, const CheckTarget &target)
{
    return checkList(
        lines.size(), [&lines](qsizetype i) { return QByteArrayView(lines.at(i)); }, target);
}

// A file's own bytes, cut into the lines an editor shows: at LF, CR LF and a lone CR. The game
// itself only ends a line at LF, so a lone CR is reported rather than silently taken as a line
// end. What exec hands to the game stops at a zero byte.
QList<CheckFinding> ScriptChecker::checkFile(QByteArrayView bytes, const CheckTarget &target)
{
    const qsizetype zero = bytes.indexOf('\0');
    const qsizetype end = zero < 0 ? bytes.size() : zero;
    return checkScript(end, target, [&](auto &&checkLine) {
        qsizetype index = 0;
        qsizetype p = 0;
        bool endedLine = true; // whether the last line had a line end
        while (p < end) {
            qsizetype q = p;
            while (q < end && bytes[q] != '\n' && bytes[q] != '\r')
                ++q;
            Line line;
            line.text = bytes.sliced(p, q - p);
            if (q < end) {
                if (bytes[q] == '\n') {
                    line.endBytes = 1;
                } else if (q + 1 < end && bytes[q + 1] == '\n') {
                    line.endBytes = 2;
                    line.crlf = true;
                } else {
                    line.endBytes = 1;
                    line.loneCr = q + 1 < end;
                }
            }
            p = q + line.endBytes;
            endedLine = line.endBytes != 0;
            line.zeroByte = zero >= 0 && !endedLine;
            checkLine(index++, line);
        }
        // A zero byte right after a line end is on a line of its own.
        if (zero >= 0 && endedLine) {
            Line line;
            line.zeroByte = true;
            checkLine(index, line);
        }
    });
}

QString ScriptChecker::format(const QString &fileName, const CheckFinding &finding)
{
    const QString severity = finding.severity == CheckSeverity::Error ? u"error"_s : u"warning"_s;
    return fileName + u':' + QString::number(finding.line) + u": "_s + severity + u": "_s + finding.text;
}

std::optional<CheckGame> ScriptChecker::gameFromName(QStringView name)
{
    if (name == u"quake")
        return CheckGame::Quake;
    if (name == u"quake2")
        return CheckGame::Quake2;
    if (name == u"both")
        return CheckGame::Both;
    return std::nullopt;
}

QString ScriptChecker::gameName(CheckGame game)
{
    switch (game) {
    case CheckGame::Quake:
        return u"Quake"_s;
    case CheckGame::Quake2:
        return u"Quake 2"_s;
    case CheckGame::Both:
        break;
    }
    return u"Quake and Quake 2"_s;
}

} // namespace vbu
