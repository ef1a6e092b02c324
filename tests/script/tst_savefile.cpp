#include "support/TestData.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr uid_t nobody = 65534;
const QByteArray oldBytes = "bind old \"line\"\r\n"_ba;
// More lines than the small disk and the size limit allow.
const QByteArray newBytes = "bind key \"+attack;weapnext\"\r\n"_ba.repeated(20'000);

// What makes a file that file: kind, owner, group, mode and link count of the name itself and of
// what it leads to, and an extended attribute.
QString identity(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    QStringList parts;
    for (const auto look : {&lstat, &stat}) {
        struct stat st = {};
        if (look(name.constData(), &st) == 0)
            parts << QString::number(st.st_mode, 8) << QString::number(st.st_uid) << QString::number(st.st_gid)
                  << QString::number(st.st_nlink);
    }
    QByteArray note(64, '\0');
    note.truncate(qMax<ssize_t>(getxattr(name.constData(), "user.note", note.data(), size_t(note.size())), 0));
    return parts.join(u' ') + u" note=" + QString::fromLatin1(note);
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

// Saving replaces what a file holds, never what the file is. vbu-cfg resave saves as Save does,
// run as the given user and under the given file-size limit, so that permissions and limits
// apply as they do to a user's own run of the program.
class TestSaveFile : public QObject
{
    Q_OBJECT

    bool m_ownMounts = false;
    QTemporaryDir m_in; // the script to save, out of the way of the folder saved to

private slots:
    void initTestCase()
    {
        if (geteuid() != 0)
            QSKIP("the cases need root: files of other owners, device nodes, another user, a small disk");
        // Mounts made here stay inside this process and vanish with it.
        m_ownMounts = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        vbu::test::writeAll(m_in.filePath(u"new.cfg"_s), newBytes);
        QVERIFY(QFile::setPermissions(m_in.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                                       QFile::ExeOther | QFile::WriteOwner));
    }

    void keepsTheFile_data()
    {
        QTest::addColumn<QString>("setup"); // run in the folder where my.cfg was just written
        QTest::addColumn<uid_t>("user");
        QTest::addColumn<int>("sizeLimit");
        QTest::addColumn<bool>("smallDisk");
        QTest::addColumn<QString>("cause"); // empty when the save succeeds
        const uid_t root = 0;
        QTest::newRow("file alone, extended attribute") << QString() << root << 0 << false << QString();
        QTest::newRow("owned by another user, set-group-id")
            << u"chown 65534:65534 my.cfg && chmod 2640 my.cfg"_s << root << 0 << false << QString();
        QTest::newRow("second hard link") << u"ln my.cfg other.cfg"_s << root << 0 << false << QString();
        QTest::newRow("chain of symbolic links")
            << u"mv my.cfg real.cfg && ln -s real.cfg other.cfg && ln -s other.cfg my.cfg"_s << root << 0 << false
            << QString();
        QTest::newRow("writable file, folder closed to the user")
            << u"chmod 666 my.cfg && chmod 755 ."_s << nobody << 0 << false << QString();
        QTest::newRow("named pipe") << u"rm my.cfg && mkfifo my.cfg"_s << root << 0 << false << u"pipe"_s;
        QTest::newRow("null device") << u"rm my.cfg && mknod my.cfg c 1 3"_s << root << 0 << false << u"device"_s;
        QTest::newRow("loop of symbolic links")
            << u"rm my.cfg && ln -s other.cfg my.cfg && ln -s my.cfg other.cfg"_s << root << 0 << false << u"loop"_s;
        QTest::newRow("dangling symbolic link")
            << u"rm my.cfg && ln -s other.cfg my.cfg"_s << root << 0 << false << u"does not exist"_s;
        QTest::newRow("folder") << u"rm my.cfg && mkdir my.cfg"_s << root << 0 << false << u"folder"_s;
        // Alone the file is replaced atomically; with a second link it is written in place.
        QTest::newRow("size limit") << QString() << root << 64 * 1024 << false << u"limit"_s;
        QTest::newRow("size limit, hard link") << u"ln my.cfg other.cfg"_s << root << 64 * 1024 << false << u"limit"_s;
        QTest::newRow("full disk") << QString() << root << 0 << true << u"full"_s;
        QTest::newRow("full disk, hard link") << u"ln my.cfg other.cfg"_s << root << 0 << true << u"full"_s;
    }

    void keepsTheFile()
    {
        QFETCH(QString, setup);
        QFETCH(uid_t, user);
        QFETCH(int, sizeLimit);
        QFETCH(bool, smallDisk);
        QFETCH(QString, cause);
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        if (smallDisk && (!m_ownMounts || mount("tmpfs", folder.constData(), "tmpfs", 0, "size=64k") != 0))
            QSKIP("a small disk of its own needs a mount namespace");
        const auto unmount = qScopeGuard([&] {
            if (smallDisk)
                umount2(folder.constData(), MNT_DETACH);
        });
        const QString path = dir.filePath(u"my.cfg"_s);
        vbu::test::writeAll(path, oldBytes);
        setxattr(QFile::encodeName(path).constData(), "user.note", "kept", 4, 0); // where the disk keeps them
        QCOMPARE(QProcess::execute(u"sh"_s, {u"-c"_s, u"cd \"$1\" || exit 1\n"_s + setup, u"sh"_s, dir.path()}), 0);
        const QString before = identity(path);
        const QStringList names = entries(dir.path());

        QProcess program;
        program.setChildProcessModifier([user, sizeLimit] {
            const rlim_t most = sizeLimit ? rlim_t(sizeLimit) : RLIM_INFINITY;
            const rlimit limit{most, most};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0 ||
                (user != 0 && (setgroups(0, nullptr) != 0 || setgid(user) != 0 || setuid(user) != 0)))
                _exit(125);
        });
        program.start(vbu::test::binDir() + u"/vbu-cfg"_s, {u"resave"_s, m_in.filePath(u"new.cfg"_s), path});
        QVERIFY(program.waitForFinished(30'000));
        const QString why = QString::fromUtf8(program.readAllStandardError()).section(u"was not written: "_s, 1);
        QCOMPARE(program.exitCode(), cause.isEmpty() ? 0 : 1);
        QCOMPARE(identity(path), before);
        QCOMPARE(entries(dir.path()), names);
        if (cause.isEmpty()) {
            QCOMPARE(vbu::test::readAll(path), newBytes);
            return;
        }
        QVERIFY2(why.contains(cause) && why.contains(u"not changed"_s), qPrintable(why));
        if (QFileInfo(path).isFile())
            QCOMPARE(vbu::test::readAll(path), oldBytes);
    }
};

QTEST_GUILESS_MAIN(TestSaveFile)
#include "tst_savefile.moc"
