#include "core/funname/GameFontFinder.h"

#include "core/app/BoundedFile.h"
#include "core/funname/PakFile.h"
#include "core/funname/PcxImage.h"
#include "core/funname/WadFile.h"

#include <QDir>
#include <QFileInfo>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

// Files larger than these are not what we look for (the real ones are a fraction of them); the
// bounds keep a damaged directory from making us read a whole pak, and a loose file that is
// huge or endless from being read at all.
constexpr qint64 maxWadSize = 16 * 1024 * 1024;
constexpr qint64 maxPaletteSize = 64 * 1024;
constexpr qint64 maxPcxSize = 4 * 1024 * 1024;

enum class Game { Quake, Quake2 };

// The entry of a folder spelt like name in any case; the exact spelling wins over others.
QString childPath(const QString &folder, const QString &name, QDir::Filters filters)
{
    const QDir dir(folder);
    const QStringList entries = dir.entryList(filters | QDir::Hidden, QDir::Name);
    if (entries.contains(name))
        return dir.filePath(name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return {};
}

// A path of '/'-separated parts below a folder, each part in any case.
QString resolve(const QString &folder, const QString &relative)
{
    const QStringList parts = relative.split(u'/');
    QString at = folder;
    for (qsizetype i = 0; i < parts.size() && !at.isEmpty(); ++i)
        at = childPath(at, parts[i], i + 1 < parts.size() ? QDir::Dirs | QDir::NoDotAndDotDot : QDir::Files);
    return at;
}

// What the game would find under a name: the paks in the game's search order, then the
// loose file in the folder.
class GameFiles
{
public:
    static GameFiles ofFolder(const QString &folder, Game game)
    {
        GameFiles files(game);
        files.m_folder = folder;
        // Quake stops at the first missing number; Quake 2 looks at pak0 to pak9.
        for (int i = 0; game == Game::Quake2 ? i < 10 : i < 100; ++i) {
            const QString path = childPath(folder, u"pak%1.pak"_s.arg(i), QDir::Files);
            if (path.isEmpty()) {
                if (game == Game::Quake)
                    break;
                continue;
            }
            // A damaged pak is passed over; the game would stop there.
            if (std::unique_ptr<PakFile> pak = PakFile::open(path))
                files.m_paks.insert(files.m_paks.begin(), {path, std::move(pak)});
        }
        return files;
    }

    static GameFiles ofPak(const QString &path, std::unique_ptr<PakFile> pak, Game game)
    {
        GameFiles files(game);
        files.m_paks.push_back({path, std::move(pak)});
        return files;
    }

    struct File
    {
        QByteArray bytes;
        QString origin;
    };

    // The first file of that name; nothing when it is missing, too big or unreadable.
    std::optional<File> read(const QString &name, qint64 maxSize) const
    {
        const QByteArray latin1 = name.toLatin1();
        const PakFile::Names names =
            m_game == Game::Quake ? PakFile::Names::CaseSensitive : PakFile::Names::CaseInsensitive;
        for (const Pak &pak : m_paks) {
            if (const PakFile::Entry *entry = pak.file->find(latin1, names)) {
                std::optional<QByteArray> bytes = pak.file->read(*entry, maxSize);
                if (!bytes)
                    return std::nullopt;
                return File{*std::move(bytes), pak.path};
            }
        }
        if (m_folder.isEmpty())
            return std::nullopt;
        const QString path = resolve(m_folder, name);
        if (path.isEmpty())
            return std::nullopt;
        BoundedFile::Result file = BoundedFile::read(path, maxSize, u"a game file");
        if (file.status != BoundedFile::Status::Ok)
            return std::nullopt;
        return File{std::move(file.bytes), path};
    }

    std::optional<GameFontFinder::Found> quakeFont() const
    {
        const std::optional<File> wad = read(u"gfx.wad"_s, maxWadSize);
        const std::optional<File> palette = read(u"gfx/palette.lmp"_s, maxPaletteSize);
        if (!wad || !palette)
            return std::nullopt;
        GameFontFinder::Found found;
        found.sheet.pixels = WadFile::conchars(wad->bytes);
        const std::optional<std::array<QRgb, 256>> colours = ConsoleFont::paletteFromRgb(palette->bytes);
        if (found.sheet.pixels.isEmpty() || !colours)
            return std::nullopt;
        found.sheet.palette = *colours;
        found.sheet.transparent = 0;
        found.source = ConsoleFont::Source::Quake;
        found.path = wad->origin;
        return found;
    }

    std::optional<GameFontFinder::Found> quake2Font() const
    {
        const std::optional<File> pcx = read(u"pics/conchars.pcx"_s, maxPcxSize);
        if (!pcx)
            return std::nullopt;
        std::optional<PcxImage> image = PcxImage::decode(pcx->bytes);
        // The glyph grid needs the 128 by 128 picture the games draw from.
        if (!image || image->width != ConsoleFont::Sheet::side || image->height != ConsoleFont::Sheet::side)
            return std::nullopt;
        GameFontFinder::Found found;
        found.sheet.pixels = std::move(image->pixels);
        found.sheet.palette = image->palette;
        found.sheet.transparent = 255;
        found.source = ConsoleFont::Source::Quake2;
        found.path = pcx->origin;
        return found;
    }

    std::optional<GameFontFinder::Found> font() const { return m_game == Game::Quake ? quakeFont() : quake2Font(); }

private:
    explicit GameFiles(Game game) : m_game(game) {}

    struct Pak
    {
        QString path;
        std::unique_ptr<PakFile> file;
    };

    Game m_game;
    QString m_folder;
    std::vector<Pak> m_paks; // in search order
};

struct Candidate
{
    Game game;
    QString path;
};

// What a place may hold, in the order to try.
QList<Candidate> candidatesOf(const QString &place)
{
    const QFileInfo info(place);
    if (info.isFile())
        return {{Game::Quake, place}, {Game::Quake2, place}};
    if (!info.isDir())
        return {};
    QList<Candidate> out;
    const QString id1 = childPath(place, u"id1"_s, QDir::Dirs | QDir::NoDotAndDotDot);
    const QString baseq2 = childPath(place, u"baseq2"_s, QDir::Dirs | QDir::NoDotAndDotDot);
    if (!id1.isEmpty())
        out.append({Game::Quake, id1});
    if (!baseq2.isEmpty())
        out.append({Game::Quake2, baseq2});
    if (!out.isEmpty())
        return out;
    // A game folder itself; its name tells the game when it is one of the standard ones.
    const QString name = info.fileName();
    if (name.compare("baseq2"_L1, Qt::CaseInsensitive) != 0)
        out.append({Game::Quake, place});
    if (name.compare("id1"_L1, Qt::CaseInsensitive) != 0)
        out.append({Game::Quake2, place});
    return out;
}

std::optional<GameFontFinder::Found> tryCandidate(const Candidate &candidate)
{
    if (QFileInfo(candidate.path).isFile()) {
        std::unique_ptr<PakFile> pak = PakFile::open(candidate.path);
        if (!pak)
            return std::nullopt;
        return GameFiles::ofPak(candidate.path, std::move(pak), candidate.game).font();
    }
    return GameFiles::ofFolder(candidate.path, candidate.game).font();
}

} // namespace

