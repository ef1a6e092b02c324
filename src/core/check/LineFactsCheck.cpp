#include "core/check/LineFactsCheck.h"

#include "core/app/LargePageAllocator.h"

#include <algorithm>

namespace vbu {

namespace {

const GameProfile *profileAt(const CheckTarget &target, int game)
{
    return LineFacts::gameAt(target.game, game) == CheckGame::Quake ? target.quakeProfile : target.quake2Profile;
}

// A block of a long check: a large page.
constexpr size_t blockBytes = LargePages::pageSize;
// What the facts of a line take, about, to size the last blocks of a check.
constexpr size_t lineBytes = 128;

} // namespace

LineFactsCheck::LineFactsCheck(const CheckTarget &target, const Names *names, qsizetype lines)
    : m_results(size_t(LineFacts::gameCount(target.game))), m_linesLeft(lines)
{
    m_checks.reserve(m_results.size());
    for (int g = 0; g < LineFacts::gameCount(target.game); ++g)
        m_checks.emplace_back(LineFacts::gameAt(target.game, g),
                              LineCheck::Known{profileAt(target, g), names ? &names->at(size_t(g)) : nullptr});
}

bool LineFactsCheck::needsNames(const CheckTarget &target)
{
    return target.quakeProfile || target.quake2Profile;
}

LineFactsCheck::Names LineFactsCheck::emptyNames(const CheckTarget &target)
{
    Names names;
    for (int g = 0; g < LineFacts::gameCount(target.game); ++g) {
        const GameProfile *profile = profileAt(target, g);
        const bool quake = LineFacts::gameAt(target.game, g) == CheckGame::Quake;
        names.emplace_back(quake ? ScriptTokenizer::Dialect::Quake : ScriptTokenizer::Dialect::Quake2,
                           profile && profile->command("set"));
    }
    return names;
}

std::shared_ptr<const LineFacts> LineFactsCheck::check(qsizetype index, QByteArrayView text, qsizetype &bytes,
                                                       bool makesNames)
{
    m_linesLeft = std::max<qsizetype>(m_linesLeft - 1, 0);
    const LineCheck::Line line = LineCheck::savedLine(text);
    bytes = line.text.size() + line.endBytes;
    bool keep = line.zeroByte || makesNames;
    bool asksNames = false;
    for (size_t g = 0; g < m_checks.size(); ++g) {
        const LineCheck::Result &r = m_results[g];
        m_checks[g].check(index, line, m_results[g]);
        asksNames = asksNames || r.asksNames;
        keep = keep || asksNames || !r.findings.isEmpty() || !r.keysLeft.empty() || r.unbindsAll || !r.aliases.empty();
    }
    if (!keep)
        return nullptr;

    qsizetype findings = 0;
    qsizetype touches = 0;
    qsizetype aliases = 0;
    for (const LineCheck::Result &r : m_results) {
        findings += r.findings.size();
        touches += qsizetype(r.keysLeft.size());
        aliases += qsizetype(r.aliases.size());
    }
    const qsizetype textBytes = makesNames ? line.text.size() : 0;
    const size_t need = FactsBlock::need(findings, touches, aliases, textBytes);
    if (!m_block || !m_block->fits(need)) {
        // An edit checks a line or two: their block takes only what they need.
        m_block =
            std::make_shared<FactsBlock>(std::max(need, std::min(blockBytes, need + size_t(m_linesLeft) * lineBytes)));
    }
    FactsBlock &block = *m_block;
    LineFacts *facts = &block.newFacts();
    facts->zeroByte = line.zeroByte;
    facts->makesNames = makesNames;
    facts->asksNames = asksNames;
    if (makesNames) {
        const std::span<char> kept = block.take<char>(textBytes);
        std::copy_n(line.text.begin(), textBytes, kept.begin());
        facts->madeText = QByteArrayView(kept.data(), textBytes);
    }
    const std::span<CheckFinding> findingRun = block.take<CheckFinding>(findings);
    const std::span<LineFacts::KeyTouch> touchRun = block.take<LineFacts::KeyTouch>(touches);
    const std::span<LineCheck::AliasDefined> aliasRun = block.take<LineCheck::AliasDefined>(aliases);
    auto finding = findingRun.begin();
    auto touch = touchRun.begin();
    auto alias = aliasRun.begin();
    for (size_t g = 0; g < m_checks.size(); ++g) {
        LineCheck::Result &r = m_results[g];
        finding = std::copy(r.findings.list().cbegin(), r.findings.list().cend(), finding);
        if (r.unbindsAll)
            facts->unbindsAllGames |= quint8(1u << g);
        // A key's first bind comes with the line's first touch of it, so both lists keep one order.
        auto first = r.firstBinds.cbegin();
        for (const LineCheck::KeyLeft &left : r.keysLeft) {
            touch->key = left.key;
            touch->bound = left.bound;
            if (first != r.firstBinds.cend() && first->key == left.key) {
                touch->firstBind = true;
                touch->nameOffset = qint32(first->name.data() - line.text.data());
                touch->nameLength = quint16(first->name.size());
                touch->findingsBefore = qint32(first->findingsBefore);
                ++first;
            }
            ++touch;
        }
        Q_ASSERT(first == r.firstBinds.cend());
        alias = std::move(r.aliases.begin(), r.aliases.end(), alias);
        if (g == 0) {
            facts->secondFindings = qint32(finding - findingRun.begin());
            facts->secondTouches = qint32(touch - touchRun.begin());
            facts->secondAliases = qint32(alias - aliasRun.begin());
        }
    }
    facts->ownFindings = findingRun.data();
    facts->findingCount = qint32(findings);
    facts->keyTouches = touchRun.data();
    facts->touchCount = qint32(touches);
    facts->aliasesDefined = aliasRun.data();
    facts->aliasCount = qint32(aliases);

    const QList<CheckFinding> *own = &m_results[0].findings.list();
    if (m_checks.size() == 2) {
        m_joined.clear();
        m_join.join(m_results[0].findings, m_results[1].findings, m_joined);
        own = &m_joined;
    }
    facts->ownRows = qint32(own->size());
    for (const CheckFinding &f : *own) {
        facts->ownErrors += f.severity == CheckSeverity::Error ? 1 : 0;
        if (!facts->ownWorst || f.severity < *facts->ownWorst)
            facts->ownWorst = f.severity;
    }
    return {m_block, facts};
}

} // namespace vbu
