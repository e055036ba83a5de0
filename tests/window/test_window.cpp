// The window and its two languages: geometry, the file dialog, the names a screen reader
// announces, the custom selector following the group, an exception inside a handler; every
// caption and list text in the language in force, selections kept across a switch, the boxes,
// and the texts themselves.

#include "support/editor.h"

#include <QAccessible>
#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QtTest>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {
// Every caption, item, text, selection and state the window's named parts show.
QStringList Shown(const TForm1& form) {
    QStringList shown;
    for (const QObject* object : form.findChildren<QObject*>(QRegularExpression(u"."_s))) {
        for (const char* property :
             {"text", "title", "currentIndex", "currentRow", "checked", "enabled"})
            shown << object->property(property).toString();
        auto* items = qobject_cast<const QComboBox*>(object)
                          ? object->findChild<QAbstractItemView*>()
                          : qobject_cast<const QAbstractItemView*>(object);
        for (int row = 0; items && row < items->model()->rowCount(); ++row)
            shown << items->model()->index(row, 0).data().toString();
    }
    return shown;
}
} // namespace

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    // Client-area pixels, fixed; a label sizes itself to its text, so only its place is. (The
    // end-to-end session walks the tab order.)
    void layout() {
        Editor editor;
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.form.get()));
        QStringList shown{
            u"%1x%2"_s.arg(editor->ClientArea->width()).arg(editor->ClientArea->height())};
        for (const QWidget* c :
             editor->ClientArea->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (c->isVisible()) // the label naming the custom list to screen readers is not drawn
                shown << u"%1 %2,%3"_s.arg(c->objectName()).arg(c->x()).arg(c->y()) +
                             (qobject_cast<const QLabel*>(c)
                                  ? QString()
                                  : u" %1x%2"_s.arg(c->width()).arg(c->height()));
        }
        QCOMPARE(
            shown.join(u", "_s),
            u"394x492, ChangeButton 184,8 202x50, InsertButton 184,64 202x50, MultFactorRadioGroup "
            u"184,174 202x115, ChangeToForesightEntryButton 184,322 202x50, "
            u"InsertForesightEntryButton 184,378 202x50, DeleteButton 184,434 202x50, "
            u"AttackingTypeLabel 184,124, DefendingTypeLabel 184,151, AttackingTypeComboBox "
            u"266,120 120x21, DefendingTypeComboBox 266,147 120x21, CustomMultFactorComboBox "
            u"184,295 202x21, ListBox1 8,8 170x476"_s);
    }

    // 255 items, 0 to 25.4; enabled exactly while Custom is chosen, a language switch
    // notwithstanding.
    void customSelectorFollowsTheGroup() {
        Editor editor(RealChart());
        QCOMPARE(editor->CustomMultFactorComboBox->count(), 255);
        QCOMPARE(editor->CustomMultFactorComboBox->itemText(254), u"25.4"_s);
        for (int item : {0, 4, 1, 2, 3, 4}) {
            editor->MultFactorRadioItems->buttons()[item]->click();
            editor->Francais1->trigger();
            QCOMPARE(editor->CustomMultFactorComboBox->isEnabled(), item == 4);
            editor->English1->trigger();
        }
    }

    // In either language the two choices read as designed and "Any File" lets names without a
    // dot through, as the dialog matches names; the dialog's own texts follow the language.
    void fileDialog() {
        Editor editor;
        QStringList shown;
        for (QAction* language : {editor->Francais1, editor->English1}) {
            language->trigger();
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                auto* types = dialog->findChild<QComboBox*>(u"fileTypeCombo"_s);
                shown << dialog->windowTitle()
                      << dialog->findChild<QLabel*>(u"fileNameLabel"_s)->text()
                      << types->itemText(0) << types->itemText(1);
                for (const QAbstractButton* button :
                     dialog->findChild<QDialogButtonBox*>()->buttons())
                    shown << button->text();
                shown << u"ROM"_s +
                             (QDir::match(dialog->nameFilters()[1].section(u'(', -1).chopped(1),
                                          u"ROM"_s)
                                  ? u" shown"_s
                                  : u" hidden"_s);
                dialog->reject();
            });
            editor->Open1->trigger();
        }
        QCOMPARE(
            shown.join(u" | "_s),
            u"Ouvrir | &Nom de fichier : | Gameboy Advance Rom (*.gba) | Any File (*.*) | Ouvrir | "
            u"Annuler | ROM shown | Open | File &name: | Gameboy Advance Rom (*.gba) | Any File "
            u"(*.*) | Open | Cancel | ROM shown"_s);
    }

    // Shown in a box with its message, or none for an unknown exception; the program goes on
    // and shows the About box.
    void exceptionInAHandler() {
        Editor editor;
        auto throwing = [&] {
            SetMessagePresenter([](auto&&...) -> bool { throw std::runtime_error("Broken"); });
            editor->About1->trigger();
            SetMessagePresenter([](auto&&...) -> bool { throw 42; });
            editor->About1->trigger();
            SetMessagePresenter(ShowMessageBox);
            editor->About1->trigger();
        };
        QCOMPARE(Answer({u"enter"_s, u"enter"_s, u"enter"_s}, throwing),
                 QStringList({u"Quorvane | Broken | OK !"_s, u"Quorvane |  | OK !"_s,
                              Box(AboutTitle, AboutText)}));
    }

    // Every caption shows its own text of the language in force, once, even after the toolkit
    // has told the window of the change; the window's title and the language items stay; with no
    // image the list stays empty and nothing is enabled. A screen reader names the drop-down
    // lists by their labels, the list by its own name.
    void captions() {
        Editor editor;
        QStringList named;
        for (int language : {1, 0}) {
            (language ? editor->Francais1 : editor->English1)->trigger();
            QCoreApplication::sendPostedEvents();
            const QStringList shown = Shown(*editor.form);
            for (int key = FileMenuCaption; key <= MultFactorRadioGroupCaption; ++key)
                QCOMPARE(shown.count(InterfaceStrings[key][language]), 1);
            QCOMPARE(editor->windowTitle() + editor->English1->text() + editor->Francais1->text() +
                         u' ' + FileState(*editor.form),
                     u"Quorvane&English&Français "_s + NoImage);
            for (QWidget* control : std::initializer_list<QWidget*>{
                     editor->AttackingTypeComboBox, editor->DefendingTypeComboBox,
                     editor->CustomMultFactorComboBox, editor->ListBox1}) {
                QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
                named << accessible->text(QAccessible::Name); // of a list: its current item
                for (auto [label, relation] : accessible->relations(QAccessible::Label))
                    named.last() = label->text(QAccessible::Name);
            }
        }
        QCOMPARE(named.join(u", "_s),
                 u"Type Offensif, Type Défensif, Coutume, Entrées de la table des types, Attacking "
                 u"Type, Defending Type, Custom, Type chart entries"_s);
    }

    // Every selection stays and the list shows French texts; the language in force changes
    // nothing, not even a text altered by hand; English brings back exactly what was there.
    void switchKeepsSelections() {
        Editor editor(RealChart());
        Select(*editor.form, 13, 17, 4, 25);
        editor->ListBox1->setCurrentRow(57);
        const QStringList english = Shown(*editor.form);
        editor->Francais1->trigger();
        QCOMPARE(editor->ListBox1->currentItem()->text() + u", "_s +
                     editor->AttackingTypeComboBox->currentText(),
                 u"Sol vs Plante = 0.5, Électrique"_s);
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
            editor->VersionsCompatible1->trigger();
            Press(*editor.form, 0, editor->InsertButton);
        };
        for (auto [language, yesNo] :
             {std::pair{editor->Francais1, u"Oui Non*"_s}, {editor->English1, u"Yes No*"_s}}) {
            language->trigger();
            QCOMPARE(Answer({u"escape"_s, u"enter"_s}, boxes),
                     QStringList({Box(VersionsCompatibleTitle, VersionsCompatibleText),
                                  Box(WarningTitle, DeleteLastEntryMessage, yesNo)}));
        }
        QCOMPARE(TableBytes(), RealChart().left(ChartSize));
    }

    // Every text the user can read, in both languages, the About texts as assembled from their
    // pieces among them, fingerprinted: an accidental edit, a line break lost or a source file
    // saved in another encoding changes it. A deliberate rewording updates it here.
    void textsAreTheReviewedOnes() {
        FillInterfaceStrings();
        QStringList texts(TypeNames.begin(), TypeNames.end());
        texts << ForesightLabel[0] << ForesightLabel[1] << ErrorLabel[0] << ErrorLabel[1]
              << QStringList(FactorLabels.begin(), FactorLabels.end());
        for (const LangPair& pair : InterfaceStrings)
            texts << pair[0] << pair[1];
        QCOMPARE(QCryptographicHash::hash(texts.join(u'\n').toUtf8(), QCryptographicHash::Sha256)
                     .toHex()
                     .left(16),
                 "e7bc3c94da7d2fd8"_ba);
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
