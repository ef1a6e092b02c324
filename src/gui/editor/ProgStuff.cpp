#include "gui/editor/ProgStuff.h"

#include "core/editor/ScriptEdits.h"
#include "core/editor/ScriptText.h"
#include "core/script/ScriptModel.h"
#include "gui/app/MainWindow.h"
#include "gui/app/Prompter.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace vbu::ProgStuff {

namespace {

void copySelected(MainWindow &w)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    const qsizetype row = w.selectedRow();
    if (row >= 0)
        clipboard->setText(QString::fromLatin1(w.script().line(row)));
}

} // namespace

void AddBinding(MainWindow &w)
{
    const auto error = [&w](const QString &text) {
        w.prompter().inform(&w, text, u"Error"_s, Prompter::Icon::Critical);
    };
    if (w.txtBind()->text().isEmpty()) {
        error(u"You must fill in the binding space"_s);
        return;
    }
    if (w.txtKey()->currentText().isEmpty()) {
        error(u"You must fill in the key space"_s);
        return;
    }
    // The fields refuse what has no byte; a text set some other way is checked here too.
    const auto type = w.scriptBytesOf(w.cmbType()->currentText());
    const auto key = type ? w.scriptBytesOf(w.txtKey()->currentText()) : std::nullopt;
    const auto text = key ? w.scriptBytesOf(w.txtBind()->text()) : std::nullopt;
    if (!text)
        return;
    const QByteArray quote = w.lblQuote()->text().toLatin1();
    w.edits().append(ScriptText::composeBinding(*type, *key, quote, *text));
    w.txtBind()->clear();
    w.txtKey()->setFocus();
}

void ListCopyClip(MainWindow &w)
{
    copySelected(w);
}

void ListCutClip(MainWindow &w)
{
    copySelected(w);
    const qsizetype row = w.selectedRow();
    if (row >= 0)
        w.removeLine(row);
}

void ListPasteClip(MainWindow &w)
{
    const qsizetype row = w.selectedRow();
    if (row < 0)
        return;
    const auto bytes = w.scriptBytesOf(QGuiApplication::clipboard()->text());
    if (!bytes)
        return;
    w.edits().insert(row, *bytes);
}

} // namespace vbu::ProgStuff
