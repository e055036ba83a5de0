// The list text of a record in both languages, the multiplier texts and the Foresight count,
// without a window.

#include "support/images.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestTypeChart : public QObject {
    Q_OBJECT

private slots:
    void init() { ResetProgramState(); }

    // Every byte value against the recipe these texts have always followed: factor * 0.1 in
    // extended precision, narrowed to a double, written with up to 15 significant digits.
    void factorTexts() {
        for (QChar separator : {u'.', u','}) {
            for (int factor = 0; factor < 256; ++factor) {
                QString recipe = QString::number(double(factor * 0.1L), 'g', 15);
                QCOMPARE(FactorText(FactorByte(factor), separator),
                         recipe.replace(u'.', separator));
            }
        }
    }

    // CTest runs this once more under regional settings that write a decimal comma.
    void regionalSeparator() {
        TypeChart[0] = {{}, 10, 11, 25};
        BuildEntryTexts();
        QString separator = qEnvironmentVariable("EXPECTED_SEPARATOR", u"."_s);
        QCOMPARE(TypeChart[0].text, u"Fire vs Water = 2"_s + separator + u"5"_s);
    }

    // One record among 110 (0, 0, 0); the count is that of the Foresight entries.
    void entryTexts_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("text");
        QTest::newRow("types") << 0 << "\x0a\x0b\x05"_ba << u"Fire vs Water = 0.5"_s;
        QTest::newRow("unnamed") << 0 << "\x07\xc8\x0a"_ba << u"Ghost vs *Error*(200) = 1"_s;
        QTest::newRow("Foresight") << 0 << "\xfe\xfe\x00"_ba << u"*Foresight Entry*"_s;
        QTest::newRow("not Foresight")
            << 0 << "\xfe\xfe\x05"_ba << u"*Error*(254) vs *Error*(254) = 0.5"_s;
        QTest::newRow("French") << 1 << "\x0d\x04\x00"_ba << u"Électrique vs Sol = 0"_s;
        QTest::newRow("French, unnamed")
            << 1 << "\x11\x12\x14"_ba << u"Ténèbres vs *Erreur*(18) = 2"_s;
        QTest::newRow("French, Foresight")
            << 1 << "\xfe\xfe\x00"_ba << u"*Entrée de Clairvoyance*"_s;
    }
    void entryTexts() {
        QFETCH(int, language);
        QFETCH(QByteArray, record);
        QFETCH(QString, text);
        Language = language;
        TypeChart[60] = {{}, TypeId(record[0]), TypeId(record[1]), FactorByte(record[2])};
        BuildEntryTexts();
        QCOMPARE(TypeChart[60].text, text);
        QCOMPARE(TypeChart[110].text, u"Normal vs Normal = 0"_s);
        QCOMPARE(ForesightEntryCount, text.contains(u" vs ") ? 0 : 1);
    }
};

QTEST_GUILESS_MAIN(TestTypeChart)
#include "test_type_chart.moc"
