// The main window as it comes up: captions, enabled states, geometry, tab order, the custom
// selector, and how an exception inside a handler is reported.

#include "support/window_driver.h"

#include <QtTest>

#include <stdexcept>

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void startsInEnglishWithOnlyTheFileAndHelpCommandsEnabled() {
        FreshWindow form;
        QCOMPARE(form->windowTitle(), u"Quorvane"_s);
        QVERIFY(!form->windowIcon().isNull());
        QCOMPARE(form->windowIcon().availableSizes().value(0), QSize(16, 16));
        QCOMPARE(form->InsertButton->text(), u"Insert New Entry"_s);
        QCOMPARE(form->ChangeButton->text(), u"Change Entry"_s);
        QCOMPARE(form->File1->title(), u"&File"_s);
        QCOMPARE(form->Exit1->text(), u"E&xit"_s);
        QCOMPARE(form->AttackingTypeLabel->text(), u"Attacking Type"_s);
        QCOMPARE(form->MultFactorRadioGroup->title(), u"Multiplication Factor"_s);
        QVERIFY(form->English1->isChecked());
        QVERIFY(!form->Francais1->isChecked());

        for (QAction* on :
             {form->Open1, form->Exit1, form->English1, form->Francais1, form->About1,
              form->VersionsCompatible1, form->File1->menuAction(), form->Options1->menuAction(),
              form->Language1->menuAction(), form->Help1->menuAction()})
            QVERIFY2(on->isEnabled(), qPrintable(on->objectName()));
        QVERIFY(form->ListBox1->isEnabled());
        QCOMPARE(OpenFileControlStates(*form), QList<bool>(12, false));
        QVERIFY(!form->CustomMultFactorComboBox->isEnabled());

        QCOMPARE(form->ListBox1->count(), 0);
        for (QComboBox* types : {form->AttackingTypeComboBox, form->DefendingTypeComboBox}) {
            QCOMPARE(types->count(), 18);
            QCOMPARE(types->currentIndex(), 0);
            QCOMPARE(types->itemText(9), u"???"_s);
            QCOMPARE(types->itemText(17), u"Dark"_s);
        }
        QCOMPARE(form->MultFactorRadioItems->buttons().size(), 5);
        QCOMPARE(form->MultFactorItemIndex(), 0);
        QCOMPARE(form->MultFactorRadioItems->buttons()[4]->text(), u"Custom"_s);
        QCOMPARE(form->CustomMultFactorComboBox->count(), 255);
        QCOMPARE(form->CustomMultFactorComboBox->currentIndex(), 0);
        QCOMPARE(form->CustomMultFactorComboBox->itemText(25), u"2.5"_s);
        QCOMPARE(form->CustomMultFactorComboBox->itemText(254), u"25.4"_s);
        QCOMPARE(form->OpenDialog1.Filter,
                 u"Gameboy Advance Rom (*.gba)|*.gba|Any File (*.*)|*.*"_s);
        QCOMPARE(form->OpenDialog1.DefaultExt, u"*.gba"_s);
    }

    void geometry_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("list") << u"ListBox1"_s << QRect(8, 8, 170, 476);
        QTest::newRow("change") << u"ChangeButton"_s << QRect(184, 8, 202, 50);
        QTest::newRow("insert") << u"InsertButton"_s << QRect(184, 64, 202, 50);
        QTest::newRow("attacking") << u"AttackingTypeComboBox"_s << QRect(266, 120, 120, 21);
        QTest::newRow("defending") << u"DefendingTypeComboBox"_s << QRect(266, 147, 120, 21);
        QTest::newRow("group") << u"MultFactorRadioGroup"_s << QRect(184, 174, 202, 115);
        QTest::newRow("custom") << u"CustomMultFactorComboBox"_s << QRect(184, 295, 202, 21);
        QTest::newRow("to foresight")
            << u"ChangeToForesightEntryButton"_s << QRect(184, 322, 202, 50);
        QTest::newRow("insert foresight")
            << u"InsertForesightEntryButton"_s << QRect(184, 378, 202, 50);
        QTest::newRow("delete") << u"DeleteButton"_s << QRect(184, 434, 202, 50);
    }
    void geometry() {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        FreshWindow form;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*form));
        QCOMPARE(form->centralWidget(), form->ClientArea);
        QCOMPARE(form->ClientArea->size(), QSize(394, 492));
        QCOMPARE(form->ClientArea->y(), form->menuBar()->geometry().bottom() + 1);
        auto* widget = form->ClientArea->findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget(), form->ClientArea);
        QCOMPARE(widget->geometry(), rect);
    }

    void labelsStandLeftOfTheirLists() {
        FreshWindow form;
        for (QLabel* label : {form->AttackingTypeLabel, form->DefendingTypeLabel}) {
            QCOMPARE(label->x(), 184);
            QVERIFY(label->geometry().right() < 266);
        }
        QCOMPARE(form->AttackingTypeLabel->y(), 124);
        QCOMPARE(form->DefendingTypeLabel->y(), 151);
    }

    void fixedFrame() {
        FreshWindow form;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*form));
        QSize size = form->size();
        QCOMPARE(form->minimumSize(), size);
        QCOMPARE(form->maximumSize(), size);
        form->resize(size + QSize(100, 80));
        QCOMPARE(form->size(), size);
        Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QRect screen = form->screen()->availableGeometry();
        QPoint offCentre = form->frameGeometry().center() - screen.center();
        QVERIFY2(offCentre.manhattanLength() <= 4, qPrintable(QString::number(offCentre.x())));
    }

    void tabOrder() {
        FreshWindow form;
        const QStringList expected{u"ChangeButton"_s,
                                   u"InsertButton"_s,
                                   u"AttackingTypeComboBox"_s,
                                   u"DefendingTypeComboBox"_s,
                                   u"MultFactorRadioItem0"_s,
                                   u"MultFactorRadioItem1"_s,
                                   u"MultFactorRadioItem2"_s,
                                   u"MultFactorRadioItem3"_s,
                                   u"MultFactorRadioItem4"_s,
                                   u"CustomMultFactorComboBox"_s,
                                   u"ChangeToForesightEntryButton"_s,
                                   u"InsertForesightEntryButton"_s,
                                   u"DeleteButton"_s,
                                   u"ListBox1"_s};
        QStringList chain;
        QWidget* widget = form->ChangeButton;
        do {
            if ((widget->focusPolicy() & Qt::TabFocus) && form->ClientArea->isAncestorOf(widget))
                chain.append(widget->objectName());
            widget = widget->nextInFocusChain();
        } while (widget != form->ChangeButton);
        QCOMPARE(chain, expected);
    }

    void beforeAnyImageTabReachesOnlyTheList() {
        FreshWindow form;
        form->show();
        QApplication::setActiveWindow(&*form);
        QVERIFY(QTest::qWaitForWindowActive(&*form));
        for (int press = 0; press < 4; ++press) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &*form,
                            Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), form->ListBox1);
        }
    }

    void customSelectorFollowsTheGroup() {
        FreshWindow form;
        ImageFolder folder;
        OpenImage(*form, folder.writeRealImage(u"rom.gba"_s, "BPRE"));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*form));
        const QList<QAbstractButton*> items = form->MultFactorRadioItems->buttons();
        auto click = [](QAbstractButton* item) { // on the round indicator
            QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(6, item->height() / 2));
        };
        click(items[4]);
        QCOMPARE(form->MultFactorItemIndex(), 4);
        QVERIFY(form->CustomMultFactorComboBox->isEnabled());
        form->Francais1->trigger();
        QCOMPARE(form->MultFactorItemIndex(), 4);
        QVERIFY(form->CustomMultFactorComboBox->isEnabled());
        click(items[1]);
        QVERIFY(!form->CustomMultFactorComboBox->isEnabled());
        form->English1->trigger();
        QVERIFY(!form->CustomMultFactorComboBox->isEnabled());
        items[4]->setFocus();
        click(items[4]);
        QVERIFY(form->CustomMultFactorComboBox->isEnabled());
        QTest::keyClick(items[4], Qt::Key_Up); // the keyboard moves the choice too
        QCOMPARE(form->MultFactorItemIndex(), 3);
        QVERIFY(!form->CustomMultFactorComboBox->isEnabled());
    }

    void selectingARowLeavesTheSelectorsAlone() {
        FreshWindow form;
        ImageFolder folder;
        OpenImage(*form, folder.writeRealImage(u"rom.gba"_s, "AXVE"));
        form->AttackingTypeComboBox->setCurrentIndex(13);
        form->DefendingTypeComboBox->setCurrentIndex(4);
        form->SetMultFactorItemIndex(3);
        QStringList before = Snapshot(*form);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*form));
        QRect row = form->ListBox1->visualItemRect(form->ListBox1->item(7));
        QTest::mouseClick(form->ListBox1->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(form->ListBox1->currentRow(), 7);
        QStringList after = Snapshot(*form);
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < before.size(); ++i)
            if (!before[i].startsWith(u"ListBox1"))
                QCOMPARE(after[i], before[i]);
    }

    void exceptionInAHandlerIsReportedAndTheProgramGoesOn() {
        FreshWindow form;
        SetMessagePresenter([](const QString&, const QString&, MessageButtons) -> bool {
            throw std::runtime_error("The presenter broke");
        });
        {
            ModalScript script({PressKey(Qt::Key_Return)});
            form->About1->trigger();
            QCOMPARE(script.boxes.size(), 1);
            QCOMPARE(script.boxes[0].text, u"The presenter broke"_s);
        }
        SetMessagePresenter(
            [](const QString&, const QString&, MessageButtons) -> bool { throw 42; });
        {
            ModalScript script({PressKey(Qt::Key_Return)});
            form->VersionsCompatible1->trigger();
            QCOMPARE(script.boxes.size(), 1);
            QCOMPARE(script.boxes[0].text, QString());
        }
        SetMessagePresenter(ShowMessageBox);
        ModalScript script({PressKey(Qt::Key_Return)});
        form->VersionsCompatible1->trigger();
        QCOMPARE(script.boxes.size(), 1);
        QCOMPARE(script.boxes[0].title, u"Versions Compatible"_s);
        QCOMPARE(script.unexpected, 0);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
