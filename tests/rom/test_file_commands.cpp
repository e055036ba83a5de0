// File > Open, Save, Close and Exit through the real menu, file dialog and message boxes, and
// faults injected between Open and Save: a save is reported as done only when the chart really
// is in the file at the path the user chose.

#include "support/window_driver.h"

#include <QtTest>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
bool FailSync = false;
const QString Saved = u"Attention | The file was successfully saved! | OK"_s;
const QString NoImage = u"closed, 0 rows, row -1, 0 of 12 enabled"_s;
} // namespace

// Stands in for the C library's fsync in this program, to play a device failing to write.
extern "C" int fsync(int fd) {
    if (!FailSync)
        return static_cast<int>(::syscall(SYS_fsync, fd));
    errno = EIO;
    return -1;
}

class TestFileCommands : public QObject {
    Q_OBJECT

private slots:
    // Open shows the chart with its first row selected and enables the commands; Save writes
    // the edits and says so, each time; Close empties the list and disables the commands, and
    // leaves the custom selector alone; Open then shows what was saved, not what was edited
    // after; Exit asks nothing and saves nothing.
    void openSaveCloseExit() {
        Editor editor(RealChart());
        QCOMPARE(FileState(*editor.form), u"open, 111 rows, row 0, 12 of 12 enabled"_s);
        Select(*editor.form, 10, 17, 4, 25);
        Press(*editor.form, 0, editor->ChangeButton);
        Press(*editor.form, 110, editor->ChangeButton);
        auto save = [&] {
            editor->Save1->trigger();
            editor->Save1->trigger();
        };
        QCOMPARE(Answer({u"enter"_s, u"escape"_s}, save), QStringList(2, Saved));
        QByteArray saved =
            RealChart().replace(0, 3, "\x0a\x11\x19"_ba).replace(330, 3, "\x0a\x11\x19"_ba);
        QCOMPARE(FileBytes(editor.path, FireRedChart, 336), saved);
        Press(*editor.form, 5, editor->DeleteButton);
        editor->Close1->trigger();
        QCOMPARE(FileState(*editor.form), NoImage);
        QVERIFY(editor->CustomMultFactorComboBox->isEnabled());
        OpenImage(*editor.form, editor.path);
        QCOMPARE(TableBytes(), saved.left(ChartSize));
        Press(*editor.form, 6, editor->DeleteButton);
        editor->show();
        QCOMPARE(Answer({}, [&] { editor->Exit1->trigger(); }), QStringList());
        QVERIFY(!editor->isVisible());
        QCOMPARE(FileBytes(editor.path, FireRedChart, 336), saved);
    }

