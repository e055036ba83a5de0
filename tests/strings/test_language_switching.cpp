// English and French: every caption and list text in the language in force, selections kept
// across a switch, the information boxes, and the texts themselves.

#include "support/window_driver.h"

#include <QCryptographicHash>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
// Every caption, item, text, selection and state the window's named parts show.
QStringList Shown(const TForm1& form) {
    QStringList shown;
    for (const QObject* object : form.findChildren<QObject*>(QRegularExpression(u"."_s))) {
        for (const char* property :
             {"text", "title", "currentIndex", "currentRow", "checked", "enabled"})
            shown.append(object->property(property).toString());
        if (auto* combo = qobject_cast<const QComboBox*>(object))
            for (int i = 0; i < combo->count(); ++i)
                shown.append(combo->itemText(i));
        if (auto* list = qobject_cast<const QListWidget*>(object))
            for (int i = 0; i < list->count(); ++i)
                shown.append(list->item(i)->text());
    }
    return shown;
}
} // namespace

class TestLanguageSwitching : public QObject {
    Q_OBJECT

private slots:
    // Every caption shows its own text of the language in force, once; the window's title and
    // the two language items stay; with no image the list stays empty and nothing is enabled.
    void captions() {
        Editor editor;
        for (int language : {1, 0}) {
            (language ? editor->Francais1 : editor->English1)->trigger();
            QCoreApplication::sendPostedEvents(); // the toolkit's news of the change, too
            const QStringList shown = Shown(*editor.form);
            for (int key = FileMenuCaption; key <= MultFactorRadioGroupCaption; ++key)
                QVERIFY2(shown.count(InterfaceStrings[key][language]) == 1,
                         qPrintable(InterfaceStrings[key][language]));
            QCOMPARE(editor->windowTitle() + editor->English1->text() + editor->Francais1->text(),
                     u"Quorvane&English&Français"_s);
            QCOMPARE(FileState(*editor.form), u"closed, 0 rows, row -1, 0 of 12 enabled"_s);
        }
    }

    // Every selection stays and the list shows French texts; the language in force changes
    // nothing, not even a text altered by hand; English brings back exactly what was there.
    void switchKeepsSelections() {
        Editor editor(RealChart());
        Select(*editor.form, 13, 17, 4, 25);
        editor->ListBox1->setCurrentRow(57);
        const QStringList english = Shown(*editor.form);
        editor->Francais1->trigger();
        QCOMPARE(editor->ListBox1->currentRow(), 57);
        QCOMPARE(editor->ListBox1->item(57)->text(), u"Sol vs Plante = 0.5"_s);
        QCOMPARE(editor->AttackingTypeComboBox->currentText(), u"Électrique"_s);
        QCOMPARE(editor->DefendingTypeComboBox->currentIndex(), 17);
        QCOMPARE(editor->MultFactorItemIndex(), 4);
        QCOMPARE(editor->CustomMultFactorComboBox->currentIndex(), 25);
        QVERIFY(editor->Francais1->isChecked() && !editor->English1->isChecked());
        editor->ListBox1->item(3)->setText(u"marker"_s);
        const QStringList french = Shown(*editor.form);
        editor->Francais1->trigger();
        QCOMPARE(Shown(*editor.form), french);
        editor->English1->trigger();
        QCOMPARE(Shown(*editor.form), english);
    }

    // A box opened after a switch speaks the new language: its title, its text and, through the
    // toolkit, its buttons; Enter still answers No. Back in English, all is English again.
    void boxesFollowTheLanguage() {
        Editor editor(RealChart());
        auto boxes = [&] {
            editor->About1->trigger();
            editor->VersionsCompatible1->trigger();
            Press(*editor.form, 0, editor->InsertButton);
        };
        auto in = [](int language, StringKey title, StringKey text, const char* buttons) {
            return InterfaceStrings[title][language] + u" | "_s + InterfaceStrings[text][language] +
                   u" | "_s + QLatin1String(buttons);
        };
        editor->Francais1->trigger();
        QCOMPARE(Answer({u"enter"_s, u"escape"_s, u"enter"_s}, boxes),
                 QStringList({in(1, AboutTitle, AboutText, "OK"),
                              in(1, VersionsCompatibleTitle, VersionsCompatibleText, "OK"),
                              in(1, WarningTitle, DeleteLastEntryMessage, "Oui Non*")}));
        editor->English1->trigger();
        QCOMPARE(Answer({u"enter"_s, u"escape"_s, u"escape"_s}, boxes),
                 QStringList({in(0, AboutTitle, AboutText, "OK"),
                              in(0, VersionsCompatibleTitle, VersionsCompatibleText, "OK"),
                              in(0, WarningTitle, DeleteLastEntryMessage, "Yes No*")}));
        QCOMPARE(TableBytes(), RealChart().left(ChartSize));
    }

    // The French one is assembled alike; its texts are among those fingerprinted below.
    void aboutText() {
        FillInterfaceStrings();
        QCOMPARE(InterfaceStrings[AboutText][0],
                 u"Quorvane\nVersion 1.31\nBy Dalmerin\nJanuary 8th, 2010\n\nThis program edits "
                 u"the resistances of the types of a generation III Pokémon game.\n\nNew versions "
                 u"of this program (and old ones too) can be found at https://quorvane.org/.\n\n"
                 u"Thanks to Orrisk for providing the information on how to edit the resistances "
                 u"of the types."_s);
    }

    // Every text the user can read, in both languages, fingerprinted: an accidental edit or a
    // source file saved in another encoding changes it. A deliberate rewording updates it here.
    void textsAreTheReviewedOnes() {
        FillInterfaceStrings();
        QStringList texts(TypeNames.begin(), TypeNames.end());
        texts << ForesightLabel[0] << ForesightLabel[1] << ErrorLabel[0] << ErrorLabel[1];
        texts << QStringList(FactorLabels.begin(), FactorLabels.end());
        for (const LangPair& pair : InterfaceStrings)
            texts << pair[0] << pair[1];
        const QByteArray all = texts.join(u'\n').toUtf8();
        QCOMPARE(QCryptographicHash::hash(all, QCryptographicHash::Sha256).toHex().left(16),
                 "e7bc3c94da7d2fd8"_ba);
    }
};

QTEST_MAIN(TestLanguageSwitching)
#include "test_language_switching.moc"
