#pragma once

#include "core/funname/NameComposer.h"
#include "gui/catalogue/DockedToolWindow.h"

#include <array>

class QFrame;
class QGroupBox;
class QLabel;
class QMenuBar;
class QPushButton;

namespace vbu {

class GlyphCell;
class Prompter;
class ScriptEdits;

// frmName, the Fun Name Editor: a palette of all 256 console-font characters from which the
// player puts together a name of up to 15 of them, and adds it to the script as a name line.
class NameWindow final : public DockedToolWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NameWindow)

public:
    static constexpr int paletteSize = 256;
    static constexpr int paletteColumns = 16;

    // mainWindow: the window it docks to; the name line goes into edits.
    NameWindow(QWidget *mainWindow, ScriptEdits &edits, Prompter &prompter);

    static QString fullMessage();
    // The tool tip of a palette cell: the code and, where it is plain, the character.
    static QString codeTip(int code);

    const NameComposer &composer() const { return m_name; }

public slots:
    // A palette cell clicked: its character into the name at the marker.
    void pickCharacter(int code);
    // A name cell clicked: the marker goes there.
    void moveMarker(int cell);
    void backspace();
    void newName();
    void addToBind();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildMenu(QMenuBar *bar);
    void buildNameStrip(QWidget *client);
    void buildPalette(QWidget *client);
    void load();
    // Cells and marker show the composer's state.
    void showName();
    // Arrow-key steps; each group of cells is one stop of the Tab chain, the cell last visited.
    void stepPalette(int from, int dx, int dy);
    void stepName(int from, int dx);
    template<std::size_t N> static void makeTabStop(const std::array<GlyphCell *, N> &cells, GlyphCell *stop);

    ScriptEdits &m_edits;
    Prompter &m_prompter;
    NameComposer m_name;
    std::array<GlyphCell *, paletteSize> m_palette{};
    std::array<GlyphCell *, NameComposer::cellCount> m_cells{};
    QFrame *m_picture1 = nullptr;
    QLabel *m_placeHolder = nullptr;
    QLabel *m_imgEmpty = nullptr;
    QLabel *m_lblCap = nullptr;
    QPushButton *m_command1 = nullptr;
    QGroupBox *m_frame1 = nullptr;
};

} // namespace vbu
