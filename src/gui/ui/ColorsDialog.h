#pragma once

#include <QColor>
#include <QDialog>
#include <QPointer>

class QLineEdit;
class QPushButton;

namespace vbu {

class Prompter;

// frmColor: tries out text and background colours for the bindings list on a preview text box,
// and applies them to the list on request. Nothing is kept after it closes.
class ColorsDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ColorsDialog)

public:
    // list: whose colours are shown and changed (the main window's lstBind).
    ColorsDialog(Prompter &prompter, QWidget *list, QWidget *parent = nullptr);
    ~ColorsDialog() override;

    QLineEdit *Text1() const { return m_text1; }
    // dlgColor's colour: the last one chosen in this opening, black until then.
    QColor chooserColor() const { return m_dlgColor; }

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();

private:
    void Form_Load();
    // Shows the chooser; a cancelled one keeps the colour it had.
    QColor ShowColor();
    void applyToList();

    Prompter &m_prompter;
    QPointer<QWidget> m_list;
    QColor m_dlgColor = Qt::black;
    QLineEdit *m_text1 = nullptr;
};

} // namespace vbu
