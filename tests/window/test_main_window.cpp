// The window as it comes up: enabled states, geometry, tab order and the file dialog's filter;
// the custom selector following the group; an exception inside a handler.

#include "support/window_driver.h"

#include <QAccessible>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QtTest>

#include <stdexcept>

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    // Client-area pixels, fixed; a label sizes itself to its text, so only its place is. (The
    // label that names the custom list to screen readers is not drawn.)
    void geometry() {
        Editor editor;
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.form.get()));
        QCOMPARE(editor->minimumSize(), editor->maximumSize());
        QStringList placed{
            u"%1x%2"_s.arg(editor->ClientArea->width()).arg(editor->ClientArea->height())};
        for (const QWidget* c :
             editor->ClientArea->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (c->isHidden())
                continue;
            QString size = qobject_cast<const QLabel*>(c)
                               ? QString()
                               : u" %1x%2"_s.arg(c->width()).arg(c->height());
            placed.append(u"%1 %2,%3"_s.arg(c->objectName()).arg(c->x()).arg(c->y()) + size);
        }
        QCOMPARE(
            placed.join(u", "_s),
            u"394x492, ChangeButton 184,8 202x50, InsertButton 184,64 202x50, "
            u"MultFactorRadioGroup 184,174 202x115, ChangeToForesightEntryButton 184,322 202x50, "
            u"InsertForesightEntryButton 184,378 202x50, DeleteButton 184,434 202x50, "
            u"AttackingTypeLabel 184,124, DefendingTypeLabel 184,151, "
            u"AttackingTypeComboBox 266,120 120x21, DefendingTypeComboBox 266,147 120x21, "
            u"CustomMultFactorComboBox 184,295 202x21, ListBox1 8,8 170x476"_s);
    }

    void tabOrder() {
        Editor editor;
        QStringList chain;
        QWidget* widget = editor->ChangeButton;
        do {
            if (widget->focusPolicy() & Qt::TabFocus && editor->ClientArea->isAncestorOf(widget))
                chain.append(widget->objectName().remove(u"MultFactorRadioItem"_s));
            widget = widget->nextInFocusChain();
        } while (widget != editor->ChangeButton);
        QCOMPARE(chain.join(u' '),
                 u"ChangeButton InsertButton AttackingTypeComboBox DefendingTypeComboBox 0 1 2 "
                 u"3 4 CustomMultFactorComboBox ChangeToForesightEntryButton "
                 u"InsertForesightEntryButton DeleteButton ListBox1"_s);
    }

    // 255 items, 0 to 25.4; enabled exactly while Custom is chosen, by mouse or keyboard, across
    // language switches.
    void customSelectorFollowsTheGroup() {
        Editor editor(RealChart());
        QCOMPARE(editor->CustomMultFactorComboBox->count(), 255);
        QCOMPARE(editor->CustomMultFactorComboBox->itemText(254), u"25.4"_s);
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.form.get()));
        const QList<QAbstractButton*> items = editor->MultFactorRadioItems->buttons();
        for (int item : {0, 4, 1, 2, 3, 4}) {
            QTest::mouseClick(items[item], Qt::LeftButton, {},
                              QPoint(6, items[item]->height() / 2));
            editor->Francais1->trigger();
            QCOMPARE(editor->CustomMultFactorComboBox->isEnabled(), item == 4);
            editor->English1->trigger();
        }
        QTest::keyClick(items[4], Qt::Key_Up);
        QCOMPARE(editor->MultFactorItemIndex(), 3);
        QVERIFY(!editor->CustomMultFactorComboBox->isEnabled());
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
                shown << dialog->windowTitle();
                for (const QLabel* label : dialog->findChildren<QLabel*>())
                    shown << label->text();
                for (const QAbstractButton* button :
                     dialog->findChild<QDialogButtonBox*>()->buttons())
                    shown << button->text();
                auto* choices = dialog->findChild<QComboBox*>(u"fileTypeCombo"_s);
                for (int i = 0; i < choices->count(); ++i) {
                    QStringList patterns =
                        dialog->nameFilters()[i].section(u'(', -1).chopped(1).split(u' ');
                    shown << choices->itemText(i) + u' ' +
                                 QString::number(QDir::match(patterns, u"ROM"_s));
                }
                dialog->reject();
            });
            editor->Open1->trigger();
        }
        QCOMPARE(
            shown.join(u" | "_s),
            u"Ouvrir | Voir dans : | &Nom de fichier : | Fichiers de type : | Ouvrir | Annuler | Gameboy Advance Rom (*.gba) 0 | Any File (*.*) 1 | Open | Look in: | File &name: | Files of type: | Open | Cancel | Gameboy Advance Rom (*.gba) 0 | Any File (*.*) 1"_s);
    }

    void accessibleNames_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("names");
        QTest::newRow("English")
            << 0
            << u"Normal by Attacking Type, Normal by Defending Type, 0 by Custom, Type chart entries"_s;
        QTest::newRow("French")
            << 1
            << u"Normal by Type Offensif, Normal by Type Défensif, 0 by Coutume, Entrées de la table des types"_s;
    }
    // What a screen reader says of the controls, and the label it reads a type list's name from.
    void accessibleNames() {
        QFETCH(int, language);
        QFETCH(QString, names);
        Editor editor;
        (language ? editor->Francais1 : editor->English1)->trigger();
        QStringList shown;
        for (QWidget* control : std::initializer_list<QWidget*>{
                 editor->AttackingTypeComboBox, editor->DefendingTypeComboBox,
                 editor->CustomMultFactorComboBox, editor->ListBox1}) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
            shown << accessible->text(QAccessible::Name);
            for (auto [label, relation] : accessible->relations(QAccessible::Label))
                shown.last() += u" by "_s + label->text(QAccessible::Name);
        }
        QCOMPARE(shown.join(u", "_s), names);
    }

    // Shown in a box with its message, or none for an unknown exception; the program goes on.
    void exceptionInAHandler() {
        Editor editor;
        auto throwing = [&] {
            SetMessagePresenter([](auto&&...) -> bool { throw std::runtime_error("Broken"); });
            editor->About1->trigger();
            SetMessagePresenter([](auto&&...) -> bool { throw 42; });
            editor->About1->trigger();
        };
        QCOMPARE(Answer({u"enter"_s, u"enter"_s}, throwing),
                 QStringList({u"Quorvane | Broken | OK !"_s, u"Quorvane |  | OK !"_s}));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
