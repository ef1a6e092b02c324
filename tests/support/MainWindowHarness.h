#pragma once

#include "core/script/ScriptModel.h"
#include "gui/app/MainWindow.h"
#include "support/FakePrompter.h"
#include "support/TestData.h"

#include <QByteArrayList>
#include <QTemporaryDir>

#include <memory>

class QToolButton;

namespace vbu::test {

// A main window wired to a fake prompter, with a clean recent-files store and a scratch folder.
struct MainWindowHarness
{
    // The command line as one argument, or none when empty.
    explicit MainWindowHarness(const QString &commandLine = {});
    explicit MainWindowHarness(const QStringList &arguments);
    ~MainWindowHarness();
    Q_DISABLE_COPY_MOVE(MainWindowHarness)

    QByteArrayList lines() const { return window->script().lines().toList(); }
    void setLines(const QByteArrayList &lines);
    QString path(const QString &name) const { return dir.filePath(name); }
    // "caption|working name|recent files": what the window knows of its file.
    QString fileState() const;
    // Shows the window and waits until it has the focus.
    bool showActive();
    QAction *action(const char *name) const;
    // A control of the window by its name.
    template<typename T> T *child(const char *name) const { return window->findChild<T *>(QLatin1StringView(name)); }
    // The toolbar button with that key ("CmdList").
    QToolButton *toolbarButton(const char *key) const;

    QTemporaryDir dir;
    FakePrompter prompter;
    std::unique_ptr<MainWindow> window;
};

} // namespace vbu::test
