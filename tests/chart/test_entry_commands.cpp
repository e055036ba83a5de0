// The five editing buttons on the real chart, against what each must do to the 333 bytes.

#include "support/window_driver.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QString LastEntry =
    u"Warning | This will delete the last entry. Do you still want to insert a new one? | Yes No*"_s;
const QString Another =
    u"Warning | There's already one Foresight entry present. Do you still want to insert another Foresight entry? | Yes No*"_s;
const QByteArray Foresight = "\xfe\xfe\x00"_ba;
} // namespace

class TestEntryCommands : public QObject {
    Q_OBJECT

private slots:
    void commands_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<int>("row");
        for (int row : {0, 57, 110}) {
            auto add = [row](const char* button, QStringList answers, QStringList questions) {
                QTest::addRow("%s %s at %d", button, qPrintable(answers.join(u' ')), row)
                    << QString::fromLatin1(button) << answers << questions << row;
            };
            add("ChangeButton", {}, {});
            add("InsertButton", {u"yes"_s}, {LastEntry});
            add("InsertButton", {u"escape"_s}, {LastEntry});
            add("ChangeToForesightEntryButton", {u"yes"_s}, {Another});
            add("ChangeToForesightEntryButton", {u"escape"_s}, {Another});
            add("InsertForesightEntryButton", {u"yes"_s, u"yes"_s}, {Another, LastEntry});
            add("InsertForesightEntryButton", {u"yes"_s, u"escape"_s}, {Another, LastEntry});
            add("InsertForesightEntryButton", {u"escape"_s}, {Another});
            add("DeleteButton", {}, {});
        }
    }
    // Each asks what it must, changes the bytes as it must, then shows the chart afresh with the
    // same row selected.
    void commands() {
        QFETCH(QString, button);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, questions);
        QFETCH(int, row);
        Editor editor(RealChart());
        Select(*editor.form, 10, 16, 4, 25); // Fire vs Dragon = 2.5
        const QByteArray record = button.contains(u"Foresight") ? Foresight : "\x0a\x10\x19"_ba;
        QByteArray expected = RealChart().left(ChartSize);
        const bool yes = !answers.contains(u"escape"_s);
        if (yes && button.startsWith(u"Change"))
            expected.replace(3 * row, 3, record);
        else if (yes && button.startsWith(u"Insert"))
            expected.insert(3 * row, record).chop(3);
        else if (button.startsWith(u"Delete"))
            expected.remove(3 * row, 3).append("\x00\x00\x0a"_ba);
        auto press = [&] { Press(*editor.form, row, editor->findChild<QPushButton*>(button)); };
        QCOMPARE(Answer(answers, press), questions);
        QCOMPARE(TableBytes(), expected);
        QCOMPARE(editor->ListBox1->currentRow(), row);
        BuildEntryTexts(); // the list must show the texts of the new bytes
        for (int i = 0; i < MaxEntries; ++i)
            QCOMPARE(editor->ListBox1->item(i)->text(), TypeChart[i].text);
    }

    // The factor each item stores: 0, 0.5, 1 and 2, then Custom's own item number.
    void multiplierItems() {
        Editor editor(RealChart());
        for (auto [item, customItem, factor] :
             {std::array{0, 7, 0}, {1, 7, 5}, {2, 7, 10}, {3, 7, 20}, {4, 7, 7}, {4, 254, 254}}) {
            Select(*editor.form, 1, 2, item, customItem);
            Press(*editor.form, 3, editor->ChangeButton);
            QCOMPARE(TableBytes().mid(9, 3), "\x01\x02"_ba + char(factor));
        }
    }

    // Changing the chart's one Foresight entry asks nothing and leaves none, so the next one is
    // made without a question.
    void foresightQuestionFollowsTheCount() {
        Editor editor(RealChart());
        auto edit = [&] {
            Press(*editor.form, 108, editor->ChangeButton);
            Press(*editor.form, 4, editor->ChangeToForesightEntryButton);
        };
        QCOMPARE(Answer({}, edit), QStringList());
        QCOMPARE(TableBytes().mid(12, 3), Foresight);
    }

    // With no chart on show there is no record to work on: nothing is asked or changed.
    void noSelectedRowDoesNothing() {
        Editor editor;
        auto clickAll = [&] {
            for (const QPushButton* button : editor->findChildren<QPushButton*>())
                QVERIFY(QMetaObject::invokeMethod(editor.form.get(),
                                                  qPrintable(button->objectName() + u"Click"_s)));
        };
        QCOMPARE(Answer({}, clickAll), QStringList());
        QCOMPARE(TableBytes(), QByteArray(ChartSize, 0));
    }
};

QTEST_MAIN(TestEntryCommands)
#include "test_entry_commands.moc"
