#include "core/script/FileReplacer.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

const QString unchanged = u"It was not changed."_s;
const QString incomplete = u"It may now be incomplete; save again once the cause is put right."_s;

QString causeOf(int error)
{
    switch (error) {
    case ENOSPC:
        return u"The disk is full."_s;
    case EDQUOT:
        return u"The disk quota is used up."_s;
    case EFBIG:
        return u"The file would be larger than the file-size limit allows."_s;
    case EACCES:
    case EPERM:
        return u"You do not have permission to write it."_s;
    case EROFS:
        return u"It is on a read-only disk."_s;
    case ELOOP:
        return u"Its path goes round a loop of symbolic links."_s;
    case ENAMETOOLONG:
        return u"Its name is too long."_s;
    case ENOENT:
        return u"Its folder does not exist."_s;
    case ENOTDIR:
        return u"A part of its path is not a folder."_s;
    case EISDIR:
        return u"It is a folder, not a file."_s;
    case EIO:
        return u"The disk reported an input/output error."_s;
    case ETXTBSY:
        return u"It is a program that is running."_s;
    case EMFILE:
    case ENFILE:
        return u"Too many files are open."_s;
    default:
        return QString::fromLocal8Bit(std::strerror(error)) + u'.';
    }
}

// Only regular files take a script; opening a pipe would even wait for a reader.
QString refusal(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return causeOf(EISDIR);
    if (S_ISFIFO(mode))
        return u"It is a named pipe (FIFO), not a file."_s;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return u"It is a device, not a file."_s;
    if (S_ISSOCK(mode))
        return u"It is a socket, not a file."_s;
    return u"It is not a regular file."_s;
}

// Copies every extended attribute, access control lists among them; false when one cannot be
// reproduced.
bool copyAttributes(const QByteArray &from, int to)
{
    ssize_t length = ::listxattr(from.constData(), nullptr, 0);
    if (length < 0)
        return errno == ENOTSUP; // the file system holds none
    QByteArray names(length, '\0');
    length = ::listxattr(from.constData(), names.data(), size_t(names.size()));
    if (length < 0)
        return false;
    names.truncate(length);
    for (const QByteArray &name : names.split('\0')) {
        if (name.isEmpty())
            continue;
        ssize_t size = ::getxattr(from.constData(), name.constData(), nullptr, 0);
        if (size < 0)
            return false;
        QByteArray value(size, '\0');
        size = ::getxattr(from.constData(), name.constData(), value.data(), size_t(value.size()));
        if (size < 0 || ::fsetxattr(to, name.constData(), value.constData(), size_t(size), 0) != 0)
            return false;
    }
    return true;
}

qsizetype nameStart(const QByteArray &path)
{
    return path.lastIndexOf('/') + 1;
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype start = nameStart(path);
    return start == 0 ? "."_ba : start == 1 ? "/"_ba : path.left(start - 1);
}

// Written by the kernel from a buffer in a loop, as a short write may leave a rest.
bool writeAll(int fd, QByteArrayView bytes, bool *wroteAny)
{
    const char *at = bytes.data();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t done = ::write(fd, at, size_t(left));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            if (done == 0)
                errno = EIO;
            return false;
        }
        *wroteAny = true;
        at += done;
        left -= done;
    }
    return true;
}

} // namespace

FileReplacer::FileReplacer(const QString &path) : m_path(path) {}

FileReplacer::~FileReplacer()
{
    discard();
}

bool FileReplacer::begin(qint64 size)
{
    m_size = size;
    const QByteArray named = QFile::encodeName(m_path);
    if (named.isEmpty())
        return fail(u"No file name was given."_s);
    struct stat old = {};
    if (::lstat(named.constData(), &old) != 0) {
        if (errno != ENOENT)
            return fail(errno);
        m_target = named;
        return openBeside(nullptr);
    }
    m_existed = true;
    m_target = named;
    if (S_ISLNK(old.st_mode)) {
        if (::stat(named.constData(), &old) != 0)
            return fail(errno == ENOENT ? u"It is a symbolic link to a file that does not exist."_s : causeOf(errno));
        char *const real = ::realpath(named.constData(), nullptr);
        if (!real)
            return fail(errno);
        m_target = real;
        std::free(real);
    }
    if (const QString refused = refusal(old.st_mode); !refused.isEmpty())
        return fail(refused);
    if (::faccessat(AT_FDCWD, m_target.constData(), W_OK, AT_EACCESS) != 0)
        return fail(errno);
    // A second hard link would keep the old content; then only a write in place reaches both.
    if (old.st_nlink == 1 && openBeside(&old))
        return true;
    return openInPlace();
}

