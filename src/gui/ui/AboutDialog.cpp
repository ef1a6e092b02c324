#include "gui/ui/AboutDialog.h"

#include "core/app/AppInfo.h"
#include "core/app/Twips.h"
#include "core/ui/ProgramIcon.h"
#include "gui/ui/EtchedLine.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

const QString crlf = u"\r\n"_s;

QLabel *label(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1StringView(name));
    l->setGeometry(geometry);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setWordWrap(true);
    return l;
}

} // namespace

QString AboutDialog::disclaimerDesignCaption()
{
    return u"Warning: ..."_s;
}

QStringList AboutDialog::authorshipLines()
{
    return {u"Written for Quake and Quake2 players."_s, u"C++ and Qt; free to use, copy and share."_s,
            u"Quake is a trademark of id Software."_s};
}

QStringList AboutDialog::feedbackLines()
{
    return {u"Questions? Comments? Rants? Raves?"_s, u"Any of the above constitute an E-Mail to me."_s,
            u' ' + AppInfo::contactAddress() + u' ',
            u"Let me know what you think, hate, love. Any the input is appriciated."_s};
}

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(u"frmAbout"_s);
    setWindowTitle(u"About Vantor's Bind Utility"_s);
    setFixedSize(Twips::toPixels(5730), Twips::toPixels(3555));
    setSizeGripEnabled(false);
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    auto *image = label(this, "Image1", QString(), QRect(12, 12, 32, 32));
    image->setPixmap(QPixmap::fromImage(ProgramIcon::render(32)));

    m_lblTitle = label(this, "lblTitle", u"Vantor's Bind Utility"_s, QRect(56, 2, 320, 86));
    QFont titleFont(u"Westminster"_s);
    titleFont.setPointSizeF(27.75);
    titleFont.setWeight(QFont::ExtraBold);
    m_lblTitle->setFont(titleFont);
    QPalette titlePalette = m_lblTitle->palette();
    titlePalette.setColor(QPalette::WindowText, QColor(128, 128, 255));
    m_lblTitle->setPalette(titlePalette);

    m_lblVersion = label(this, "lblVersion", u"Version"_s, QRect(226, 66, 148, 14));
    m_lblDescription = label(this, "lblDescription", QString(), QRect(12, 92, 362, 70));
    m_lblDescription->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *line = new EtchedLine(8, 166, 366, this);
    line->setObjectName(u"Line1"_s);

    m_lblDisclaimer = label(this, "lblDisclaimer", disclaimerDesignCaption(), QRect(12, 173, 280, 60));

    auto *ok = new QPushButton(u"OK"_s, this);
    ok->setObjectName(u"cmdOK"_s);
    ok->setGeometry(300, 202, 74, 24);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    load();
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::load()
{
    setWindowTitle(u"About "_s + AppInfo::title());
    m_lblVersion->setText(u"Version "_s + AppInfo::versionText());
    m_lblTitle->setText(AppInfo::title());
    // The label still holds its design caption: the window is made afresh at each opening.
    m_lblDisclaimer->setText(m_lblDisclaimer->text() + crlf + authorshipLines().join(crlf));
    m_lblDescription->setText(feedbackLines().join(crlf));
}

} // namespace vbu
