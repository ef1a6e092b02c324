#include "gui/ui/ColorsDialog.h"

#include "core/app/Twips.h"
#include "gui/ui/EtchedLine.h"
#include "gui/ui/ListColors.h"
#include "gui/ui/Prompter.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

QPushButton *button(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1StringView(name));
    b->setGeometry(geometry);
    b->setAutoDefault(false);
    return b;
}

} // namespace

ColorsDialog::ColorsDialog(Prompter &prompter, const QColor &foreColor, const QColor &backColor, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_prompter(prompter)
{
    setObjectName(u"frmColor"_s);
    setWindowTitle(u"Change Colors"_s);
    setFixedSize(Twips::toPixels(4620), Twips::toPixels(1650));
    setSizeGripEnabled(false);
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    m_text1 = new QLineEdit(u"Vantor's Bind Utility"_s, this);
    m_text1->setObjectName(u"Text1"_s);
    QFont preview(u"Times New Roman"_s);
    preview.setPointSizeF(14.25);
    preview.setWeight(QFont::Normal);
    m_text1->setFont(preview);
    m_text1->setGeometry(8, 8, 292, 30);

    connect(button(this, "Command1", u"Change List Font Color"_s, QRect(8, 44, 144, 23)), &QPushButton::clicked, this,
            &ColorsDialog::chooseForeColor);
    connect(button(this, "Command2", u"Change List BackColor"_s, QRect(156, 44, 144, 23)), &QPushButton::clicked, this,
            &ColorsDialog::chooseBackColor);
    auto *line = new EtchedLine(8, 74, 292, this);
    line->setObjectName(u"Line1"_s);
    QPushButton *ok = button(this, "Command3", u"OK"_s, QRect(92, 82, 66, 23));
    // Enter accepts, as in any dialog; Escape cancels.
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &ColorsDialog::applyAndClose);
    connect(button(this, "Command4", u"Cancel"_s, QRect(163, 82, 66, 23)), &QPushButton::clicked, this,
            &QWidget::close);
    connect(button(this, "Command5", u"Apply"_s, QRect(234, 82, 66, 23)), &QPushButton::clicked, this,
            &ColorsDialog::apply);

    ListColors::setForeColor(m_text1, foreColor);
    ListColors::setBackColor(m_text1, backColor);
}

ColorsDialog::~ColorsDialog() = default;

QColor ColorsDialog::showColor()
{
    if (const auto chosen = m_prompter.color(this, m_dlgColor))
        m_dlgColor = *chosen;
    return m_dlgColor;
}

void ColorsDialog::chooseForeColor()
{
    // Read back whether the chooser was confirmed or not.
    ListColors::setForeColor(m_text1, showColor());
}

void ColorsDialog::chooseBackColor()
{
    ListColors::setBackColor(m_text1, showColor());
}

void ColorsDialog::apply()
{
    emit colorsApplied(ListColors::foreColor(m_text1), ListColors::backColor(m_text1));
}

void ColorsDialog::applyAndClose()
{
    apply();
    close();
}

} // namespace vbu
