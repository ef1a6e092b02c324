#include "core/app/AppInfo.h"
#include "core/ui/ProgramIcon.h"
#include "gui/app/MainWindow.h"
#include "gui/ui/QtPrompter.h"
#include "gui/ui/SplashWindow.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include <csignal>
#include <memory>

int main(int argc, char *argv[])
{
    // A write past the file-size limit must fail with an error to report, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(vbu::AppInfo::title());
    QApplication::setApplicationVersion(vbu::AppInfo::versionText());
    QIcon icon;
    for (const int size : {16, 32, 48})
        icon.addPixmap(QPixmap::fromImage(vbu::ProgramIcon::render(size)));
    QApplication::setWindowIcon(icon);

    vbu::QtPrompter prompter;
    const QString commandLine = QApplication::arguments().mid(1).join(QLatin1Char(' '));
    std::unique_ptr<vbu::MainWindow> window;
    // The splash opens the main window when its countdown ends; a key press before that ends
    // the program with it, as the last window closes.
    auto *splash = new vbu::SplashWindow([&]() -> QWidget * {
        window = std::make_unique<vbu::MainWindow>(prompter, commandLine);
        QObject::connect(window.get(), &vbu::MainWindow::programEnding, &app, &QApplication::quit,
                         Qt::QueuedConnection);
        return window.get();
    });
    splash->show();
    const int result = app.exec();
    window.reset();
    return result;
}
