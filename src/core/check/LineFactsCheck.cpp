#include "core/check/LineFactsCheck.h"

#include <algorithm>

namespace vbu {

namespace {

const GameProfile *profileAt(const CheckTarget &target, int game)
{
    return LineFacts::gameAt(target.game, game) == CheckGame::Quake ? target.quakeProfile : target.quake2Profile;
}

} // namespace

namespace {

// A large page's worth.
constexpr auto blockLines = qsizetype(LargePages::pageSize / sizeof(LineFacts));
constexpr qsizetype textPiece = 65536;

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

LineFacts &LineFactsCheck::newFacts()
{
    // A block never grows, so the facts in it stay where they are.
    if (!m_block || m_block->facts.size() == m_block->facts.capacity()) {
        m_block = std::make_shared<Block>();
        m_block->facts.reserve(size_t(std::clamp<qsizetype>(m_linesLeft, 1, blockLines)));
    }
    return m_block->facts.emplace_back();
}

// A copy of text in the current block, in pieces that never move.
QByteArrayView LineFactsCheck::keepText(QByteArrayView text)
{
    Block &block = *m_block;
    if (text.size() > block.textRoom) {
        // An edit checks a line or two: their block keeps only what they need.
        block.textRoom = std::max(text.size(), std::min(textPiece, (m_linesLeft + 1) * 64));
        block.texts.push_back(std::make_unique_for_overwrite<char[]>(size_t(block.textRoom)));
        block.textFree = block.texts.back().get();
    }
    char *const to = block.textFree;
    std::copy(text.begin(), text.end(), to);
    block.textFree += text.size();
    block.textRoom -= text.size();
    return {to, text.size()};
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

    LineFacts *facts = &newFacts();
    facts->zeroByte = line.zeroByte;
    facts->makesNames = makesNames;
    if (makesNames)
        facts->madeText = keepText(line.text);
    facts->asksNames = asksNames;
    for (size_t g = 0; g < m_checks.size(); ++g) {
        const LineCheck::Result &r = m_results[g];
        facts->ownFindings.append(r.findings.list());
        if (r.unbindsAll)
            facts->unbindsAllGames |= quint8(1u << g);
        // A key's first bind comes with the line's first touch of it, so both lists keep one order.
        auto first = r.firstBinds.cbegin();
        for (const LineCheck::KeyLeft &left : r.keysLeft) {
            LineFacts::KeyTouch touch;
            touch.key = left.key;
            touch.bound = left.bound;
            if (first != r.firstBinds.cend() && first->key == left.key) {
                touch.firstBind = true;
                touch.nameOffset = qint32(first->name.data() - line.text.data());
                touch.nameLength = quint16(first->name.size());
                touch.findingsBefore = qint32(first->findingsBefore);
                ++first;
            }
            facts->keyTouches.push_back(touch);
        }
        Q_ASSERT(first == r.firstBinds.cend());
        facts->aliasesDefined.insert(facts->aliasesDefined.end(), r.aliases.cbegin(), r.aliases.cend());
        if (g == 0) {
            facts->secondFindings = facts->ownFindings.size();
            facts->secondTouches = facts->keyTouches.size();
            facts->secondAliases = facts->aliasesDefined.size();
        }
    }

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