    void openOverAnImage_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("Enter") << QStringList{u"enter"_s};
        QTest::newRow("Escape") << QStringList{u"escape"_s};
        QTest::newRow("Yes, then cancel") << QStringList{u"yes"_s, u"escape"_s};
    }
    // Always asked first, No the default; the image stays open, with its edits.
    void openOverAnImage() {
        QFETCH(QStringList, steps);
        Editor editor(RealChart());
        Select(*editor.form, 16, 16, 3);
        Press(*editor.form, 42, editor->ChangeButton);
        QStringList seen = Answer(steps, [&] { editor->Open1->trigger(); });
        QCOMPARE(
            seen.value(0),
            u"Warning | There's already a file open. Are you sure you want to open another? Any data not saved will be lost. | Yes No*"_s);
        QCOMPARE(seen.size(), steps.size());
        QCOMPARE(FileState(*editor.form), u"open, 111 rows, row 42, 12 of 12 enabled"_s);
        QCOMPARE(editor->ListBox1->currentItem()->text(), u"Dragon vs Dragon = 2"_s);
    }

    void refusedFile_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("from no image") << QStringList{u"chosen"_s, u"enter"_s};
        QTest::newRow("over an image") << QStringList{u"yes"_s, u"chosen"_s, u"enter"_s};
    }
    // Shown, then the window goes back to its no-image state, so that nothing can be saved into
    // that file; the next Open asks nothing.
    void refusedFile() {
        QFETCH(QStringList, steps);
        Editor editor(steps.size() > 2 ? RealChart() : QByteArray());
        QString path = WriteImage(editor.dir.filePath(u"chosen.gba"_s), RealChart(), "AGBJ");
        const QByteArray before = FileBytes(path);
        QStringList seen =
            Answer(steps.replaceInStrings(u"chosen"_s, path), [&] { editor->Open1->trigger(); });
        QCOMPARE(
            seen.last(),
            u"Attention | Sorry, but the rom you chose isn't supported by this program yet, or isn't a generation III Pokémon rom. | OK"_s);
        QCOMPARE(FileState(*editor.form), NoImage);
        QCOMPARE(FileBytes(path), before);
        QCOMPARE(Answer({u"escape"_s}, [&] { editor->Open1->trigger(); }),
                 QStringList(u"dialog"_s));
    }

    // The chart is shown, then the warning.
    void severalForesightEntriesAreWarnedOf() {
        Editor editor;
        QString path = WriteImage(editor.dir.filePath(u"two.gba"_s),
                                  RealChart().replace(60, 3, "\xfe\xfe\x00"_ba));
        QCOMPARE(Answer({path, u"enter"_s}, [&] { editor->Open1->trigger(); }),
                 QStringList({u"dialog"_s,
                              u"Warning | There's more than one Foresight entry present. | OK"_s}));
        QCOMPARE(FileState(*editor.form), u"open, 111 rows, row 0, 12 of 12 enabled"_s);
    }

    void faults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("written"); // how many chart bytes carry the edits afterwards
        QTest::addColumn<bool>("saved");
        QTest::newRow("write fails part-way") << u"limit"_s << 100 << false;
        QTest::newRow("sync fails") << u"sync"_s << ChartSize << false;
        QTest::newRow("permissions dropped") << u"chmod"_s << ChartSize << true;
        QTest::newRow("renamed") << u"rename"_s << 0 << false;
        QTest::newRow("replaced") << u"replace"_s << 0 << false;
        QTest::newRow("deleted") << u"delete"_s << 0 << false;
        QTest::newRow("cut before the chart") << u"cut 1048576"_s << 0 << false;
        QTest::newRow("cut inside the chart") << u"cut 2420999"_s << 0 << false;
        QTest::newRow("cut after the chart") << u"cut 2421300"_s << ChartSize << true;
        QTest::newRow("4 GiB image") << u"huge"_s << ChartSize << true;
        QTest::newRow("odd name") << u"Pokémon Rouge Feu (FR) — copie ß"_s << ChartSize << true;
    }
    // What the user is told, and what the file holds afterwards; it is never grown back.
    void faults() {
        QFETCH(QString, fault);
        QFETCH(int, written);
        QFETCH(bool, saved);
        Editor editor;
        QString path = editor.dir.filePath(fault + u".gba"_s), other = path + u".other"_s;
        OpenImage(*editor.form, WriteImage(path, RealChart(), "BPRE", FireRedChart,
                                           fault == u"huge" ? 4LL << 30 : 16 << 20));
        Select(*editor.form, 16, 0, 3);
        Press(*editor.form, 0, editor->ChangeButton);
        Press(*editor.form, 110, editor->ChangeButton);
        const QByteArray edits = TableBytes();
        rlimit unlimited{};
        ::getrlimit(RLIMIT_FSIZE, &unlimited);
        const rlimit limit{FireRedChart + 100, unlimited.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        if (fault == u"limit")
            ::setrlimit(RLIMIT_FSIZE, &limit);
        FailSync = fault == u"sync";
        if (fault == u"chmod")
            QFile::setPermissions(path, QFile::ReadOwner);
        if (fault == u"rename" && QFile::rename(path, other))
            path = other;
        if (fault == u"replace")
            QVERIFY(QFile::copy(path, other) && ::rename(qPrintable(other), qPrintable(path)) == 0);
        if (fault == u"delete")
            QFile::remove(path);
        if (fault.startsWith(u"cut "))
            QFile::resize(path, fault.mid(4).toLongLong());
        const qint64 size = QFileInfo(path).size();
        QStringList told = Answer({u"enter"_s}, [&] { editor->Save1->trigger(); });
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        FailSync = false;
        QCOMPARE(told,
                 QStringList(saved ? Saved : u"Warning | The file could not be saved! | OK"_s));
        QCOMPARE(QFileInfo(path).size(), size);
        QByteArray expected = edits.left(written) + RealChart().mid(written, ChartSize - written);
        QCOMPARE(FileBytes(path, FireRedChart, ChartSize),
                 expected.left(qMax(0, size - FireRedChart)));
    }
};

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
