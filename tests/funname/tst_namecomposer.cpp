#include "core/funname/NameComposer.h"

#include "NameSteps.h"

#include <QTest>

using vbu::NameComposer;
using vbu::test::NameStep;

class TestNameComposer : public QObject
{
    Q_OBJECT

private slots:
    void compose_data() { vbu::test::addCompositionRows(); }

    void compose()
    {
        QFETCH(QString, steps);
        QFETCH(QByteArray, name);
        QFETCH(int, namePos);
        QFETCH(int, marker);
        QFETCH(QString, pictures);
        QFETCH(int, refused);

        NameComposer composer;
        int refusals = 0;
        for (const NameStep &step : vbu::test::parseSteps(steps)) {
            switch (step.kind) {
            case NameStep::Pick: {
                const QByteArray before = composer.name();
                if (composer.pick(step.value) == NameComposer::Pick::Refused) {
                    ++refusals;
                    QCOMPARE(composer.name(), before);
                }
                break;
            }
            case NameStep::Move:
                composer.moveTo(step.value);
                break;
            case NameStep::Back:
                composer.backspace();
                break;
            case NameStep::New:
                composer.clear();
                break;
            }
        }
        QCOMPARE(composer.name(), name);
        QCOMPARE(composer.NamePos(), namePos);
        QCOMPARE(composer.marker(), marker);
        QCOMPARE(refusals, refused);
        const QList<int> expected = vbu::test::parsePictures(pictures);
        for (int k = 0; k < NameComposer::cellCount; ++k) {
            const NameComposer::Cell &cell = composer.cell(k);
            QCOMPARE(cell.picture, expected.at(k));
            // A cell's text is its picture's byte; code 0 and empty cells add nothing.
            QCOMPARE(cell.text, expected.at(k) > 0 ? QByteArray(1, char(expected.at(k))) : QByteArray());
        }
    }
};

QTEST_GUILESS_MAIN(TestNameComposer)
#include "tst_namecomposer.moc"
