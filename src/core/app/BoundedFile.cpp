#include "core/app/BoundedFile.h"

#include "core/app/LargePageAllocator.h"

#include <QFile>
#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

QString notAFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return u"It is a folder, not a file."_s;
    if (S_ISFIFO(mode))
        return u"It is a named pipe, not a file."_s;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return u"It is a device, not a file."_s;
    return u"It is not an ordinary file."_s;
}

enum class Outcome { Whole, TooLarge, Failed };

// Reads to the end of the file: at most limit bytes, and one page more to learn that it goes on
// (whole pages, since some /proc files refuse reads of odd sizes). A file of the size it reports
// is read straight into a buffer of that size; one that grows meanwhile, or reports nothing, is
// read on in steps.
Outcome readUpTo(QFile &file, qint64 limit, QByteArray &bytes)
{
    bytes.resize(qsizetype(file.size()));
    // Memory no one has touched yet: the first write to each 4 KiB page of it would cost a fault.
    LargePages::prefer(bytes.data(), size_t(bytes.size()), true);
    qsizetype have = 0;
    for (;;) {
        if (have == bytes.size()) {
            // Full: look for more before growing, so a file of known size is never copied.
            char probe[4096];
            const qint64 got = file.read(probe, sizeof probe);
            if (got < 0)
                return Outcome::Failed;
            if (got == 0)
                break;
            if (got > limit - have)
                return Outcome::TooLarge;
            // Grows by half, in whole pages.
            const qsizetype step = std::max<qsizetype>(have / 2, 1 << 16) & ~qsizetype(sizeof probe - 1);
            bytes.resize(qsizetype(std::min<qint64>(limit, have + step)));
            std::memcpy(bytes.data() + have, probe, size_t(got));
            have += qsizetype(got);
            continue;
        }
        const qint64 got = file.read(bytes.data() + have, bytes.size() - have);
        if (got < 0)
            return Outcome::Failed;
        if (got == 0)
            break;
        have += qsizetype(got);
    }
    bytes.truncate(have);
    if (bytes.capacity() - have > have / 16)
        bytes.squeeze();
    return Outcome::Whole;
}

} // namespace

BoundedFile::Status BoundedFile::open(const QString &path, QFile &file, QString *error)
{
    // Without O_NONBLOCK, opening a named pipe waits for a writer that may never come.
    int fd = -1;
    do
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    QString why;
    Status status = Status::Ok;
    struct stat info = {};
    if (fd < 0) {
        const int cause = errno;
        why = qt_error_string(cause);
        status = cause == ENOENT || cause == ENOTDIR ? Status::Missing : Status::Unopened;
    } else if (::fstat(fd, &info) != 0) {
        why = qt_error_string(errno);
        status = Status::Unreadable;
    } else if (!S_ISREG(info.st_mode)) {
        why = notAFile(info.st_mode);
        status = S_ISDIR(info.st_mode) ? Status::Missing : Status::Unreadable;
    } else if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        why = file.errorString();
        status = Status::Unreadable;
    }
    if (fd >= 0 && status != Status::Ok)
        ::close(fd);
    if (error)
        *error = why;
    return status;
}

BoundedFile::Result BoundedFile::read(const QString &path, qint64 limit, QStringView what)
{
    Result result;
    QFile file;
    result.status = open(path, file, &result.error);
    if (result.status != Status::Ok)
        return result;
    // A regular file reports its true size; past the limit it is refused unread.
    const Outcome outcome = file.size() > limit ? Outcome::TooLarge : readUpTo(file, limit, result.bytes);
    if (outcome == Outcome::Whole)
        return result;
    result.status = Status::Unreadable;
    result.bytes = QByteArray();
    result.error = outcome == Outcome::Failed
                       ? file.errorString()
                       : u"The file is larger than %1, too large for %2."_s.arg(
                             QLocale::c().formattedDataSize(limit, 0, QLocale::DataSizeIecFormat), what);
    return result;
}

} // namespace vbu
