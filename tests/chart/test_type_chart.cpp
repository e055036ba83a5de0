// The chart vocabulary, the list texts and the Foresight checks, without a window.

#include "chart/type_chart.h"
#include "support/rom_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The multiplier text as the editor has always printed it: factor * 0.1 in extended precision,
// narrowed to a double and written with up to 15 significant digits.
QString FloatingPointFactorText(int factor, QChar separator) {
    long double value = static_cast<long double>(factor) * 0.1L;
    QString text = QString::number(static_cast<double>(value), 'g', 15);
    return text.replace(u'.', separator);
}

const char16_t* const EnglishNames[] = {u"Normal", u"Fighting", u"Flying", u"Poison",   u"Ground",
                                        u"Rock",   u"Bug",      u"Ghost",  u"Steel",    u"???",
                                        u"Fire",   u"Water",    u"Grass",  u"Electric", u"Psychic",
                                        u"Ice",    u"Dragon",   u"Dark"};
const char16_t* const FrenchNames[] = {u"Normal", u"Combat",  u"Vol",     u"Poison",     u"Sol",
                                       u"Roche",  u"Insecte", u"Spectre", u"Acier",      u"???",
                                       u"Feu",    u"Eau",     u"Plante",  u"Électrique", u"Psy",
                                       u"Glace",  u"Dragon",  u"Ténèbres"};

void SetRecord(int index, TypeId attacking, TypeId defending, FactorByte factor) {
    TypeChart[index].attacking = attacking;
    TypeChart[index].defending = defending;
    TypeChart[index].factor = factor;
}

} // namespace

class TestTypeChart : public QObject {
    Q_OBJECT

private slots:
    void init() { ResetProgramState(); }

    void factorTextsMatchTheFloatingPointRecipe_data() {
        QTest::addColumn<QChar>("separator");
        QTest::newRow("point") << QChar(u'.');
        QTest::newRow("comma") << QChar(u',');
    }
    void factorTextsMatchTheFloatingPointRecipe() {
        QFETCH(QChar, separator);
        for (int factor = 0; factor < 256; ++factor) {
            QCOMPARE(FactorText(static_cast<FactorByte>(factor), QString(separator)),
                     FloatingPointFactorText(factor, separator));
        }
        QCOMPARE(FactorText(0, QString(separator)), u"0"_s);
        QCOMPARE(FactorText(1, QString(separator)), u"0"_s + separator + u"1"_s);
        QCOMPARE(FactorText(250, QString(separator)), u"25"_s);
        QCOMPARE(FactorText(255, QString(separator)), u"25"_s + separator + u"5"_s);
    }

    // Run once under the test's usual settings and once (by CTest) under a comma locale.
    void systemSeparator() {
        QString expected = qEnvironmentVariable("QUORVANE_TEST_EXPECT_SEPARATOR", u"."_s);
        QCOMPARE(FactorText(25), u"2"_s + expected + u"5"_s);
        SetRecord(0, 10, 11, 5);
        BuildEntryTexts();
        QCOMPARE(TypeChart[0].text, u"Fire vs Water = 0"_s + expected + u"5"_s);
    }

    void typeNamesInBothLanguages() {
        for (int language = 0; language < 2; ++language) {
            Language = language;
            for (int t = 0; t < 256; ++t) {
                QString expected;
                if (t < 18)
                    expected = QString::fromUtf16(language == 0 ? EnglishNames[t] : FrenchNames[t]);
                else
                    expected = (language == 0 ? u"*Error*("_s : u"*Erreur*("_s) +
                               QString::number(t) + u')';
                QCOMPARE(TypeName(static_cast<TypeId>(t)), expected);
            }
        }
    }

    void freshChartReadsNormalVsNormal() {
        BuildEntryTexts();
        for (const TypeChartEntry& entry : TypeChart)
            QCOMPARE(entry.text, u"Normal vs Normal = 0"_s);
        QCOMPARE(ForesightEntryCount, 0);
    }

