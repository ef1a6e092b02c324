#pragma once

#include "core/script/ScriptModel.h"
#include "gui/app/MainWindow.h"
#include "support/FakePrompter.h"

#include <QByteArrayList>
#include <QTemporaryDir>

#include <memory>

namespace vbu::test {

// A main window wired to a fake prompter, with a clean recent-files store and a scratch folder.
struct MainWindowHarness
{
    explicit MainWindowHarness(const QString &commandLine = {});
    ~MainWindowHarness();

    QByteArrayList lines() const { return window->script().lines().toList(); }
    void setLines(const QByteArrayList &lines);
    QString path(const QString &name) const { return dir.filePath(name); }
    // Shows the window and waits until it has the focus.
    bool showActive();
    QAction *action(const char *name) const;

    QTemporaryDir dir;
    FakePrompter prompter;
    std::unique_ptr<MainWindow> window;
};

// Empties the stored recent files, so a test starts without any.
void clearRecentFiles();

} // namespace vbu::test
