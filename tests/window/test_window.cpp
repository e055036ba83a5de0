// The window and its two languages: what it looks like (texts, geometry and tab order, as
// reviewed), the file dialog, the names a screen reader announces, the custom selector following
// the group, an exception inside a handler; every caption and list text in the language in force,
// selections kept across a switch, and the boxes.

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

QByteArray Fingerprint(const QStringList& lines) {
    return QCryptographicHash::hash(lines.join(u'\n').toUtf8(), QCryptographicHash::Sha256)
        .toHex()
        .left(16);
}
} // namespace

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    // Fingerprints of what must stay as reviewed: every text the user can read in both
    // languages (the About texts as assembled from their pieces among them), the client area's
    // pixels (a label sizes itself to its text, so only its place counts), and the order in which
    // Tab walks the controls. An accidental edit, a lost line break, a source file saved in
    // another encoding, a moved control or two swapped tab stops change one; a deliberate change
    // updates it here, with what it now is printed on failure.
    void surfaceIsTheReviewedOne() {
        Editor editor;
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.form.get()));
        QStringList texts(TypeNames.begin(), TypeNames.end()), geometry, tabOrder;
        texts << ForesightLabel[0] << ForesightLabel[1] << ErrorLabel[0] << ErrorLabel[1]
              << QStringList(FactorLabels.begin(), FactorLabels.end());
        for (const LangPair& pair : InterfaceStrings)
            texts << pair[0] << pair[1];
        const QWidget* area = editor->ClientArea;
        geometry << u"%1x%2"_s.arg(area->width()).arg(area->height());
        for (const QWidget* c : area->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (c->isVisible()) // the label naming the custom list to screen readers is not drawn
                geometry << u"%1 %2,%3 "_s.arg(c->objectName()).arg(c->x()).arg(c->y()) +
                                (qobject_cast<const QLabel*>(c)
                                     ? u""_s
                                     : u"%1x%2"_s.arg(c->width()).arg(c->height()));
        for (QWidget* w = editor->ListBox1->nextInFocusChain(); w != editor->ListBox1;
             w = w->nextInFocusChain())
            if (area->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus))
                tabOrder << w->objectName();
        const QString fingerprints =
            Fingerprint(texts) + u' ' + Fingerprint(geometry) + u' ' + Fingerprint(tabOrder);
        if (fingerprints != u"c4981044427b0974 5de0943058008086 5ef960a35c3b3ddb")
            qInfo() << geometry << tabOrder;
        QCOMPARE(fingerprints, u"c4981044427b0974 5de0943058008086 5ef960a35c3b3ddb");
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
                const QString any = dialog->nameFilters()[1].section(u'(', -1).chopped(1);
                shown << (QDir::match(any, u"ROM"_s) ? u"ROM shown"_s : u"ROM hidden"_s);
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
    // nothing, not even a text altered by hand; English brings back exactly what was there. A box
    // opened after a switch speaks the new language: its title, its text and, through the
    // toolkit, its buttons; Enter still answers No.
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
        auto boxes = [&](const QString& yesNo) {
            QStringList expected{Box(VersionsCompatibleTitle, VersionsCompatibleText),
                                 Box(WarningTitle, DeleteLastEntryMessage, yesNo)};
            QCOMPARE(Answer({u"escape"_s, u"enter"_s},
                            [&] {
                                editor->VersionsCompatible1->trigger();
                                Press(*editor.form, 57, editor->InsertButton);
                            }),
                     expected);
        };
        boxes(u"Oui Non*"_s);
        editor->English1->trigger();
        QCOMPARE(Shown(*editor.form), english);
        boxes(u"Yes No*"_s);
        QCOMPARE(TableBytes(), RealChart().left(ChartSize));
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
