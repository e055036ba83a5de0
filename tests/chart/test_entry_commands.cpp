// The five editing buttons, pressed in the real window on a real image, checked against a
// plain list model of what each command must do to the 111 records.

#include "chart/entry_editing.h"
#include "support/window_driver.h"

#include <QScrollBar>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const ChartRecordBytes Foresight{254, 254, 0};
const ChartRecordBytes Chosen{10, 16, 25}; // Fire vs Dragon, Custom 2.5
const ChartRecordBytes Filler{0, 0, 10};
const QString DeleteLastQuestion =
    u"This will delete the last entry. Do you still want to insert a new one?"_s;
const QString ForesightQuestion =
    u"There's already one Foresight entry present. Do you still want to insert another "
    u"Foresight entry?"_s;

void Press(QPushButton* button) {
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
}

// A window showing the real chart, with the selectors on Fire, Dragon, Custom 2.5.
class EditorWithImage {
public:
    EditorWithImage() {
        path_ = folder_.writeRealImage(u"rom.gba"_s, "BPRE");
        OpenImage(*form, path_);
        form->show();
        form->AttackingTypeComboBox->setCurrentIndex(Chosen.attacking);
        form->DefendingTypeComboBox->setCurrentIndex(Chosen.defending);
        form->SetMultFactorItemIndex(CustomFactorItem);
        form->CustomMultFactorComboBox->setCurrentIndex(Chosen.factor);
    }
    FreshWindow form;

private:
    ImageFolder folder_;
    QString path_;
};

} // namespace

