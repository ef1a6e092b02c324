#include "core/app/AppInfo.h"
#include "core/app/LargePageAllocator.h"
#include "gui/ui/QtPrompter.h"
#include "main/BuiltPictures.h"
#include "main/ProgramStart.h"

#include <QApplication>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

// The whole command-line text is the name of the file to open, so an option is only an
// option when it is exactly that text, alone: "vbu --help x" opens a file of that name.
// The main window reads the one option that takes a name, --exact FILE, the same careful way.
std::optional<int> answerOnTheTerminal(int argc, char *argv[])
{
    if (argc != 2)
        return std::nullopt;
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("vbu %s\n", qPrintable(vbu::AppInfo::versionText()));
        return 0;
    }
    if (std::strcmp(argv[1], "--help") == 0) {
        std::printf("usage: vbu [FILE]\n"
                    "       vbu --exact FILE\n"
                    "%s: opens the script FILE (a .cfg or .scr) when one is named.\n"
                    "The whole command line is the file's name, blanks and quotes included.\n"
                    "  --exact FILE  open FILE as File > Open Exactly does: every line one item,\n"
                    "                as it stands (FILE is the one argument after --exact)\n"
                    "  --help        show this text and end\n"
                    "  --version     show the version and end\n",
                    qPrintable(vbu::AppInfo::title()));
        return 0;
    }
    return std::nullopt;
}

// Whether the window system Qt would use is missing, which Qt itself answers with an abort.
bool lacksDisplay(int argc, char *argv[])
{
    QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0)
            platform = argv[i + 1];
    }
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (platform.isEmpty())
        return !x11 && !wayland;
    if (platform.startsWith("xcb"))
        return !x11;
    if (platform.startsWith("wayland"))
        return !wayland;
    // Off-screen and the other platforms need no session.
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const auto answered = answerOnTheTerminal(argc, argv))
        return *answered;
    if (lacksDisplay(argc, argv)) {
        std::fputs("vbu: the editor needs a graphical session (X11, or XWayland under Wayland); none was found.\n",
                   stderr);
        return 1;
    }
    // A write past the file-size limit must fail with an error to report, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    vbu::LargePages::mapLargeAllocations();
    QApplication app(argc, argv);
    QApplication::setApplicationName(vbu::AppInfo::title());
    QApplication::setApplicationVersion(vbu::AppInfo::versionText());
    QApplication::setWindowIcon(vbu::BuiltPictures::windowIcon());

    vbu::QtPrompter prompter;
    // Qt has taken its own options (-platform, ...) out of the arguments by now.
    vbu::ProgramStart start(prompter, QApplication::arguments().mid(1));
    start.showSplash();
    return QApplication::exec();
}
