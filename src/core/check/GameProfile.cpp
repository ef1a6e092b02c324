#include "core/check/GameProfile.h"

#include <QVarLengthArray>

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

constexpr qsizetype columnCount = 6;

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// Printable ASCII without blanks, quotes or semicolons: what a script can name unquoted.
bool isValidName(QByteArrayView name)
{
    return !name.isEmpty() &&
           std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < 127 && c != '"' && c != ';'; });
}

std::optional<GameProfile::Kind> kindFromName(QByteArrayView text)
{
    if (text == "command")
        return GameProfile::Kind::Command;
    if (text == "variable")
        return GameProfile::Kind::Variable;
    if (text == "key")
        return GameProfile::Kind::Key;
    return std::nullopt;
}

QString kindName(GameProfile::Kind kind)
{
    switch (kind) {
    case GameProfile::Kind::Command:
        return u"command"_s;
    case GameProfile::Kind::Variable:
        return u"variable"_s;
    case GameProfile::Kind::Key:
        break;
    }
    return u"key"_s;
}

// A number without blanks; toDouble alone would let them through.
bool readBound(QByteArrayView text, std::optional<double> &out)
{
    if (text.isEmpty())
        return true;
    if (std::any_of(text.begin(), text.end(), [](char c) { return c <= ' '; }))
        return false;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (ok)
        out = value;
    return ok;
}

bool readRange(QByteArrayView text, GameProfile::Entry &entry)
{
    const qsizetype dots = text.indexOf("..");
    if (dots < 0 || !readBound(text.first(dots), entry.minimum) || !readBound(text.sliced(dots + 2), entry.maximum))
        return false;
    if (!entry.minimum && !entry.maximum)
        return false;
    return !entry.minimum || !entry.maximum || *entry.minimum <= *entry.maximum;
}

std::optional<QString> utf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

using Rows = std::array<std::vector<int>, 3>;

// Optimal string alignment distance, letter case aside, or bound + 1 once it is sure to exceed
// bound. Only cells within bound of the diagonal are worked out, in rows whose room is reused.
int boundedDistance(QByteArrayView a, QByteArrayView b, int bound, Rows &rows)
{
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    const int far = bound + 1;
    if (std::abs(n - m) > bound)
        return far;
    for (std::vector<int> &row : rows)
        row.assign(size_t(m + 1), far);
    std::vector<int> *older = &rows[0];
    std::vector<int> *previous = &rows[1];
    std::vector<int> *current = &rows[2];
    for (qsizetype j = 0; j <= std::min<qsizetype>(m, bound); ++j)
        (*previous)[size_t(j)] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        const qsizetype from = std::max<qsizetype>(1, i - bound);
        const qsizetype to = std::min<qsizetype>(m, i + bound);
        // The cells just outside the band are read by the next rows.
        (*current)[size_t(from - 1)] = i <= bound ? int(i) : far;
        if (to < m)
            (*current)[size_t(to + 1)] = far;
        int rowBest = (*current)[size_t(from - 1)];
        for (qsizetype j = from; j <= to; ++j) {
            const char x = lower(a[i - 1]);
            const char y = lower(b[j - 1]);
            int d = std::min({(*previous)[size_t(j)] + 1, (*current)[size_t(j - 1)] + 1,
                              (*previous)[size_t(j - 1)] + (x == y ? 0 : 1)});
            if (i > 1 && j > 1 && x == lower(b[j - 2]) && lower(a[i - 2]) == y)
                d = std::min(d, (*older)[size_t(j - 2)] + 1);
            (*current)[size_t(j)] = std::min(d, far);
            rowBest = std::min(rowBest, (*current)[size_t(j)]);
        }
        if (rowBest > bound)
            return far;
        std::swap(older, previous);
        std::swap(previous, current);
    }
    return (*previous)[size_t(m)];
}

// The bytes a name holds, letter case aside, as bits (folded into 64). An edit takes away at most
// one byte a name holds and adds at most one, so names whose bits differ in k places on one side
// are at least k edits apart: most names are ruled out without working out their distance.
quint64 byteMask(QByteArrayView name)
{
    quint64 mask = 0;
    for (const char c : name)
        mask |= quint64(1) << (static_cast<unsigned char>(lower(c)) % 64);
    return mask;
}

// Whether at least count bits are set; quick for the few counts asked.
bool hasBits(quint64 bits, int count)
{
    for (; count > 0 && bits != 0; --count)
        bits &= bits - 1;
    return count == 0;
}

