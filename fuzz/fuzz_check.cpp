// Script checks on arbitrary bytes: every finding must point at a line of the script, name an
// earlier (or the same) line as the other one, and both-games reports must cover each game's.
#include "core/check/ScriptChecker.h"
#include "core/check/ScriptTokenizer.h"

#include <QSet>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

void checkFindings(const QList<vbu::CheckFinding> &findings, qsizetype lineCount)
{
    qsizetype previous = 0;
    QSet<QString> lineTexts;
    for (const vbu::CheckFinding &f : findings) {
        check(f.line >= 1 && f.line <= lineCount);
        check(f.line >= previous); // in line order
        check(f.otherLine >= 0 && f.otherLine <= f.line);
        check(!f.text.isEmpty());
        if (f.line != previous)
            lineTexts.clear();
        check(!lineTexts.contains(f.text)); // a line tells each text once
        lineTexts.insert(f.text);
        previous = f.line;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // Commands cover the text without overlap, know whether a quote is left open, and tokens
    // stay inside their command. Keeping fewer tokens finds the same comment.
    vbu::ScriptTokenizer::Tokens all;
    vbu::ScriptTokenizer::Tokens first;
    qsizetype end = 0;
    for (qsizetype p = 0; p < bytes.size();) {
        const vbu::ScriptTokenizer::Command c = vbu::ScriptTokenizer::commandAt(bytes, p);
        check(c.offset == p && c.offset >= end && c.length >= 0 && c.offset + c.length <= bytes.size());
        end = c.offset + c.length;
        p = c.next();
        const QByteArrayView command = bytes.sliced(c.offset, c.length);
        check(c.oddQuotes == (command.count('"') % 2 != 0));
        for (const auto dialect : {vbu::ScriptTokenizer::Dialect::Quake, vbu::ScriptTokenizer::Dialect::Quake2}) {
            vbu::ScriptTokenizer::tokenize(command, dialect, all);
            for (const vbu::ScriptTokenizer::Token &token : all.tokens) {
                check(token.offset >= 0 && token.offset < command.size());
                check(token.text.data() >= command.data() &&
                      token.text.data() + token.text.size() <= command.data() + command.size());
            }
            vbu::ScriptTokenizer::tokenize(command, dialect, first, 1);
            check(first.commentAt == all.commentAt && first.tokens.size() == std::min<qsizetype>(all.tokens.size(), 1));
        }
    }

    // As a file: at most one line more than it has line ends (for a zero byte on a line of its own).
    const qsizetype fileLines = bytes.count('\n') + bytes.count('\r') + 1;
    qsizetype quakeCount = 0;
    for (const vbu::CheckGame game : {vbu::CheckGame::Quake, vbu::CheckGame::Quake2, vbu::CheckGame::Both}) {
        const QList<vbu::CheckFinding> findings = vbu::ScriptChecker::checkFile(bytes, game);
        checkFindings(findings, fileLines + 1);
        if (game == vbu::CheckGame::Quake)
            quakeCount = findings.size();
        if (game == vbu::CheckGame::Both)
            check(findings.size() >= quakeCount);
    }

    // As the editor's list: one line per LF-separated piece.
    const QList<QByteArray> lines = bytes.toByteArray().split('\n');
    checkFindings(vbu::ScriptChecker::check(lines, vbu::CheckGame::Both), lines.size());
    return 0;
}