class TestEntryCommands : public QObject {
    Q_OBJECT

private slots:
    void commands_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("questions");
        const QList<bool> none;
        for (int row : {0, 57, 110}) {
            auto add = [&](const char* name, QList<bool> answers, QStringList questions) {
                QTest::addRow("%s at %d", name, row)
                    << QString::fromLatin1(name).section(u',', 0, 0) << answers << row << questions;
            };
            add("change", none, {});
            add("insert, yes", {true}, {DeleteLastQuestion});
            add("insert, no", {false}, {DeleteLastQuestion});
            add("to foresight, yes", {true}, {ForesightQuestion});
            add("to foresight, no", {false}, {ForesightQuestion});
            add("insert foresight, yes yes", {true, true}, {ForesightQuestion, DeleteLastQuestion});
            add("insert foresight, yes no", {true, false}, {ForesightQuestion, DeleteLastQuestion});
            add("insert foresight, no", {false}, {ForesightQuestion});
            add("delete", none, {});
        }
    }
    void commands() {
        QFETCH(QString, command);
        QFETCH(QList<bool>, answers);
        QFETCH(int, row);
        QFETCH(QStringList, questions);
        EditorWithImage editor;
        TForm1& form = *editor.form;
        form.ListBox1->setCurrentRow(row);

        QList<ChartRecordBytes> expected = RealChart().first(MaxEntries);
        bool yes = !answers.contains(false);
        if (command == u"change") {
            expected[row] = Chosen;
        } else if (command == u"insert" && yes) {
            expected.insert(row, Chosen);
            expected.removeLast();
        } else if (command == u"to foresight" && yes) {
            expected[row] = Foresight;
        } else if (command == u"insert foresight" && yes) {
            expected.insert(row, Foresight);
            expected.removeLast();
        } else if (command == u"delete") {
            expected.removeAt(row);
            expected.append(Filler);
        }

        QList<ModalAction> actions;
        for (bool answer : answers)
            actions.append(Click(answer ? QMessageBox::Yes : QMessageBox::No));
        ModalScript script(actions);
        QPushButton* button = command == u"change"             ? form.ChangeButton
                              : command == u"insert"           ? form.InsertButton
                              : command == u"to foresight"     ? form.ChangeToForesightEntryButton
                              : command == u"insert foresight" ? form.InsertForesightEntryButton
                                                               : form.DeleteButton;
        Press(button);

        QCOMPARE(script.unexpected, 0);
        QVERIFY(script.finished());
        QStringList asked;
        for (const SeenBox& box : script.boxes) {
            asked.append(box.text);
            QCOMPARE(box.title, u"Warning"_s);
            QCOMPARE(box.defaultButton, QMessageBox::No);
            QCOMPARE(box.icon, QMessageBox::NoIcon);
        }
        QCOMPARE(asked, questions);
        QCOMPARE(TableRecords(), expected);
        QCOMPARE(form.ListBox1->count(), 111);
        QCOMPARE(form.ListBox1->currentRow(), row);
        QList<TypeChartEntry> texts(TypeChart.begin(), TypeChart.end());
        for (int i = 0; i < MaxEntries; ++i)
            QCOMPARE(form.ListBox1->item(i)->text(), texts[i].text);
        if (command == u"change" || (command == u"insert" && yes))
            QCOMPARE(form.ListBox1->item(row)->text(), u"Fire vs Dragon = 2.5"_s);
        if (command == u"delete")
            QCOMPARE(form.ListBox1->item(110)->text(), u"Normal vs Normal = 1"_s);
    }

    void enterAnswersNo() {
        EditorWithImage editor;
        TForm1& form = *editor.form;
        form.ListBox1->setCurrentRow(3);
        ModalScript script({PressKey(Qt::Key_Return), PressKey(Qt::Key_Return)});
        Press(form.InsertButton);
        Press(form.InsertForesightEntryButton);
        QCOMPARE(script.boxes.size(), 2);
        QCOMPARE(TableRecords(), RealChart().first(MaxEntries));
    }

    void foresightQuestionsFollowTheCount() {
        EditorWithImage editor;
        TForm1& form = *editor.form;
        form.ListBox1->setCurrentRow(108); // the chart's Foresight entry
        ModalScript script;
        Press(form.ChangeButton); // asks nothing, even on the Foresight entry
        QCOMPARE(ForesightEntryCount, 0);
        form.ListBox1->setCurrentRow(4);
        Press(form.ChangeToForesightEntryButton); // none present: no question
        QCOMPARE(form.ListBox1->item(4)->text(), u"*Foresight Entry*"_s);
        QCOMPARE(ForesightEntryCount, 1);
        QCOMPARE(script.boxes.size(), 0);
        QCOMPARE(script.unexpected, 0);
    }

    void sameSelectorsOnSeveralRows() {
        EditorWithImage editor;
        TForm1& form = *editor.form;
        form.SetMultFactorItemIndex(1);
        for (int row : {10, 20, 30}) {
            form.ListBox1->setCurrentRow(row);
            Press(form.ChangeButton);
        }
        for (int row : {10, 20, 30})
            QCOMPARE(form.ListBox1->item(row)->text(), u"Fire vs Dragon = 0.5"_s);
    }

    void theListStaysWhereItWasScrolled() {
        EditorWithImage editor;
        TForm1& form = *editor.form;
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.ListBox1->setCurrentRow(100);
        form.ListBox1->scrollToItem(form.ListBox1->item(70), QAbstractItemView::PositionAtTop);
        const int scrolled = form.ListBox1->verticalScrollBar()->value();
        QVERIFY(scrolled > 0);
        Press(form.DeleteButton);
        QCOMPARE(form.ListBox1->currentRow(), 100);
        QCOMPARE(form.ListBox1->verticalScrollBar()->value(), scrolled);
    }

    // Without a chart on show there is no selected record: the commands do nothing at all.
    void noSelectedRowDoesNothing() {
        FreshWindow form;
        TypeChartTable before = TypeChart;
        ModalScript script;
        form->ChangeButtonClick();
        form->InsertButtonClick();
        form->ChangeToForesightEntryButtonClick();
        form->InsertForesightEntryButtonClick();
        form->DeleteButtonClick();
        QCOMPARE(script.boxes.size(), 0);
        QCOMPARE(script.unexpected, 0);
        for (int i = 0; i < MaxEntries; ++i)
            QCOMPARE(TypeChart[i].factor, before[i].factor);
        QCOMPARE(form->ListBox1->count(), 0);
    }

    void questionsInFrench() {
        EditorWithImage editor;
        TForm1& form = *editor.form;
        form.Francais1->trigger();
        form.ListBox1->setCurrentRow(0);
        ModalScript script({Click(QMessageBox::Yes), Click(QMessageBox::No)});
        Press(form.InsertForesightEntryButton);
        QCOMPARE(script.boxes.size(), 2);
        QCOMPARE(script.boxes[0].title, u"Alerte"_s);
        QCOMPARE(script.boxes[0].text,
                 u"Il y a déjà une entrée de Clairvoyance. Est-ce que vous voulez encore insérer "
                 u"une autre entrée de la Clairvoyance?"_s);
        QCOMPARE(script.boxes[1].title, u"Alerte"_s);
        QCOMPARE(script.boxes[1].text,
                 u"Ceci va supprimer la dernière entrée. Êtes-vous sûr de vouloir en insérer une "
                 u"nouvelle entrée?"_s);
    }
};

QTEST_MAIN(TestEntryCommands)
#include "test_entry_commands.moc"
