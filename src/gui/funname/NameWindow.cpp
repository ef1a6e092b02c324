#include "gui/funname/NameWindow.h"

#include "core/app/AppInfo.h"
#include "core/editor/ScriptEdits.h"
#include "core/funname/ConsoleFont.h"
#include "gui/funname/GlyphCell.h"
#include "gui/ui/Prompter.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

constexpr int cellSide = GlyphCell::side;

QRect nameCellPlace(int k)
{
    return {8 + cellSide * k, 4, cellSide, cellSide};
}

QPoint markerPlace(int k)
{
    return {8 + cellSide * k, 20};
}

QRect paletteCellPlace(int code)
{
    return {10 + cellSide * (code % NameWindow::paletteColumns), 16 + cellSide * (code / NameWindow::paletteColumns),
            cellSide, cellSide};
}

// The marker: a gold wedge pointing up at the cell the next character fills.
QPixmap markerPicture()
{
    QImage image(16, 9, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath wedge;
    wedge.moveTo(8, 1);
    wedge.lineTo(13.5, 7.5);
    wedge.lineTo(2.5, 7.5);
    wedge.closeSubpath();
    p.setPen(QPen(QColor(150, 100, 10), 1));
    p.setBrush(QColor(250, 200, 50));
    p.drawPath(wedge);
    return QPixmap::fromImage(image);
}

// The backspace sign: a tag pointing left with a cross in it.
QIcon backspacePicture(const QColor &ink)
{
    QImage image(18, 14, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tag;
    tag.moveTo(1, 7);
    tag.lineTo(6, 1.5);
    tag.lineTo(16.5, 1.5);
    tag.lineTo(16.5, 12.5);
    tag.lineTo(6, 12.5);
    tag.closeSubpath();
    p.drawPath(tag);
    p.drawLine(QPointF(8.5, 4.5), QPointF(13.5, 9.5));
    p.drawLine(QPointF(13.5, 4.5), QPointF(8.5, 9.5));
    return QIcon(QPixmap::fromImage(image));
}

QString plainCharacter(int code)
{
    if (code == 32)
        return u"space"_s;
    if (code > 32 && code < 127)
        return QString(QChar(code));
    if (code >= 18 && code <= 27)
        return u"gold "_s + QChar(u'0' + (code - 18));
    return {};
}

} // namespace

NameWindow::NameWindow(QWidget *mainWindow, ScriptEdits &edits, Prompter &prompter)
    : DockedToolWindow(mainWindow), m_edits(edits), m_prompter(prompter)
{
    setObjectName(u"frmName"_s);
    setWindowTitle(u"Vantor's Name Utility"_s);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The client area keeps its designed size; so does the window.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto *bar = new QMenuBar(this);
    bar->setObjectName(u"menuBar"_s);
    layout->setMenuBar(bar);
    buildMenu(bar);

    auto *client = new QWidget(this);
    client->setObjectName(u"client"_s);
    client->setFixedSize(281, 341);
    layout->addWidget(client);

    buildNameStrip(client);
    buildPalette(client);
    placeDockBox(client, QRect(70, 324, 151, 13));

    // Top to bottom: the name, backspace, the palette, the dock box.
    setTabOrder(m_palette.back(), chkDocked());
    makeTabStop(m_cells, m_cells.front());
    makeTabStop(m_palette, m_palette.front());
    m_palette.front()->setFocus();

    adjustSize();
    load();
}

QString NameWindow::fullMessage()
{
    return u"The maximum number of caracters you can use is 15"_s;
}

QString NameWindow::codeTip(int code)
{
    QString plain = plainCharacter(code & 0x7f);
    if (code >= 128 && !plain.isEmpty())
        plain = u"red "_s + plain.remove(u"gold "_s);
    return plain.isEmpty() ? QString::number(code) : QString::number(code) + u" ("_s + plain + u')';
}

void NameWindow::buildMenu(QMenuBar *bar)
{
    QMenu *file = bar->addMenu(u"&File"_s);
    file->setObjectName(u"mnuFile"_s);
    auto entry = [this, file](const char *name, const QString &caption, auto slot) {
        QAction *a = file->addAction(caption);
        a->setObjectName(QLatin1StringView(name));
        connect(a, &QAction::triggered, this, slot);
    };
    entry("mnuNew", u"&New"_s, &NameWindow::newName);
    entry("mnuSave", u"&Add to Bind"_s, &NameWindow::addToBind);
    file->addSeparator()->setObjectName(u"mnuSep1"_s);
    entry("mnuExit", u"E&xit"_s, &QWidget::close);
}

void NameWindow::buildNameStrip(QWidget *client)
{
    const QString keys = u"Click a cell, or choose it with Left, Right and Enter, to type there next."_s;
    m_picture1 = new QFrame(client);
    m_picture1->setObjectName(u"Picture1"_s);
    m_picture1->setGeometry(2, 2, 255, 33);
    m_picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_picture1->setToolTip(keys);
    // Black, as the console shows the name.
    m_picture1->setAutoFillBackground(true);
    QPalette black = m_picture1->palette();
    black.setColor(QPalette::Window, Qt::black);
    m_picture1->setPalette(black);

    m_imgEmpty = new QLabel(m_picture1);
    m_imgEmpty->setObjectName(u"imgEmpty"_s);
    m_imgEmpty->setGeometry(0, 0, cellSide, cellSide);
    m_imgEmpty->hide();

    for (int k = 0; k < NameComposer::cellCount; ++k) {
        auto *cell = new GlyphCell(m_picture1);
        cell->setObjectName(u"imgName_"_s + QString::number(k));
        cell->setGeometry(nameCellPlace(k));
        cell->setMarksEmpty(true);
        cell->setAccessibleName(u"Name cell "_s + QString::number(k + 1));
        cell->setAccessibleDescription(keys);
        connect(cell, &GlyphCell::clicked, this, [this, k] { moveMarker(k); });
        connect(cell, &GlyphCell::stepRequested, this, [this, k](int dx, int) { stepName(k, dx); });
        connect(cell, &GlyphCell::focused, this, [this, cell] { makeTabStop(m_cells, cell); });
        m_cells[static_cast<std::size_t>(k)] = cell;
    }

    m_placeHolder = new QLabel(m_picture1);
    m_placeHolder->setObjectName(u"PlaceHolder"_s);
    m_placeHolder->setPixmap(markerPicture());
    m_placeHolder->setGeometry(QRect(markerPlace(0), QSize(16, 9)));

    m_lblCap = new QLabel(u"\""_s, m_picture1);
    m_lblCap->setObjectName(u"lblCap"_s);
    m_lblCap->setTextFormat(Qt::PlainText);
    m_lblCap->setGeometry(2, 30, 2, 3);

    m_command1 = new QPushButton(client);
    m_command1->setObjectName(u"Command1"_s);
    m_command1->setGeometry(258, 2, 23, 33);
    m_command1->setIcon(backspacePicture(palette().color(QPalette::ButtonText)));
    m_command1->setIconSize(QSize(18, 14));
    m_command1->setAutoDefault(false);
    m_command1->setToolTip(u"Delete the character before the marker (Backspace)"_s);
    m_command1->setAccessibleName(u"Backspace"_s);
    connect(m_command1, &QPushButton::clicked, this, &NameWindow::backspace);
}

void NameWindow::buildPalette(QWidget *client)
{
    const QString keys =
        u"Click a character to add it to the name. Keys: the arrows move through the characters, Enter or Space "
        "adds the one shown, Backspace deletes the character before the marker."_s;
    m_frame1 = new QGroupBox(client);
    m_frame1->setObjectName(u"Frame1"_s);
    m_frame1->setGeometry(2, 38, 277, 281);
    m_frame1->setToolTip(keys);

    const ConsoleFont &font = ConsoleFont::shared();
    for (int code = 0; code < paletteSize; ++code) {
        auto *cell = new GlyphCell(m_frame1);
        cell->setObjectName(u"Image1_"_s + QString::number(code));
        cell->setGeometry(paletteCellPlace(code));
        cell->setGlyph(font.glyph(code));
        cell->setToolTip(codeTip(code));
        cell->setAccessibleName(codeTip(code));
        cell->setAccessibleDescription(keys);
        connect(cell, &GlyphCell::clicked, this, [this, code] { pickCharacter(code); });
        connect(cell, &GlyphCell::stepRequested, this, [this, code](int dx, int dy) { stepPalette(code, dx, dy); });
        connect(cell, &GlyphCell::focused, this, [this, cell] { makeTabStop(m_palette, cell); });
        m_palette[static_cast<std::size_t>(code)] = cell;
    }
}

void NameWindow::load()
{
    m_name.clear();
    for (int code = 1; code < paletteSize; ++code)
        m_palette.at(static_cast<std::size_t>(code))->setBytes(NameComposer::paletteText(code));
    m_palette.front()->setBytes({});
    showName();
    startWatchers();
}

void NameWindow::showName()
{
    for (int k = 0; k < NameComposer::cellCount; ++k) {
        const NameComposer::Cell &c = m_name.cell(k);
        GlyphCell *cell = m_cells.at(static_cast<std::size_t>(k));
        cell->setGlyph(c.picture == NameComposer::noPicture ? m_imgEmpty->pixmap().toImage()
                                                            : ConsoleFont::shared().glyph(c.picture));
        cell->setBytes(c.text);
    }
    m_placeHolder->move(markerPlace(m_name.marker()));
}

void NameWindow::pickCharacter(int code)
{
    const GlyphCell *chosen = m_palette.at(static_cast<std::size_t>(code));
    if (m_name.pick(code, chosen->bytes()) == NameComposer::Pick::Refused) {
        m_prompter.message(this, {fullMessage(), AppInfo::title(), Prompter::Ok, Prompter::Ok, Prompter::Icon::None});
        return;
    }
    showName();
}

void NameWindow::moveMarker(int cell)
{
    m_name.moveTo(cell);
    showName();
}

void NameWindow::backspace()
{
    m_name.backspace();
    showName();
}

void NameWindow::newName()
{
    m_name.clear();
    showName();
}

void NameWindow::addToBind()
{
    m_edits.insert(0, m_name.nameLine(m_lblCap->text().toLatin1()));
}

void NameWindow::keyPressEvent(QKeyEvent *event)
{
    // Backspace from anywhere in the window, as the button does.
    if (event->key() == Qt::Key_Backspace && event->modifiers() == Qt::NoModifier) {
        backspace();
        return;
    }
    DockedToolWindow::keyPressEvent(event);
}

void NameWindow::stepPalette(int from, int dx, int dy)
{
    // Left and right run on through the rows; up and down stop at the edges.
    const int to = from + dx + dy * paletteColumns;
    if (to >= 0 && to < paletteSize)
        m_palette.at(static_cast<std::size_t>(to))->setFocus(Qt::OtherFocusReason);
}

void NameWindow::stepName(int from, int dx)
{
    const int to = from + dx;
    if (to >= 0 && to < NameComposer::cellCount)
        m_cells.at(static_cast<std::size_t>(to))->setFocus(Qt::OtherFocusReason);
}

template<std::size_t N> void NameWindow::makeTabStop(const std::array<GlyphCell *, N> &cells, GlyphCell *stop)
{
    for (GlyphCell *cell : cells)
        cell->setFocusPolicy(cell == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace vbu
