// Switching between English and French in the real window, and the two information boxes.

#include "support/window_driver.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QStringList ItemTexts(const QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

QStringList RadioTexts(TForm1& form) {
    QStringList texts;
    for (const QAbstractButton* item : form.MultFactorRadioItems->buttons())
        texts.append(item->text());
    return texts;
}

} // namespace

class TestLanguageSwitching : public QObject {
    Q_OBJECT

private slots:
    void frenchCaptionsAndItems() {
        FreshWindow form;
        QStringList english = Snapshot(*form);
        form->Francais1->trigger();
        QVERIFY(form->Francais1->isChecked());
        QVERIFY(!form->English1->isChecked());
        QCOMPARE(form->File1->title(), u"&Fichier"_s);
        QCOMPARE(form->Open1->text(), u"&Ouvrir"_s);
        QCOMPARE(form->Save1->text(), u"&Sauvegarder"_s);
        QCOMPARE(form->Close1->text(), u"&Fermer"_s);
        QCOMPARE(form->Exit1->text(), u"&Quitter"_s);
        QCOMPARE(form->Options1->title(), u"&Options"_s);
        QCOMPARE(form->Language1->title(), u"&Langue"_s);
        QCOMPARE(form->Help1->title(), u"&Aide"_s);
        QCOMPARE(form->About1->text(), u"à &Propos"_s);
        QCOMPARE(form->VersionsCompatible1->text(), u"&Versions Compatibles"_s);
        QCOMPARE(form->English1->text(), u"&English"_s);
        QCOMPARE(form->Francais1->text(), u"&Français"_s);
        QCOMPARE(form->ChangeButton->text(), u"Changer l'Entrée"_s);
        QCOMPARE(form->InsertButton->text(), u"Insérer une Nouvelle Entrée"_s);
        QCOMPARE(form->ChangeToForesightEntryButton->text(),
                 u"Changer à l'Entrée de Clairvoyance"_s);
        QCOMPARE(form->InsertForesightEntryButton->text(), u"Insérer l'Entrée de Clairvoyance"_s);
        QCOMPARE(form->DeleteButton->text(), u"Supprimer l'Entrée"_s);
        QCOMPARE(form->AttackingTypeLabel->text(), u"Type Offensif"_s);
        QCOMPARE(form->DefendingTypeLabel->text(), u"Type Défensif"_s);
        QCOMPARE(form->MultFactorRadioGroup->title(), u"Facteur de Multiplication"_s);
        QCOMPARE(RadioTexts(*form),
                 QStringList({u"0 (Complètement Pas Efficace)"_s, u"0.5 (Pas Très Efficace)"_s,
                              u"1 (Normal)"_s, u"2 (Super Efficace)"_s, u"Coutume"_s}));
        QStringList frenchTypes{u"Normal"_s, u"Combat"_s,  u"Vol"_s,     u"Poison"_s,     u"Sol"_s,
                                u"Roche"_s,  u"Insecte"_s, u"Spectre"_s, u"Acier"_s,      u"???"_s,
                                u"Feu"_s,    u"Eau"_s,     u"Plante"_s,  u"Électrique"_s, u"Psy"_s,
                                u"Glace"_s,  u"Dragon"_s,  u"Ténèbres"_s};
        QCOMPARE(ItemTexts(form->AttackingTypeComboBox), frenchTypes);
        QCOMPARE(ItemTexts(form->DefendingTypeComboBox), frenchTypes);
        QCOMPARE(form->windowTitle(), u"Quorvane"_s);
        QCOMPARE(form->ListBox1->count(), 0); // no image: the list is left alone
        QCOMPARE(OpenFileControlStates(*form), QList<bool>(12, false));
        QVERIFY(!form->CustomMultFactorComboBox->isEnabled());

        form->English1->trigger();
        QCOMPARE(Snapshot(*form), english);
    }

