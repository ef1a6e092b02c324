#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

struct stat;

namespace vbu {

// Puts new content into a file while the file itself stays what it was: its owner, group, mode,
// extended attributes, hard links, and the file a symbolic link leads to. The content goes to a
// file beside it that takes its place once complete, when that keeps all of these; otherwise the
// file is rewritten where it is, after making sure the disk has room. Anything but a regular file
// (a pipe, a device, a socket, a folder) is refused and left alone.
class FileReplacer final
{
public:
    explicit FileReplacer(const QString &path);
    // An unfinished write leaves no file beside the target behind.
    ~FileReplacer();
    FileReplacer(const FileReplacer &) = delete;
    FileReplacer &operator=(const FileReplacer &) = delete;

    // Gets ready to write size bytes. Each step returns false with errorString() on failure,
    // after which the object is done.
    bool begin(qint64 size);
    bool write(QByteArrayView bytes);
    // Makes the content durable and, when written beside the target, puts it in the target's place.
    bool commit();
    // The cause, then whether the file was left as it was.
    QString errorString() const { return m_error; }
    // Whether an error text ends by saying what became of a file that was there before.
    static bool tellsWhatBecameOfTheFile(const QString &error);

private:
    bool openBeside(const struct stat *old);
    bool takeOver(const struct stat &old);
    bool openInPlace();
    void discard();
    bool fail(int error);
    bool fail(const QString &cause);

    QString m_path;
    QByteArray m_target; // the file finally written, symbolic links followed
    QByteArray m_beside; // the file beside it, while there is one
    QString m_error;
    int m_fd = -1;
    qint64 m_size = 0;
    bool m_existed = false;
    bool m_changed = false; // bytes of the target itself were overwritten
};

} // namespace vbu
