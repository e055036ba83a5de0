// The interface strings of both languages, and the About text as it is assembled.

#include "strings/interface_strings.h"
#include "support/rom_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestInterfaceStrings : public QObject {
    Q_OBJECT

private slots:
    void emptyUntilFilled() {
        for (const LangPair& pair : InterfaceStrings)
            QVERIFY(pair[0].isEmpty() && pair[1].isEmpty());
    }

    void everyPairHasBothTexts() {
        FillInterfaceStrings();
        QCOMPARE(int(InterfaceStrings.size()), 31); // thirty, and the failed-save message
        for (int key = 0; key < InterfaceStringCount; ++key) {
            const LangPair& pair = InterfaceStrings[key];
            QVERIFY2(!pair[0].isEmpty() && !pair[1].isEmpty(), qPrintable(QString::number(key)));
            bool sameInBoth = key == OptionsMenuCaption || key == AttentionTitle;
            QVERIFY2((pair[0] == pair[1]) == sameInBoth, qPrintable(pair[0]));
            QVERIFY(!pair[0].contains(u'\n') || key == AboutText);
        }
    }

    // The texts as the window shows them are checked with the window; here, that a reader gets
    // the language in force and a switch leaves both strings in place.
    void readersGetTheLanguageInForce() {
        FillInterfaceStrings();
        Language = 1;
        QCOMPARE(CurrentText(AboutMenuCaption), u"à &Propos"_s);
        Language = 0;
        QCOMPARE(CurrentText(AboutMenuCaption), u"&About"_s);
        QCOMPARE(InterfaceStrings[SaveFailedMessage][1], u"La rom n'a pas pu être sauvegardée!"_s);
    }

    void aboutTextByteForByte() {
        FillInterfaceStrings();
        const QByteArray address = "https://quorvane.org/";
        const QByteArray english =
            "Quorvane\nVersion 1.31\nBy Dalmerin\nJanuary 8th, 2010\n\n"
            "This program edits the resistances of the types of a generation III Pok\xc3\xa9mon "
            "game.\n\nNew versions of this program (and old ones too) can be found at " +
            address +
            ".\n\nThanks to Orrisk for providing the information on how to edit the resistances "
            "of the types.";
        const QByteArray french =
            "Quorvane\nVersion 1.31\nPar Dalmerin\n8 Janvier 2010\n\n"
            "Cette programme sert \xc3\xa0 \xc3\xa9"
            "diter les r\xc3\xa9sistances des types de "
            "la g\xc3\xa9n\xc3\xa9ration GBA.\n\nLes nouvelles versions de cette programme (mais "
            "aussi les anciennes) peuvent \xc3\xaatre trouv\xc3\xa9"
            "es \xc3\xa0 " +
            address +
            ".\n\nRemerciements \xc3\xa0 Orrisk pour avoir fourni des informations sur comment "
            "editer les r\xc3\xa9sistances des types.";
        QCOMPARE(InterfaceStrings[AboutText][0].toUtf8(), english);
        QCOMPARE(InterfaceStrings[AboutText][1].toUtf8(), french);
        QCOMPARE(InterfaceStrings[AboutText][0].split(u'\n').size(), 10);
        QVERIFY(QUrl(QString::fromUtf8(address)).isValid());
    }
};

QTEST_GUILESS_MAIN(TestInterfaceStrings)
#include "test_interface_strings.moc"
