#include "core/ui/ProgramIcon.h"
#include "main/WindowIcon.h"

#include <QGuiApplication>
#include <QTest>

class TestWindowIcon : public QObject
{
    Q_OBJECT

private slots:
    // The frames show the copies the build rendered: each size there, and pixel for pixel the
    // picture the program draws now, so a stale or mangled copy shows up here.
    void framesShowTheProgramsPicture()
    {
        const QIcon icon = vbu::WindowIcon::icon();
        QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
        for (const int size : {16, 32, 48}) {
            const QImage shown = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QCOMPARE(shown, vbu::ProgramIcon::render(size));
        }
    }
};

QTEST_MAIN(TestWindowIcon)
#include "tst_windowicon.moc"
