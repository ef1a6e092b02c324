#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

class QFile;

namespace vbu {

// Opens and reads the files a user names, trusting nothing about them: only a regular file is
// taken (a named pipe would block, a device never ends), and a read stops past its limit
// whatever size the file reports (/proc files report 0, a sparse file what it likes).
//
//   BoundedFile::Result r = BoundedFile::read(path, 8 * 1024 * 1024, u"a command list");
//   if (r.status != BoundedFile::Status::Ok) tell the user r.error
class BoundedFile final
{
public:
    enum class Status {
        Ok,        // opened, or read whole
        Missing,   // no such file, or a folder
        Unopened,  // it is there but could not be opened, e.g. without permission
        Unreadable // opened, but not a regular file, larger than the limit, or a read failed
    };

    struct Result
    {
        Status status = Status::Missing;
        QByteArray bytes;
        QString error; // why, for every status but Ok
    };

    // Opens a regular file unbuffered for reading into file, which must not be open; error, when
    // given, says why it failed.
    static Status open(const QString &path, QFile &file, QString *error = nullptr);
    // The whole file, when it holds at most limit bytes; what names it in the "too large"
    // message ("The file is larger than 8 MiB, too large for a command list.").
    static Result read(const QString &path, qint64 limit, QStringView what);
};

} // namespace vbu
