#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace vbu {

// The directory of a game's pak file, read without trusting a byte of it: the header and
// every entry are checked against the file's real size before anything is read.
class PakFile final
{
    Q_DISABLE_COPY_MOVE(PakFile)

public:
    // Quake takes 2,048 entries, Quake 2 4,096; the larger bound serves both, since reading
    // the directory costs no more than 256 KB either way.
    static constexpr int maxEntries = 4096;
    static constexpr int headerSize = 12;
    static constexpr int entrySize = 64;
    static constexpr int nameSize = 56;

    struct Entry
    {
        QByteArray name; // up to the first NUL, at most 56 bytes
        qint64 offset = 0;
        qint64 length = 0;
    };

    // Quake looks names up as they are spelt, Quake 2 in any case.
    enum class Names { CaseSensitive, CaseInsensitive };

    ~PakFile();

    // Nothing when the file is no regular file, cannot be opened, or its header or directory is
    // damaged.
    static std::unique_ptr<PakFile> open(const QString &path);
    static std::unique_ptr<PakFile> fromBytes(const QByteArray &bytes);

    const QList<Entry> &entries() const { return m_entries; }
    // The first entry of that name, as the games search, or nullptr.
    const Entry *find(QByteArrayView name, Names names) const;
    // An entry's contents; nothing when it lies outside the file, is longer than maxLength or
    // cannot be read.
    std::optional<QByteArray> read(const Entry &entry, qint64 maxLength) const;

private:
    explicit PakFile(std::unique_ptr<QIODevice> device);
    static std::unique_ptr<PakFile> openDevice(std::unique_ptr<QIODevice> device);
    bool readDirectory();

    std::unique_ptr<QIODevice> m_device;
    qint64 m_size = 0;
    QList<Entry> m_entries;
};

} // namespace vbu
