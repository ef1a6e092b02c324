#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace vbu {

// What one game or source port knows: its console commands and variables, with the default
// and a description of each, and the key names bind accepts. Read from a profile file
// (data/profiles/NAME.tsv; the file's own header describes its columns).
//
//   GameProfiles::Load load = GameProfiles::load(u"quake2"_s);
//   if (const GameProfile::Entry *e = load.profile->variable("cl_maxfps")) ... e->defaultValue
class GameProfile final
{
public:
    enum class Kind { Command, Variable, Key };

    struct Entry
    {
        QByteArray name; // as the game spells it
        Kind kind = Kind::Command;
        // Variables only; nothing for commands, keys and values the game works out when it starts.
        std::optional<QByteArray> defaultValue;
        std::optional<double> minimum; // the game keeps the value within these bounds
        std::optional<double> maximum;
        QByteArray origin; // where the name comes from: source files, or the ports that have it
        QString description;
    };

    // A profile file holds a few thousand lines, well under a MiB; anything past this is refused.
    static constexpr qint64 maxFileSize = qint64(4) * 1024 * 1024;

    // Parses a profile file's text. An entry without a description takes the one of base's
    // entry of the same name and kind; the file names that base profile in its header.
    // Nothing, with error set to "FILE:LINE: reason", when a line is malformed.
    static std::optional<GameProfile> parse(QByteArrayView text, const QString &fileName, const GameProfile *base,
                                            QString *error);
    // The base profile a profile file's header names, read before the file is parsed; empty
    // when it names none.
    static QString declaredBase(QByteArrayView text);
    // Every entry of first, then those of second that first lacks.
    static GameProfile unite(const QString &name, const QString &title, const GameProfile &first,
                             const GameProfile &second);

    const QString &name() const { return m_name; }
    const QString &title() const { return m_title; }
    const QString &source() const { return m_source; }
    // The profile whose descriptions this one shares; empty when there is none.
    const QString &baseName() const { return m_baseName; }
    bool commandsCaseSensitive() const { return m_commandsCaseSensitive; }
    bool variablesCaseSensitive() const { return m_variablesCaseSensitive; }

    // In the file's order.
    const QList<Entry> &entries() const { return m_entries; }
    // Lookups follow the game's rules for letter case; key names of more than one character
    // match in any case.
    const Entry *command(QByteArrayView name) const;
    const Entry *variable(QByteArrayView name) const;
    const Entry *key(QByteArrayView name) const;
    // The command or variable spelled most like name, letter case aside, when one is only a
    // few edits away (a wrong, missing, extra or swapped letter each count one).
    std::optional<QByteArray> nearestName(QByteArrayView name) const;

private:
    GameProfile() = default;
    // The index's key for name: the kind's digit, then the name as the game compares it.
    void writeKey(char *to, QByteArrayView name, Kind kind) const;
    bool addEntry(Entry entry);
    const Entry *find(QByteArrayView name, Kind kind) const;

    QString m_name;
    QString m_title;
    QString m_source;
    QString m_baseName;
    bool m_commandsCaseSensitive = false;
    bool m_variablesCaseSensitive = true;
    QList<Entry> m_entries;
    // Kind and lookup key to the entry's index.
    QHash<QByteArray, qsizetype> m_index;
    // The bytes each entry's name holds, as byteMask() in GameProfile.cpp sets them out.
    std::vector<quint64> m_masks;
};

} // namespace vbu