    void selectionsSurviveASwitch() {
        FreshWindow form;
        ImageFolder folder;
        OpenImage(*form, folder.writeRealImage(u"rom.gba"_s, "BPEE"));
        form->ListBox1->setCurrentRow(57);
        form->AttackingTypeComboBox->setCurrentIndex(13);
        form->DefendingTypeComboBox->setCurrentIndex(17);
        form->SetMultFactorItemIndex(4);
        form->CustomMultFactorComboBox->setCurrentIndex(25);
        QStringList english = Snapshot(*form);

        form->Francais1->trigger();
        QCOMPARE(form->ListBox1->currentRow(), 57);
        QCOMPARE(form->ListBox1->count(), 111);
        QCOMPARE(form->ListBox1->item(57)->text(), u"Sol vs Plante = 0.5"_s);
        QCOMPARE(form->ListBox1->item(108)->text(), u"*Entrée de Clairvoyance*"_s);
        QCOMPARE(form->AttackingTypeComboBox->currentIndex(), 13);
        QCOMPARE(form->AttackingTypeComboBox->currentText(), u"Électrique"_s);
        QCOMPARE(form->DefendingTypeComboBox->currentIndex(), 17);
        QCOMPARE(form->MultFactorItemIndex(), 4);
        QCOMPARE(form->CustomMultFactorComboBox->currentIndex(), 25);
        QVERIFY(form->CustomMultFactorComboBox->isEnabled());
        QCOMPARE(OpenFileControlStates(*form), QList<bool>(12, true));

        form->English1->trigger();
        QCOMPARE(Snapshot(*form), english);
    }

    // The item of the language in force does nothing at all: not even captions are set again.
    void choosingTheLanguageInForceChangesNothing() {
        FreshWindow form;
        ImageFolder folder;
        OpenImage(*form, folder.writeRealImage(u"rom.gba"_s, "BPRE"));
        form->ListBox1->setCurrentRow(40);
        for (int language : {0, 1}) {
            QAction* inForce = language == 0 ? form->English1 : form->Francais1;
            if (!inForce->isChecked())
                inForce->trigger();
            form->ChangeButton->setText(u"marker"_s);
            form->ListBox1->item(3)->setText(u"marker"_s);
            QStringList before = Snapshot(*form);
            inForce->trigger();
            QCOMPARE(Snapshot(*form), before);
            QCOMPARE(Language, language);
        }
    }

    void informationBoxes_data() {
        QTest::addColumn<bool>("french");
        QTest::addColumn<bool>("withImage");
        QTest::newRow("English, no image") << false << false;
        QTest::newRow("English, image") << false << true;
        QTest::newRow("French, no image") << true << false;
        QTest::newRow("French, image") << true << true;
    }
    void informationBoxes() {
        QFETCH(bool, french);
        QFETCH(bool, withImage);
        FreshWindow form;
        ImageFolder folder;
        if (withImage) {
            OpenImage(*form, folder.writeRealImage(u"rom.gba"_s, "BPGF"));
            form->ListBox1->setCurrentRow(12);
        }
        if (french)
            form->Francais1->trigger();
        form->SetMultFactorItemIndex(2);
        QStringList before = Snapshot(*form);

        ModalScript script({PressKey(Qt::Key_Return), PressKey(Qt::Key_Escape)});
        form->About1->trigger();
        form->VersionsCompatible1->trigger();
        QVERIFY(script.finished());
        QCOMPARE(script.unexpected, 0);
        QCOMPARE(script.boxes.size(), 2);
        for (const SeenBox& box : script.boxes) {
            QCOMPARE(box.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
            QCOMPARE(box.icon, QMessageBox::NoIcon);
        }
        QCOMPARE(script.boxes[0].title, french ? u"à Propos"_s : u"About"_s);
        QCOMPARE(script.boxes[0].text, InterfaceStrings[AboutText][french ? 1 : 0]);
        QVERIFY(script.boxes[0].text.startsWith(french ? u"Quorvane\nVersion 1.31\nPar Dalmerin"_s
                                                       : u"Quorvane\nVersion 1.31\nBy Dalmerin"_s));
        QCOMPARE(script.boxes[1].title,
                 french ? u"Versions Compatibles"_s : u"Versions Compatible"_s);
        QCOMPARE(script.boxes[1].text,
                 french
                     ? u"Anglais, Français - Rubis, Saphir, Emeraude, Rouge Feu, et Vert Feuille"_s
                     : u"English, French - Ruby, Sapphire, Emerald, Fire Red, and Leaf Green"_s);
        QCOMPARE(Snapshot(*form), before);
    }
};

QTEST_MAIN(TestLanguageSwitching)
#include "test_language_switching.moc"