// A new file, or one that may take the old one's place: in the same folder, so the rename is atomic.
bool FileReplacer::openBeside(const struct stat *old)
{
    const qsizetype start = nameStart(m_target);
    const QByteArray stem = m_target.left(start) + '.' + m_target.mid(start, 200) + '~';
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_beside = stem + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        m_fd = ::open(m_beside.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, old ? 0600 : 0666);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        const int error = errno;
        m_beside.clear();
        // An existing file can still be written in place, in a folder closed to new files.
        return old ? false : fail(error);
    }
    if (old && !takeOver(*old)) {
        discard();
        return false;
    }
    return true;
}

// Gives the file beside the target the target's owner, group, mode and attributes, or fails.
bool FileReplacer::takeOver(const struct stat &old)
{
    struct stat made = {};
    if (::fstat(m_fd, &made) != 0)
        return false;
    if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) && ::fchown(m_fd, old.st_uid, old.st_gid) != 0)
        return false;
    // After fchown, which clears the set-id bits.
    return ::fchmod(m_fd, old.st_mode & 07777) == 0 && copyAttributes(m_target, m_fd);
}

bool FileReplacer::openInPlace()
{
    // Non-blocking, in case a pipe took the file's place since it was looked at.
    m_fd = ::open(m_target.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0)
        return fail(errno);
    struct stat now = {};
    if (::fstat(m_fd, &now) != 0)
        return fail(errno);
    if (const QString refused = refusal(now.st_mode); !refused.isEmpty())
        return fail(refused);
    if (::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK) != 0)
        return fail(errno);

    // Every check that can fail does so before the first byte, while the file is still whole.
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && rlim_t(m_size) > limit.rlim_cur)
        return fail(EFBIG);
    struct statvfs disk = {};
    if (::fstatvfs(m_fd, &disk) == 0) {
        const auto freeBlocks = ::geteuid() == 0 ? disk.f_bfree : disk.f_bavail;
        if (m_size > qint64(now.st_blocks) * 512 + qint64(freeBlocks * disk.f_frsize))
            return fail(ENOSPC);
    }
    // Reserving the room also meets a quota; file systems that cannot reserve skip it.
    if (m_size > 0 && ::fallocate(m_fd, FALLOC_FL_KEEP_SIZE, 0, m_size) != 0 &&
        (errno == ENOSPC || errno == EDQUOT || errno == EFBIG))
        return fail(errno);
    return true;
}

bool FileReplacer::write(QByteArrayView bytes)
{
    if (m_fd < 0)
        return false;
    bool wroteAny = false;
    const bool written = writeAll(m_fd, bytes, &wroteAny);
    m_changed = m_changed || (wroteAny && m_beside.isEmpty());
    return written || fail(errno);
}

bool FileReplacer::commit()
{
    if (m_fd < 0)
        return false;
    if (m_beside.isEmpty()) {
        const off_t length = ::lseek(m_fd, 0, SEEK_CUR);
        if (length < 0 || ::ftruncate(m_fd, length) != 0)
            return fail(errno);
        m_changed = true;
    }
    if (::fsync(m_fd) != 0)
        return fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return fail(errno);
    if (m_beside.isEmpty())
        return true;
    if (::rename(m_beside.constData(), m_target.constData()) != 0)
        return fail(errno);
    m_beside.clear();
    // The new name must reach the disk too; failing that, the content is in place all the same.
    const int folder = ::open(folderOf(m_target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

void FileReplacer::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_beside.isEmpty())
        ::unlink(m_beside.constData());
    m_beside.clear();
}

bool FileReplacer::fail(int error)
{
    return fail(causeOf(error));
}

bool FileReplacer::fail(const QString &cause)
{
    discard();
    if (m_changed)
        m_error = cause + u' ' + incomplete;
    else if (m_existed)
        m_error = cause + u' ' + unchanged;
    else
        m_error = cause;
    return false;
}

bool FileReplacer::tellsWhatBecameOfTheFile(const QString &error)
{
    return error.endsWith(unchanged) || error.endsWith(incomplete);
}

} // namespace vbu
