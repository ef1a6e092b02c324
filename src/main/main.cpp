#include "core/app/AppInfo.h"
#include "gui/app/MainWindow.h"
#include "gui/app/QtPrompter.h"

#include <QApplication>

#include <csignal>

int main(int argc, char *argv[])
{
    // A write past the file-size limit must fail with an error to report, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(vbu::AppInfo::title());
    QApplication::setApplicationVersion(vbu::AppInfo::versionText());

    vbu::QtPrompter prompter;
    vbu::MainWindow window(prompter, QApplication::arguments().mid(1).join(QLatin1Char(' ')));
    QObject::connect(&window, &vbu::MainWindow::programEnding, &app, &QApplication::quit, Qt::QueuedConnection);
    window.show();
    return app.exec();
}
