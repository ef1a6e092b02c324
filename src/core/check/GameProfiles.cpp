#include "core/check/GameProfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

#include <algorithm>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace vbu::GameProfiles {

namespace {

// A base profile may itself have a base; a longer chain is surely a loop.
constexpr int maxBaseDepth = 4;

bool isProfileName(const QString &name)
{
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'-';
    });
}

// Read with a limit, so that a huge file, or one that never ends (a device, a pipe, a file of
// /proc), cannot stall the program or fill the memory.
std::optional<QByteArray> readFile(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = path + u": no such file"_s;
        return std::nullopt;
    }
    if (!info.isFile()) {
        *error = path + u": not an ordinary file"_s;
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = path + u": "_s + file.errorString();
        return std::nullopt;
    }
    QByteArray bytes = file.read(GameProfile::maxFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = path + u": "_s + file.errorString();
        return std::nullopt;
    }
    if (bytes.size() > GameProfile::maxFileSize) {
        *error = path +
                 u": larger than %1 MiB, too large for a game profile"_s.arg(GameProfile::maxFileSize / (1024 * 1024));
        return std::nullopt;
    }
    return bytes;
}

// The files a profile was read from, with their bytes as read.
using Read = std::vector<std::pair<QString, QByteArray>>;

Load loadFile(const QString &name, const QString &directory, int depth, Read &read)
{
    Load out;
    if (!isProfileName(name)) {
        out.error = u"'%1' is not a game profile name"_s.arg(name);
        return out;
    }
    const QString path = QDir(directory).filePath(name + u".tsv"_s);
    const std::optional<QByteArray> bytes = readFile(path, &out.error);
    if (!bytes)
        return out;
    read.emplace_back(path, *bytes);
    std::optional<GameProfile> base;
    const QString baseName = GameProfile::declaredBase(*bytes);
    if (!baseName.isEmpty()) {
        if (depth >= maxBaseDepth) {
            out.error = path + u": the chain of base profiles is too long"_s;
            return out;
        }
        Load loaded = loadFile(baseName, directory, depth + 1, read);
        if (!loaded.profile) {
            out.error = std::move(loaded.error);
            return out;
        }
        base = std::move(loaded.profile);
    }
    out.profile = GameProfile::parse(*bytes, path, base ? &*base : nullptr, &out.error);
    if (out.profile && out.profile->name() != name) {
        out.error = path + u": the file says it is the profile %1"_s.arg(out.profile->name());
        out.profile.reset();
    }
    return out;
}

} // namespace

QString directory()
{
    return directory(QCoreApplication::applicationDirPath());
}

QString directory(const QString &programDir)
{
    QString beside = programDir + u"/profiles"_s;
    const QString installed = programDir + u"/../share/vbu/profiles"_s;
    if (!QFileInfo(beside).isDir() && QFileInfo(installed).isDir())
        return QFileInfo(installed).absoluteFilePath();
    return beside;
}

QStringList names(const QString &directory)
{
    QStringList out;
    for (const QFileInfo &info : QDir(directory).entryInfoList({u"*.tsv"_s}, QDir::Files, QDir::Name)) {
        if (isProfileName(info.completeBaseName()))
            out.append(info.completeBaseName());
    }
    out.append(bothName);
    return out;
}

Load load(const QString &name, const QString &directory)
{
    // The check window, the Key Map and the tool tips each ask for profiles, and a port's takes
    // milliseconds to read: one read stays for as long as its files keep the same bytes.
    struct Kept
    {
        Read read;
        Load load;
    };
    static QMutex mutex;
    static QHash<QString, Kept> kept;
    const QMutexLocker lock(&mutex);
    const QString key = directory + u'\n' + name;
    const auto same = [](const Read &read) {
        return std::all_of(read.cbegin(), read.cend(), [](const auto &file) {
            QString error;
            return readFile(file.first, &error) == file.second;
        });
    };
    if (const auto found = kept.constFind(key); found != kept.cend() && same(found->read))
        return found->load;
    Read read;
    Load out;
    if (name != bothName) {
        out = loadFile(name, directory, 0, read);
    } else {
        Load quake = loadFile(u"quake"_s, directory, 0, read);
        Load quake2 = quake.profile ? loadFile(u"quake2"_s, directory, 0, read) : Load{};
        if (!quake.profile)
            out = std::move(quake);
        else if (!quake2.profile)
            out = std::move(quake2);
        else
            out.profile = GameProfile::unite(bothName, u"Quake and Quake 2"_s, *quake.profile, *quake2.profile);
    }
    // What could not be read is tried again next time.
    if (out.profile)
        kept.insert(key, Kept{std::move(read), out});
    return out;
}

} // namespace vbu::GameProfiles
