#pragma once

#include <QColor>
#include <QDialog>

class QLineEdit;

namespace vbu {

class Prompter;

// frmColor: tries out text and background colours for the bindings list on a preview text box,
// and hands them on for the list on request (colorsApplied). Nothing is kept after it closes.
class ColorsDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ColorsDialog)

public:
    // foreColor, backColor: the list's colours, which the preview starts with.
    ColorsDialog(Prompter &prompter, const QColor &foreColor, const QColor &backColor, QWidget *parent = nullptr);
    ~ColorsDialog() override;

signals:
    void colorsApplied(const QColor &foreColor, const QColor &backColor);

public slots:
    void chooseForeColor();
    void chooseBackColor();
    void apply();
    // OK: apply, then close.
    void applyAndClose();

private:
    // Shows the chooser; a cancelled one keeps the colour it had.
    QColor showColor();

    Prompter &m_prompter;
    // The chooser's colour: the last one chosen in this opening, black until then.
    QColor m_dlgColor = Qt::black;
    QLineEdit *m_text1 = nullptr;
};

} // namespace vbu