// The line that starts at start, without its CR LF or LF; start moves past it.
QByteArrayView nextLine(QByteArrayView text, qsizetype &start)
{
    qsizetype end = text.indexOf('\n', start);
    if (end < 0)
        end = text.size();
    QByteArrayView line = text.sliced(start, end - start);
    start = end + 1;
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

struct Header
{
    QString name;
    QString title;
    QString source;
    QString base;
    std::optional<bool> commandsCaseSensitive;
    std::optional<bool> variablesCaseSensitive;
};

// One "@key<TAB>value" line; an empty string when it is fine, else the reason it is not.
QString readDirective(QByteArrayView line, Header &header)
{
    const qsizetype tab = line.indexOf('\t');
    if (tab < 0)
        return u"a header line needs a tab between its key and its value"_s;
    const QByteArrayView key = line.sliced(1, tab - 1);
    const std::optional<QString> value = utf8(line.sliced(tab + 1));
    if (!value || value->isEmpty())
        return u"the value of @%1 is missing or not UTF-8 text"_s.arg(QString::fromLatin1(key));
    const auto setText = [&](QString &field) {
        if (!field.isEmpty())
            return u"@%1 is given twice"_s.arg(QString::fromLatin1(key));
        field = *value;
        return QString();
    };
    const auto setCase = [&](std::optional<bool> &field) {
        if (field)
            return u"@%1 is given twice"_s.arg(QString::fromLatin1(key));
        if (*value != "case-sensitive"_L1 && *value != "case-insensitive"_L1)
            return u"@%1 must be case-sensitive or case-insensitive"_s.arg(QString::fromLatin1(key));
        field = *value == "case-sensitive"_L1;
        return QString();
    };
    if (key == "profile")
        return setText(header.name);
    if (key == "title")
        return setText(header.title);
    if (key == "source")
        return setText(header.source);
    if (key == "base")
        return setText(header.base);
    if (key == "commands")
        return setCase(header.commandsCaseSensitive);
    if (key == "variables")
        return setCase(header.variablesCaseSensitive);
    return u"unknown header key @%1"_s.arg(QString::fromLatin1(key));
}

QString missingHeader(const Header &header)
{
    if (header.name.isEmpty())
        return u"@profile"_s;
    if (header.title.isEmpty())
        return u"@title"_s;
    if (header.source.isEmpty())
        return u"@source"_s;
    if (!header.commandsCaseSensitive)
        return u"@commands"_s;
    if (!header.variablesCaseSensitive)
        return u"@variables"_s;
    return QString();
}

} // namespace

std::optional<GameProfile> GameProfile::parse(QByteArrayView text, const QString &fileName, const GameProfile *base,
                                              QString *error)
{
    GameProfile profile;
    Header header;
    bool inEntries = false;
    qsizetype lineNumber = 0;
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = fileName + u':' + QString::number(lineNumber) + u": "_s + reason;
        return std::nullopt;
    };
    const auto startEntries = [&]() {
        const QString missing = missingHeader(header);
        if (!missing.isEmpty())
            return u"the header lacks %1 before the first entry"_s.arg(missing);
        if (header.base != (base ? base->name() : QString()))
            return header.base.isEmpty() ? u"the profile names no base, but was given %1"_s.arg(base->name())
                                         : u"the base profile %1 is needed and was not given"_s.arg(header.base);
        profile.m_name = header.name;
        profile.m_title = header.title;
        profile.m_source = header.source;
        profile.m_baseName = header.base;
        profile.m_commandsCaseSensitive = *header.commandsCaseSensitive;
        profile.m_variablesCaseSensitive = *header.variablesCaseSensitive;
        inEntries = true;
        return QString();
    };

    for (qsizetype start = 0; start < text.size();) {
        const QByteArrayView line = nextLine(text, start);
        ++lineNumber;
        if (line.contains('\0'))
            return fail(u"the line holds a zero byte; this is not a profile file"_s);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith('@')) {
            if (inEntries)
                return fail(u"a header line comes after the entries"_s);
            const QString reason = readDirective(line, header);
            if (!reason.isEmpty())
                return fail(reason);
            continue;
        }
        if (!inEntries) {
            const QString reason = startEntries();
            if (!reason.isEmpty())
                return fail(reason);
        }

        std::array<QByteArrayView, columnCount> fields;
        qsizetype column = 0;
        for (qsizetype from = 0;; ++column) {
            const qsizetype tab = line.indexOf('\t', from);
            if (column < columnCount)
                fields[size_t(column)] = line.sliced(from, (tab < 0 ? line.size() : tab) - from);
            if (tab < 0)
                break;
            from = tab + 1;
        }
        if (column + 1 != columnCount)
            return fail(u"expected %1 columns separated by tabs, found %2"_s.arg(columnCount).arg(column + 1));

        Entry entry;
        entry.name = fields[0].toByteArray();
        if (!isValidName(entry.name))
            return fail(u"'%1' is not a name a script can use"_s.arg(QString::fromLatin1(entry.name)));
        const std::optional<Kind> kind = kindFromName(fields[1]);
        if (!kind)
            return fail(u"the kind must be command, variable or key, not '%1'"_s.arg(QString::fromLatin1(fields[1])));
        entry.kind = *kind;
        const QByteArrayView defaultField = fields[2];
        if (entry.kind != Kind::Variable) {
            if (!defaultField.isEmpty() || !fields[3].isEmpty())
                return fail(u"only variables have a default or a range"_s);
        } else if (defaultField.size() >= 2 && defaultField.startsWith('"') && defaultField.endsWith('"')) {
            entry.defaultValue = defaultField.sliced(1, defaultField.size() - 2).toByteArray();
        } else if (defaultField != "*") {
            return fail(u"a variable's default must be in double quotes, or * when the game works it out"_s);
        }
        if (!fields[3].isEmpty() && !readRange(fields[3], entry))
            return fail(
                u"the range must be MIN..MAX with MIN at most MAX, not '%1'"_s.arg(QString::fromLatin1(fields[3])));
        entry.origin = fields[4].toByteArray();
        const std::optional<QString> description = utf8(fields[5]);
        if (!description)
            return fail(u"the description is not UTF-8 text"_s);
        entry.description = *description;
        if (entry.description.isEmpty() && entry.kind != Kind::Key) {
            const Entry *inherited = base ? base->find(entry.name, entry.kind) : nullptr;
            if (!inherited || inherited->description.isEmpty())
                return fail(u"%1 %2 has no description%3"_s.arg(kindName(entry.kind), QString::fromLatin1(entry.name),
                                                                base ? u", nor has the base profile"_s : QString()));
            entry.description = inherited->description;
        }
        if (!profile.addEntry(std::move(entry)))
            return fail(u"this %1 is listed twice"_s.arg(kindName(*kind)));
    }
    if (!inEntries)
        return fail(u"the profile lists no commands, variables or keys"_s);
    return profile;
}

