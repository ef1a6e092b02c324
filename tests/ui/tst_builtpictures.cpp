#include "core/ui/ProgramIcon.h"
#include "core/ui/SplashPicture.h"
#include "main/BuiltPictures.h"

#include <QGuiApplication>
#include <QTest>

class TestBuiltPictures : public QObject
{
    Q_OBJECT

private slots:
    // The program shows the copies the build rendered: each there, and pixel for pixel the
    // picture the program draws now, so a stale or mangled copy shows up here.
    void copiesAreThePicturesDrawnNow()
    {
        const QIcon icon = vbu::BuiltPictures::windowIcon();
        QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
        for (const int size : {16, 32, 48}) {
            const QImage shown = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QCOMPARE(shown, vbu::ProgramIcon::render(size));
        }
        const QImage splash = vbu::BuiltPictures::splash().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(splash, vbu::SplashPicture::render().convertToFormat(QImage::Format_RGB32));
    }
};

QTEST_MAIN(TestBuiltPictures)
#include "tst_builtpictures.moc"