QStringList GameFontFinder::places()
{
    const QString chosen = qEnvironmentVariable(environmentVariable);
    if (!chosen.isEmpty())
        return {chosen};
    return standardPlaces(QDir::homePath());
}

QStringList GameFontFinder::standardPlaces(const QString &home)
{
    QStringList out = {
        u"/usr/share/games/quake"_s,
        u"/usr/share/games/quake2"_s,
        home + "/.quakespasm"_L1,
        home + "/.yq2"_L1,
        home + "/.local/share/Steam/steamapps/common/Quake/id1"_L1,
        home + "/.steam/steam/steamapps/common/Quake/id1"_L1,
        home + "/.local/share/Steam/steamapps/common/Quake/rerelease/id1"_L1,
        home + "/.steam/steam/steamapps/common/Quake/rerelease/id1"_L1,
        home + "/.local/share/Steam/steamapps/common/Quake 2/baseq2"_L1,
        home + "/.steam/steam/steamapps/common/Quake 2/baseq2"_L1,
    };
#ifdef Q_OS_WIN
    out += {u"C:/Quake"_s, u"C:/Quake2"_s, u"C:/Program Files (x86)/Steam/steamapps/common/Quake"_s,
            u"C:/Program Files (x86)/Steam/steamapps/common/Quake 2"_s};
#endif
    return out;
}

std::optional<GameFontFinder::Found> GameFontFinder::find(const QStringList &places)
{
    QList<Candidate> quake;
    QList<Candidate> quake2;
    for (const QString &place : places) {
        for (const Candidate &candidate : candidatesOf(place))
            (candidate.game == Game::Quake ? quake : quake2).append(candidate);
    }
    for (const Candidate &candidate : quake + quake2) {
        if (std::optional<Found> found = tryCandidate(candidate))
            return found;
    }
    return std::nullopt;
}

std::optional<GameFontFinder::Found> GameFontFinder::fromQuakeFolder(const QString &folder)
{
    return GameFiles::ofFolder(folder, Game::Quake).quakeFont();
}

std::optional<GameFontFinder::Found> GameFontFinder::fromQuake2Folder(const QString &folder)
{
    return GameFiles::ofFolder(folder, Game::Quake2).quake2Font();
}

std::optional<GameFontFinder::Found> GameFontFinder::fromPak(const QString &path)
{
    for (const Game game : {Game::Quake, Game::Quake2}) {
        if (std::optional<Found> found = tryCandidate({game, path}))
            return found;
    }
    return std::nullopt;
}

} // namespace vbu