QString GameProfile::declaredBase(QByteArrayView text)
{
    for (qsizetype start = 0; start < text.size();) {
        const QByteArrayView line = nextLine(text, start);
        if (line.startsWith("@base\t"))
            return QString::fromUtf8(line.sliced(6));
        if (!line.isEmpty() && !line.startsWith('#') && !line.startsWith('@'))
            break;
    }
    return QString();
}

GameProfile GameProfile::unite(const QString &name, const QString &title, const GameProfile &first,
                               const GameProfile &second)
{
    GameProfile out;
    out.m_name = name;
    out.m_title = title;
    out.m_source = first.m_source + u"; "_s + second.m_source;
    out.m_commandsCaseSensitive = first.m_commandsCaseSensitive;
    out.m_variablesCaseSensitive = first.m_variablesCaseSensitive;
    out.m_entries.reserve(first.m_entries.size() + second.m_entries.size());
    for (const GameProfile *part : {&first, &second}) {
        for (const Entry &entry : part->m_entries)
            out.addEntry(entry);
    }
    return out;
}

void GameProfile::writeKey(char *to, QByteArrayView name, Kind kind) const
{
    const bool caseSensitive = kind == Kind::Command    ? m_commandsCaseSensitive
                               : kind == Kind::Variable ? m_variablesCaseSensitive
                                                        : false;
    *to++ = char('0' + int(kind));
    for (const char c : name)
        *to++ = caseSensitive ? c : lower(c);
}

bool GameProfile::addEntry(Entry entry)
{
    QByteArray key(entry.name.size() + 1, Qt::Uninitialized);
    writeKey(key.data(), entry.name, entry.kind);
    if (m_index.contains(key))
        return false;
    m_index.insert(key, m_entries.size());
    m_masks.push_back(byteMask(entry.name));
    m_entries.append(std::move(entry));
    return true;
}

const GameProfile::Entry *GameProfile::find(QByteArrayView name, Kind kind) const
{
    // Looked up a million times in a check: the key is made without allocating.
    QVarLengthArray<char, 64> key(name.size() + 1);
    writeKey(key.data(), name, kind);
    const auto it = m_index.constFind(QByteArray::fromRawData(key.constData(), key.size()));
    return it == m_index.cend() ? nullptr : &m_entries.at(*it);
}

const GameProfile::Entry *GameProfile::command(QByteArrayView name) const
{
    return find(name, Kind::Command);
}

const GameProfile::Entry *GameProfile::variable(QByteArrayView name) const
{
    return find(name, Kind::Variable);
}

const GameProfile::Entry *GameProfile::key(QByteArrayView name) const
{
    return find(name, Kind::Key);
}

std::optional<QByteArray> GameProfile::nearestName(QByteArrayView name) const
{
    // Short names have few near neighbours that are not plain different words.
    const int bound = name.size() <= 3 ? 1 : name.size() <= 6 ? 2 : 3;
    int best = bound + 1;
    const Entry *nearest = nullptr;
    const quint64 mask = byteMask(name);
    Rows rows;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const Entry &entry = m_entries.at(i);
        const quint64 other = m_masks[size_t(i)];
        if (entry.kind == Kind::Key || hasBits(mask & ~other, best) || hasBits(other & ~mask, best))
            continue;
        const int distance = boundedDistance(name, entry.name, std::min(bound, best - 1), rows);
        if (distance < best) {
            best = distance;
            nearest = &entry;
            if (best == 0)
                break;
        }
    }
    if (!nearest)
        return std::nullopt;
    return nearest->name;
}

} // namespace vbu
