#include "core/check/CrossLineCheck.h"

#include "core/check/CheckTexts.h"

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

CheckFinding crossFinding(CheckGame game, qsizetype index, CheckRule rule, const QString &text, qsizetype otherLine)
{
    CheckFinding f;
    f.line = index + 1;
    f.severity = rule == CheckRule::ScriptTooLong ? CheckSeverity::Error : CheckSeverity::Warning;
    f.rule = rule;
    f.text = text;
    f.otherLine = otherLine + 1;
    f.game = game;
    return f;
}

} // namespace

CrossLineCheck::CrossLineCheck(CheckGame game, qsizetype scriptBytes)
    : m_game(game), m_scriptBytes(scriptBytes), m_topLevel(LineCheck::keyCount())
{}

void CrossLineCheck::check(qsizetype index, const LineCheck::Line &line, LineCheck::Result &own, LineFindings &out)
{
    // exec puts the whole file into the command buffer or, when it does not fit, none of it.
    // The finding goes to the line where the limit is passed: that tells how much must go.
    const qsizetype before = m_bytesBefore;
    m_bytesBefore += line.text.size() + line.endBytes;
    const bool passesLimit =
        before < ScriptChecker::commandBufferSize && m_bytesBefore >= ScriptChecker::commandBufferSize;

    // Whether a bind binds a key again is judged before the line's own changes count.
    m_boundAgain.clear();
    for (const LineCheck::FirstBind &bind : own.firstBinds) {
        if (const std::optional<qsizetype> earlier = m_topLevel.lineOf(bind.key))
            m_boundAgain.emplace_back(bind.findingsBefore, boundAgain(m_game, index, bind.name, *earlier));
    }
    if (own.unbindsAll)
        m_topLevel.clear();
    for (const LineCheck::KeyLeft &left : own.keysLeft) {
        if (left.bound)
            m_topLevel.bind(left.key, index);
        else
            m_topLevel.unbind(left.key);
    }
    if (!passesLimit && m_boundAgain.empty()) {
        std::swap(out, own.findings);
        return;
    }
    const CheckFinding tooLong = passesLimit ? scriptTooLong(m_game, index, m_scriptBytes) : CheckFinding();
    combine(passesLimit ? &tooLong : nullptr, own.findings.list(), m_boundAgain, out);
}

CheckFinding CrossLineCheck::scriptTooLong(CheckGame game, qsizetype index, qsizetype scriptBytes)
{
    return crossFinding(game, index, CheckRule::ScriptTooLong,
                        u"The script is %1 bytes long and the game refuses a script of 8,192 bytes or more as a whole, "
                        "so none of it runs (this line passes the limit; some source ports allow more)."_s.arg(
                            checkTexts::number(scriptBytes)),
                        -1);
}

CheckFinding CrossLineCheck::boundAgain(CheckGame game, qsizetype index, QByteArrayView key, qsizetype earlier)
{
    return crossFinding(game, index, CheckRule::DuplicateBind, checkTexts::boundAgain(key, index, earlier), earlier);
}

void CrossLineCheck::combine(const CheckFinding *tooLong, const QList<CheckFinding> &own, BoundAgain &boundAgain,
                             LineFindings &out)
{
    out.clear();
    if (tooLong)
        out.add(*tooLong);
    qsizetype next = 0;
    for (auto &[at, f] : boundAgain) {
        for (; next < at; ++next)
            out.add(own.at(next));
        out.add(std::move(f));
    }
    for (; next < own.size(); ++next)
        out.add(own.at(next));
}

} // namespace vbu
