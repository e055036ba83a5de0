// ROM access: identifying images, reading their chart and writing it back, on real files
// without a window; then File > Open, Save, Close and Exit through the real menu, file dialog and
// message boxes, and faults injected between Open and Save: a save is reported as done only when
// the chart really is in the file at the path the user chose.

#include "support/editor.h"

#include <QtTest>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
bool FailSync = false;

// As File > Open does it; false when the release is not recognised.
bool OpenAndRead(const QString& path) {
    RomStream.open(path);
    const bool recognised = FindTableOffset(ReadGameCode());
    if (recognised)
        ReadTypeChart();
    return recognised;
}
} // namespace

// Stands in for the C library's fsync in this program, to play a device failing to write.
extern "C" int fsync(int fd) {
    if (!FailSync)
        return static_cast<int>(::syscall(SYS_fsync, fd));
    errno = EIO;
    return -1;
}

class TestRom : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void init() { ResetProgramState(); }

    // The code at offset 172, compared exactly, picks the chart offset; any other code, or one
    // cut by the end of the file, is refused and leaves the offset alone. Only (255, 255, 0) ends
    // the chart; after 111 records a 112th is read and dropped, and nothing after it.
    void releases_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<uint>("offset");
        const std::pair<const char*, uint> releases[] = {
            {"AXVE", 0x1F9720}, {"AXPE", 0x1F96B0}, {"BPEE", 0x31ACE8}, {"BPRE", 0x24F050},
            {"BPGE", 0x24F02C}, {"AXVF", 0x201B28}, {"AXPF", 0x201AB8}, {"BPEF", 0x322818},
            {"BPRF", 0x24945C}, {"BPGF", 0x249438}, {"axve", 0},        {"BP", 0}};
        for (auto [code, offset] : releases)
            QTest::newRow(code) << QByteArray(code) << offset;
    }
    void releases() {
        QFETCH(QByteArray, code);
        QFETCH(uint, offset);
        TableOffset = 1;
        QByteArray chart = RealChart().replace(ChartSize, 3, "\x01\x02\x03"_ba);
        chart.replace(30, 6, "\xff\xff\x07\xff\xfe\x00"_ba);
        QString path = WriteImage(dir.filePath(u"rom"_s), chart, code,
                                  offset ? offset : FireRedChart, code.size() < 4 ? 174 : 16 << 20);
        QCOMPARE(OpenAndRead(path), offset > 0);
        QCOMPARE(TableOffset, offset ? offset : 1);
        QCOMPARE(TableBytes(), offset ? chart.left(ChartSize) : QByteArray(ChartSize, 0));
        if (offset)
            QCOMPARE(RomStream.position(), std::uint64_t(offset + ChartSize + 3));
    }

    // An early end: the 333 bytes are kept as they stand in the file, end-of-chart record and
    // what follows included, so nothing of an earlier image survives and a save right after
    // changes nothing. Cut by the end of the file: every byte from there reads as 255, and the
    // failure lasts until the next open, so nothing more is read and nothing is written.
    void chartsCutShort_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<qint64>("size");
        for (int records : {0, 50, 110})
            QTest::addRow("end after %d records", records) << records << qint64(16 << 20);
        QTest::newRow("file cut inside the 34th record") << 111 << qint64(FireRedChart + 100);
    }
    void chartsCutShort() {
        QFETCH(int, records);
        QFETCH(qint64, size);
        QByteArray chart = RealChart().left(3 * records) + "\xff\xff\x00"_ba;
        QString path = WriteImage(dir.filePath(u"rom"_s), chart, "BPRE", FireRedChart, size);
        const QByteArray before = FileBytes(path);
        TypeChart.fill({{}, 3, 3, 3});
        QVERIFY(OpenAndRead(path));
        QByteArray window = before.mid(FireRedChart, ChartSize);
        QCOMPARE(TableBytes(), window + QByteArray(ChartSize - window.size(), '\xff'));
        QCOMPARE(ReadGameCode(),
                 size < FireRedChart + ChartSize ? "\xff\xff\xff\xff"_ba : "BPRE"_ba);
        WriteTypeChart();
        QCOMPARE(RomStream.fail(), size < FireRedChart + ChartSize);
        QCOMPARE(FileBytes(path), before);
    }

    void refusedFiles_data() {
        QTest::addColumn<QString>("path");
        for (const char* kind : {"missing", "/", "fifo", "/dev/zero", "locked"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    // Never attached, nor created.
    void refusedFiles() {
        QFETCH(QString, path);
        RomFileStream otherEditor;
        path = path.startsWith(u'/') ? path : dir.filePath(path);
        if (path.endsWith(u"fifo"))
            QCOMPARE(::mkfifo(qPrintable(path), 0600), 0);
        if (path.endsWith(u"locked"))
            otherEditor.open(WriteImage(path));
        ::alarm(10); // waiting on the FIFO ends the run rather than hang it
        RomStream.open(path);
        ::alarm(0);
        QVERIFY(!RomStream.is_open() && RomStream.fail() &&
                !QFile::exists(dir.filePath(u"missing"_s)));
    }

    void openOverAnImage_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("state");
        const QString kept = u"open, 111 rows, row 42, 12 of 12 enabled"_s;
        QTest::newRow("Enter") << QStringList{u"enter"_s} << kept;
        QTest::newRow("Yes, then cancel") << QStringList{u"yes"_s, u"escape"_s} << kept;
        QTest::newRow("Yes, then a file not supported")
            << QStringList{u"yes"_s, u"AGBJ"_s, u"enter"_s} << NoImage;
    }
    // Asked first, No the default; the image stays open with its edits unless another file is
    // chosen. One that is not supported is refused, then the window goes back to its no-image
    // state, so that nothing can be saved into that file.
    void openOverAnImage() {
        QFETCH(QStringList, steps);
        QFETCH(QString, state);
        Editor editor(RealChart());
        Select(*editor.form, 16, 16, 3);
        Press(*editor.form, 42, editor->ChangeButton);
        const QString unsupported =
            WriteImage(editor.dir.filePath(u"AGBJ.gba"_s), RealChart(), "AGBJ");
        const QByteArray before = FileBytes(unsupported);
        QStringList told{Box(WarningTitle, AlreadyOpenMessage, u"Yes No*"_s)};
        if (steps.size() > 1)
            told << u"dialog"_s;
        if (state == NoImage)
            told << Box(AttentionTitle, UnsupportedRomMessage);
        auto open = [&] { editor->Open1->trigger(); };
        QCOMPARE(Answer(steps.replaceInStrings(u"AGBJ"_s, unsupported), open), told);
        QCOMPARE(FileState(*editor.form), state);
        QCOMPARE(TableBytes().mid(126, 3), "\x10\x10\x14"_ba);
        QCOMPARE(FileBytes(unsupported), before);
    }

    // Open shows the chart, with its first row selected and the commands enabled, then the
    // warning.
    void severalForesightEntriesAreWarnedOf() {
        Editor editor;
        QString path = WriteImage(editor.dir.filePath(u"two.gba"_s),
                                  RealChart().replace(60, 3, "\xfe\xfe\x00"_ba));
        QCOMPARE(Answer({path, u"enter"_s}, [&] { editor->Open1->trigger(); }),
                 QStringList({u"dialog"_s, Box(WarningTitle, MultipleForesightEntriesMessage)}));
        QCOMPARE(FileState(*editor.form), u"open, 111 rows, row 0, 12 of 12 enabled"_s);
    }

    void faults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("written"); // how many chart bytes carry the edits afterwards
        QTest::addColumn<bool>("saved");
        QTest::newRow("write fails part-way") << u"limit"_s << 100 << false;
        QTest::newRow("sync fails") << u"sync"_s << ChartSize << false;
        QTest::newRow("renamed") << u"rename"_s << 0 << false;
        QTest::newRow("replaced") << u"replace"_s << 0 << false;
        QTest::newRow("deleted") << u"delete"_s << 0 << false;
        QTest::newRow("cut inside the chart") << u"cut 2420999"_s << 0 << false;
        QTest::newRow("cut after the chart") << u"cut 2421300"_s << ChartSize << true;
    }
    // What the user is told, and what the file holds afterwards: nothing but the chart's 333
    // bytes is ever written, and the file is never grown back.
    void faults() {
        QFETCH(QString, fault);
        QFETCH(int, written);
        QFETCH(bool, saved);
        Editor editor;
        QString path = editor.dir.filePath(fault + u".gba"_s), other = path + u".other"_s;
        OpenImage(*editor.form,
                  WriteImage(path, RealChart().replace(ChartSize, 3, "\x01\x02\x03"_ba)));
        QByteArray expected = FileBytes(path);
        Press(*editor.form, 0, editor->ChangeButton);
        Press(*editor.form, 110, editor->ChangeButton);
        const QByteArray edits = TableBytes();
        rlimit unlimited{}, limit{FireRedChart + 100, RLIM_INFINITY};
        ::getrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, SIG_IGN);
        if (fault == u"limit")
            ::setrlimit(RLIMIT_FSIZE, &limit);
        FailSync = fault == u"sync";
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
        QCOMPARE(told, QStringList(saved ? Box(AttentionTitle, SavedMessage)
                                         : Box(WarningTitle, SaveFailedMessage)));
        QCOMPARE(QFileInfo(path).size(), size);
        QCOMPARE(FileBytes(path),
                 expected.replace(FireRedChart, written, edits.left(written)).left(size));
    }
};

QTEST_MAIN(TestRom)
#include "test_rom.moc"
