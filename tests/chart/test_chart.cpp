// The chart: the list text of a record in both languages, the multiplier texts and the Foresight
// count, without a window; then the five editing buttons on the real chart, against what each
// must do to the 333 bytes, with the custom multiplier list enabled exactly while Custom is chosen.

#include "support/editor.h"

class TestChart : public QObject {
    Q_OBJECT

private slots:
    // Every byte value against the recipe these texts have always followed: factor * 0.1 in
    // extended precision, narrowed to a double, written with up to 15 significant digits. (The
    // separator a comma writes is the comma run's of entryTexts.)
    void factorTexts() {
        for (int factor = 0; factor < 256; ++factor)
            QCOMPARE(FactorText(FactorByte(factor), u"."_s),
                     QString::number(double(factor * 0.1L), 'g', 15));
    }

    // One record, first and last among 109 (0, 0, 0), which read Normal vs Normal = 0; the count
    // is that of the Foresight entries, whose text alone has no " vs ". CTest runs this once more
    // under regional settings that write a decimal comma, which the custom list writes too.
    void entryTexts() {
        const std::tuple<int, QByteArray, QString> records[] = {
            {0, "\xfe\xfe\x05"_ba, u"*Error*(254) vs *Error*(254) = 0.5"_s},
            {1, "\x11\x12\x14"_ba, u"Ténèbres vs *Erreur*(18) = 2"_s},
            {1, "\xfe\xfe\x00"_ba, u"*Entrée de Clairvoyance*"_s}};
        for (auto [language, record, text] : records) {
            Language = language;
            TypeChart[0] =
                TypeChart[110] = {{}, TypeId(record[0]), TypeId(record[1]), FactorByte(record[2])};
            BuildEntryTexts();
            text.replace(u'.', qEnvironmentVariable("EXPECTED_SEPARATOR", u"."_s));
            QCOMPARE(TypeChart[0].text + u", "_s + TypeChart[55].text + u", "_s +
                         TypeChart[110].text,
                     text + u", Normal vs Normal = 0, "_s + text);
            QCOMPARE(ForesightEntryCount, text.contains(u" vs ") ? 0 : 2);
        }
        Editor editor; // the custom multiplier list writes the same separator
        QCOMPARE(editor->CustomMultFactorComboBox->itemText(25),
                 u"2.5"_s.replace(u'.', qEnvironmentVariable("EXPECTED_SEPARATOR", u"."_s)));
    }

    void commands_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("questions"); // the questions asked
        QTest::addColumn<int>("row");
        QTest::addColumn<QList<int>>("factor"); // the multiplier group's item (4 is Custom), then
                                                // the custom list's item, its factor byte
        QTest::addColumn<QString>("shows");     // what the list shows after a Yes
        // The two questions as the English window shows them, of the Foresight entry there is and
        // of the last entry: worded once, in the window's snapshot.
        const QStringList asked = Reviewed(u"window-english"_s).filter(u"| Yes No*"_s);
        const QString F = asked.value(0), L = asked.value(1);
        // Each with what the list shows after a Yes: the record written, or after a deletion the
        // one that fills the last place.
        const std::tuple<const char*, QStringList, QStringList, QString> commands[] = {
            {"ChangeButton", {}, {}, u"Fire vs Dragon = 2.5"_s},
            {"InsertButton", {u"yes"_s}, {L}, u"Fire vs Dragon = 2.5"_s},
            {"InsertButton", {u"escape"_s}, {L}, {}},
            {"ChangeToForesightEntryButton", {u"yes"_s}, {F}, u"*Foresight Entry*"_s},
            {"ChangeToForesightEntryButton", {u"escape"_s}, {F}, {}},
            {"InsertForesightEntryButton", {u"yes"_s, u"yes"_s}, {F, L}, u"*Foresight Entry*"_s},
            {"InsertForesightEntryButton", {u"enter"_s}, {F}, {}},
            {"DeleteButton", {}, {}, u"Normal vs Normal = 1"_s}};
        for (int row : {0, 110}) // the first and the last: a row between shows nothing more
            for (auto [button, answers, questions, shows] : commands)
                QTest::addRow("%s %s at %d", button, qPrintable(answers.join(u' ')), row)
                    << QString::fromLatin1(button) << answers << questions << row
                    << QList<int>{4, 25} << shows;
        const std::pair<QList<int>, const char*> factors[] = {
            {{0, 9}, "0"}, {{1, 9}, "0.5"}, {{2, 9}, "1"},     {{3, 9}, "2"},
            {{4, 0}, "0"}, {{4, 9}, "0.9"}, {{4, 254}, "25.4"}};
        for (const auto& [factor, text] : factors)
            QTest::addRow("ChangeButton, item %d, custom %d", factor[0], factor[1])
                << u"ChangeButton"_s << QStringList() << QStringList() << 3 << factor
                << u"Fire vs Dragon = "_s + QString::fromLatin1(text);
    }
    // Each asks what it must, No the default, stores the selectors (attacking, defending, the
    // multiplier item's factor) or the Foresight entry as it must, then shows the chart afresh
    // with the same row selected.
    void commands() {
        QFETCH(QString, button);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, questions);
        QFETCH(int, row);
        QFETCH(QList<int>, factor);
        QFETCH(QString, shows);
        Editor editor;
        QVERIFY(editor.open(RealChart()));
        Select(*editor.form, 10, 16, factor[0], factor[1]); // Fire vs Dragon
        const char factors[] = {0, 5, 10, 20, char(factor[1])};
        const QByteArray record =
            button.contains(u"Foresight") ? "\xfe\xfe\x00"_ba : "\x0a\x10"_ba + factors[factor[0]];
        QByteArray expected = RealChart().left(ChartSize);
        const bool yes = answers.count(u"yes"_s) == questions.size();
        if (yes && button.startsWith(u"Change"))
            expected.replace(3 * row, 3, record);
        else if (yes && button.startsWith(u"Insert"))
            expected.insert(3 * row, record).chop(3);
        else if (button.startsWith(u"Delete"))
            expected.remove(3 * row, 3).append("\x00\x00\x0a"_ba);
        auto press = [&] {
            QVERIFY(Press(*editor.form, row, editor->findChild<QPushButton*>(button)));
        };
        QCOMPARE(Answer(answers, press), questions);
        QCOMPARE(TableBytes(), expected);
        // The list shows the chart afresh, the same row selected.
        if (yes)
            QCOMPARE(editor->ListBox1->item(button.startsWith(u"Delete") ? 110 : row)->text(),
                     shows);
        QCOMPARE(editor->ListBox1->currentRow(), row);
        QCOMPARE(editor->CustomMultFactorComboBox->isEnabled(), factor[0] == 4); // Custom alone
    }

    // Changing the chart's one Foresight entry asks nothing and leaves none, so the next one is
    // made without a question. Close empties the list and disables the commands (that a language
    // switch with no image open fills nothing is the French window's, before any Open).
    void questionsFollowTheChart() {
        Editor editor;
        QVERIFY(editor.open(RealChart()));
        auto edit = [&] {
            QVERIFY(Press(*editor.form, 108, editor->ChangeButton));
            QVERIFY(Press(*editor.form, 4, editor->ChangeToForesightEntryButton));
            editor->Close1->trigger();
        };
        QCOMPARE(Answer({}, edit), QStringList());
        QCOMPARE(TableBytes().mid(12, 3) + TableBytes().mid(324, 3), "\xfe\xfe\x00\x00\x00\x00"_ba);
        QCOMPARE(FileState(*editor.form), NoImage);
    }
};

QTEST_MAIN(TestChart)
#include "test_chart.moc"