    void entryTexts() {
        SetRecord(0, 10, 11, 5);
        SetRecord(1, 0, 7, 0);
        SetRecord(2, 7, 200, 10);
        SetRecord(3, 13, 4, 0);
        SetRecord(4, 254, 254, 0);
        SetRecord(5, 254, 254, 5);
        SetRecord(6, 255, 255, 0);
        BuildEntryTexts();
        QCOMPARE(TypeChart[0].text, u"Fire vs Water = 0.5"_s);
        QCOMPARE(TypeChart[1].text, u"Normal vs Ghost = 0"_s);
        QCOMPARE(TypeChart[2].text, u"Ghost vs *Error*(200) = 1"_s);
        QCOMPARE(TypeChart[4].text, u"*Foresight Entry*"_s);
        QCOMPARE(TypeChart[5].text, u"*Error*(254) vs *Error*(254) = 0.5"_s);
        QCOMPARE(TypeChart[6].text, u"*Error*(255) vs *Error*(255) = 0"_s);
        QCOMPARE(ForesightEntryCount, 1);

        Language = 1;
        BuildEntryTexts();
        QCOMPARE(TypeChart[0].text, u"Feu vs Eau = 0.5"_s);
        QCOMPARE(TypeChart[3].text, u"Électrique vs Sol = 0"_s);
        QCOMPARE(TypeChart[4].text, u"*Entrée de Clairvoyance*"_s);
        QCOMPARE(TypeChart[5].text, u"*Erreur*(254) vs *Erreur*(254) = 0.5"_s);
        QCOMPARE(ForesightEntryCount, 1);
    }

    void realChartTexts() {
        QList<ChartRecordBytes> chart = RealChart();
        for (int i = 0; i < MaxEntries; ++i)
            SetRecord(i, chart[i].attacking, chart[i].defending, chart[i].factor);
        BuildEntryTexts();
        QCOMPARE(TypeChart[0].text, u"Normal vs Rock = 0.5"_s);
        QCOMPARE(TypeChart[4].text, u"Fire vs Grass = 2"_s);
        QCOMPARE(TypeChart[108].text, u"*Foresight Entry*"_s);
        QCOMPARE(TypeChart[110].text, u"Fighting vs Ghost = 0"_s);
        QCOMPARE(ForesightEntryCount, 1);
    }

    void severalForesightEntriesWarnOnce_data() {
        QTest::addColumn<int>("foresightEntries");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("boxes");
        QTest::newRow("none") << 0 << 0 << 0;
        QTest::newRow("one") << 1 << 0 << 0;
        QTest::newRow("two") << 2 << 0 << 1;
        QTest::newRow("two, French") << 2 << 1 << 1;
        QTest::newRow("all") << MaxEntries << 0 << 1;
    }
    void severalForesightEntriesWarnOnce() {
        QFETCH(int, foresightEntries);
        QFETCH(int, language);
        QFETCH(int, boxes);
        FillInterfaceStrings();
        for (int i = 0; i < foresightEntries; ++i)
            SetRecord(MaxEntries - 1 - i, 254, 254, 0);
        Language = language;
        BuildEntryTexts();
        QCOMPARE(ForesightEntryCount, foresightEntries);
        ScriptedAnswers answers;
        WarnIfSeveralForesightEntries();
        QCOMPARE(answers.shown.size(), boxes);
        if (boxes == 1) {
            QCOMPARE(answers.shown[0].buttons, MessageButtons::Ok);
            QCOMPARE(answers.shown[0].title, language == 0 ? u"Warning"_s : u"Alerte"_s);
            QCOMPARE(answers.shown[0].text,
                     language == 0 ? u"There's more than one Foresight entry present."_s
                                   : u"Il y a plus d'une entrée de Clairvoyance présente."_s);
        }
    }

    void anotherForesightEntryIsConfirmed() {
        FillInterfaceStrings();
        BuildEntryTexts();
        {
            ScriptedAnswers answers;
            QVERIFY(ConfirmAnotherForesightEntry());
            QVERIFY(answers.shown.isEmpty());
        }
        SetRecord(40, 254, 254, 0);
        BuildEntryTexts();
        for (bool yes : {false, true}) {
            ScriptedAnswers answers({yes});
            QCOMPARE(ConfirmAnotherForesightEntry(), yes);
            QCOMPARE(answers.shown.size(), 1);
            QCOMPARE(answers.shown[0].buttons, MessageButtons::YesNo);
            QCOMPARE(answers.shown[0].title, u"Warning"_s);
            QVERIFY(answers.shown[0].text.startsWith(u"There's already one Foresight entry"));
        }
        // The count is the last one built: a record changed since is not seen.
        SetRecord(40, 0, 0, 0);
        ScriptedAnswers answers({false});
        QVERIFY(!ConfirmAnotherForesightEntry());
        QCOMPARE(answers.shown.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestTypeChart)
#include "test_type_chart.moc"
