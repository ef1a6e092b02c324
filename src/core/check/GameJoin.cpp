#include "core/check/GameJoin.h"

namespace vbu {

namespace {

bool sameButGame(const CheckFinding &a, const CheckFinding &b)
{
    return a.line == b.line && a.severity == b.severity && a.rule == b.rule && a.otherLine == b.otherLine &&
           a.text == b.text;
}

} // namespace

void GameJoin::join(const LineFindings &quake, const LineFindings &quake2, QList<CheckFinding> &out)
{
    m_matched.assign(size_t(quake2.size()), false);
    for (CheckFinding f : quake.list()) {
        const qsizetype same = quake2.indexOf(f.text);
        if (same >= 0 && sameButGame(quake2.list().at(same), f)) {
            m_matched[size_t(same)] = true;
            f.game = CheckGame::Both;
        } else {
            f.text = m_quakeMark + f.text;
        }
        out.append(std::move(f));
    }
    for (qsizetype k = 0; k < quake2.size(); ++k) {
        if (m_matched[size_t(k)])
            continue;
        CheckFinding f = quake2.list().at(k);
        f.text = m_quake2Mark + f.text;
        out.append(std::move(f));
    }
}

} // namespace vbu
