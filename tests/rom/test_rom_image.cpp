// Identifying images and reading and writing their chart, on real files.

#include "chart/type_chart.h"
#include "rom/rom_image.h"
#include "support/rom_fixture.h"

#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Unreadable("\xff\xff\xff\xff", 4);

// Fills the table with bytes no image holds, as an earlier image's edits might have left it.
void FillTableWithOldEdits() {
    for (TypeChartEntry& e : TypeChart) {
        e.attacking = 3;
        e.defending = 3;
        e.factor = 3;
    }
}

// Opens, identifies and reads `path` as the Open command does; returns whether it is supported.
bool OpenAndRead(const QString& path) {
    RomStream.open(path);
    if (!FindTableOffset(ReadGameCode()))
        return false;
    ReadTypeChart();
    return true;
}

void ExpectNotAttached(const QString& path) {
    RomStream.open(path);
    QVERIFY(!RomStream.is_open());
    QVERIFY(RomStream.fail());
    QCOMPARE(ReadGameCode(), Unreadable);
}

} // namespace

class TestRomImage : public QObject {
    Q_OBJECT

private slots:
    void init() { ResetProgramState(); }
    void cleanup() { ResetProgramState(); }

    void identifiesEveryRelease_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<uint>("offset");
        QTest::newRow("AXVE") << "AXVE"_ba << 2070304u;
        QTest::newRow("AXPE") << "AXPE"_ba << 2070192u;
        QTest::newRow("BPEE") << "BPEE"_ba << 3255528u;
        QTest::newRow("BPRE") << "BPRE"_ba << 2420816u;
        QTest::newRow("BPGE") << "BPGE"_ba << 2420780u;
        QTest::newRow("AXVF") << "AXVF"_ba << 2104104u;
        QTest::newRow("AXPF") << "AXPF"_ba << 2103992u;
        QTest::newRow("BPEF") << "BPEF"_ba << 3287064u;
        QTest::newRow("BPRF") << "BPRF"_ba << 2397276u;
        QTest::newRow("BPGF") << "BPGF"_ba << 2397240u;
    }
    void identifiesEveryRelease() {
        QFETCH(QByteArray, code);
        QFETCH(uint, offset);
        ImageFolder folder;
        QString path = folder.writeRealImage(u"rom.gba"_s, code.constData());
        QVERIFY(OpenAndRead(path));
        QCOMPARE(TableOffset, offset);
        QCOMPARE(TableRecords(), RealChart().first(MaxEntries));
        // The end-of-chart record was read as a 112th record and dropped.
        QCOMPARE(RomStream.position(), offset + 336u);
        QVERIFY(!RomStream.fail());
    }

    void unsupportedCodesLeaveTheOffsetAlone_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::newRow("lower-case Ruby") << "axve"_ba;
        QTest::newRow("other game") << "AGBJ"_ba;
        QTest::newRow("zeros") << QByteArray(4, '\0');
        QTest::newRow("trailing space") << "BPR "_ba;
    }
    void unsupportedCodesLeaveTheOffsetAlone() {
        QFETCH(QByteArray, code);
        ImageFolder folder;
        TableOffset = 12345;
        RomStream.open(folder.writeImage(u"rom.gba"_s, code, {}, 4096));
        QCOMPARE(ReadGameCode(), code);
        QVERIFY(!FindTableOffset(code));
        QCOMPARE(TableOffset, 12345u);
        QVERIFY(!FindTableOffset(QByteArray("BPRE", 3)));
        QVERIFY(!FindTableOffset("BPREX"_ba));
    }

    void shortFilesReadAsUnsupported() {
        ImageFolder folder;
        QByteArray bytes(174, 'x');
        bytes.replace(172, 2, "BP");
        RomStream.open(folder.writeFile(u"short.gba"_s, bytes));
        QVERIFY(RomStream.is_open());
        QCOMPARE(ReadGameCode(), QByteArray("BP\xff\xff", 4));
        QVERIFY(RomStream.fail());
        QVERIFY(!FindTableOffset(QByteArray("BP\xff\xff", 4)));

        RomStream.open(folder.writeFile(u"empty.gba"_s, {}));
        QCOMPARE(ReadGameCode(), Unreadable);
    }

    void moreThan111RecordsStopAfterThe112th() {
        ImageFolder folder;
        QList<ChartRecordBytes> records = RealChart().first(MaxEntries);
        records.append({1, 2, 3}); // 112th: consumed and dropped
        QByteArray chart = ChartBytes(records);
        // The file ends right after the 112th record: reading anything more would fail.
        QByteArray bytes(int(OffsetOf("BPRE")), 'z');
        bytes.replace(GameCodeOffset, 4, "BPRE");
        QString path = folder.writeFile(u"rom.gba"_s, bytes + chart);
        QVERIFY(OpenAndRead(path));
        QCOMPARE(TableRecords(), records.first(MaxEntries));
        QCOMPARE(RomStream.position(), OffsetOf("BPRE") + 336u);
        QVERIFY(!RomStream.fail());
    }

    void lookAlikeTerminatorsAreOrdinaryRecords() {
        ImageFolder folder;
        QList<ChartRecordBytes> records = RealChart();
        records[10] = {255, 255, 7};
        records[11] = {255, 254, 0};
        records[12] = {254, 254, 0};
        QVERIFY(OpenAndRead(folder.writeImage(u"rom.gba"_s, "AXVE", ChartBytes(records))));
        QCOMPARE(TableRecords(), records.first(MaxEntries));
    }

    // An early end-of-chart record: the window is kept as it stands in the file, so nothing of
    // an earlier image survives and a save right after the open changes nothing.
    void earlyEndOfChartKeepsTheWindowAsItStands_data() {
        QTest::addColumn<int>("records");
        QTest::newRow("first record") << 0;
        QTest::newRow("after 50") << 50;
        QTest::newRow("after 110") << 110;
    }
    void earlyEndOfChartKeepsTheWindowAsItStands() {
        QFETCH(int, records);
        ImageFolder folder;
        QList<ChartRecordBytes> chart = RealChart().first(records);
        chart.append(ChartTerminator);
        QString path = folder.writeImage(u"rom.gba"_s, "BPEF", ChartBytes(chart), 4u << 20);
        QByteArray before = FileBytes(path);
        FillTableWithOldEdits();

        QVERIFY(OpenAndRead(path));
        QByteArray window = before.mid(OffsetOf("BPEF"), ChartSize);
        QCOMPARE(ChartBytes(TableRecords()), window);
        QCOMPARE(TableRecords()[records], ChartTerminator);
        QCOMPARE(RomStream.position(), OffsetOf("BPEF") + ChartSize);

        WriteTypeChart();
        QVERIFY(!RomStream.fail());
        RomStream.close();
        QCOMPARE(FileBytes(path), before);
    }

    void chartCutByTheEndOfTheFile() {
        ImageFolder folder;
        QByteArray bytes(int(OffsetOf("BPGE")), 'q');
        bytes.replace(GameCodeOffset, 4, "BPGE");
        QByteArray chart = ChartBytes(RealChart()).left(100); // 33 records and one byte
        QString path = folder.writeFile(u"cut.gba"_s, bytes + chart);
        QByteArray before = FileBytes(path);

        QVERIFY(OpenAndRead(path));
        QVERIFY(RomStream.fail());
        QList<ChartRecordBytes> table = TableRecords();
        QCOMPARE(table.first(33), RealChart().first(33));
        QCOMPARE(table[33].attacking, std::uint8_t(chart[99]));
        QCOMPARE(table[33].defending, 255);
        for (int i = 34; i < MaxEntries; ++i)
            QCOMPARE(table[i], (ChartRecordBytes{255, 255, 255}));

        WriteTypeChart(); // the failure is sticky: nothing is written
        QVERIFY(RomStream.fail());
        RomStream.close();
        QCOMPARE(FileBytes(path), before);
    }

    void filesThatCannotBeAttached() {
        ImageFolder folder;
        ExpectNotAttached(folder.path(u"missing.gba"_s));
        QVERIFY(!QFile::exists(folder.path(u"missing.gba"_s)));
        ExpectNotAttached(QString());
        ExpectNotAttached(folder.path(QString()));
        ExpectNotAttached(u"/dev/null"_s);

        QString fifo = folder.path(u"pipe.gba"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        ::alarm(10); // a hang here ends the test run instead of blocking it
        ExpectNotAttached(fifo);
        ::alarm(0);
    }

    void readOnlyFileCannotBeAttached() {
        ImageFolder folder;
        QString path = folder.writeRealImage(u"rom.gba"_s, "BPRE");
        QVERIFY(
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        ::chmod(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), 0755);
        // Root may write any file, so the refusal is only real for an ordinary user.
        int status = RunUnprivileged([&] {
            if (::access(QFile::encodeName(path).constData(), R_OK) != 0)
                return 3; // the test itself is wrong if the user cannot even read it
            RomStream.open(path);
            return !RomStream.is_open() && RomStream.fail() ? 0 : 1;
        });
        if (status < 0)
            QSKIP("Cannot run as an unprivileged user here, so a read-only file cannot be made");
        QCOMPARE(status, 0);
    }

    void secondStreamOnTheSameFileIsRefused() {
        ImageFolder folder;
        QString path = folder.writeRealImage(u"rom.gba"_s, "BPRE");
        {
            RomFileStream first;
            first.open(path);
            QVERIFY(first.is_open());
            ExpectNotAttached(path);
        } // destroying an attached stream closes the file and releases it
        RomStream.open(path);
        QVERIFY(RomStream.is_open());
    }

    void reopeningClearsTheFailure() {
        ImageFolder folder;
        QString good = folder.writeRealImage(u"good.gba"_s, "AXPF");
        ExpectNotAttached(folder.path(u"missing.gba"_s));
        QVERIFY(OpenAndRead(good));
        QVERIFY(!RomStream.fail());

        QByteArray cut(300, 'c');
        cut.replace(GameCodeOffset, 4, "AXPF");
        QVERIFY(OpenAndRead(folder.writeFile(u"cut.gba"_s, cut)));
        QVERIFY(RomStream.fail());
        RomStream.open(good);
        QCOMPARE(ReadGameCode(), "AXPF"_ba);
        QVERIFY(!RomStream.fail());
    }

    void writeTouchesOnlyTheChartWindow() {
        ImageFolder folder;
        QString path = folder.writeRealImage(u"rom.gba"_s, "BPRE");
        QByteArray original = FileBytes(path);
        QCOMPARE(original.size(), 16 << 20);

        QVERIFY(OpenAndRead(path));
        WriteTypeChart(); // unchanged chart: unchanged file
        QVERIFY(!RomStream.fail());
        QCOMPARE(FileBytes(path), original);

        for (TypeChartEntry& e : TypeChart) { // every byte differs from the real chart's
            e.attacking = static_cast<TypeId>(~e.attacking);
            e.defending = static_cast<TypeId>(~e.defending);
            e.factor = static_cast<FactorByte>(~e.factor);
        }
        WriteTypeChart();
        QVERIFY(!RomStream.fail());
        QByteArray after = FileBytes(path); // on disk already, before any close
        QList<std::uint64_t> changed = DifferingOffsets(original, after);
        QCOMPARE(changed.size(), ChartSize);
        QCOMPARE(changed.first(), 2420816u);
        QCOMPARE(changed.last(), 2420816u + ChartSize - 1);
        QCOMPARE(after.mid(2420816 + ChartSize, 3), QByteArray("\xff\xff\x00", 3));
    }

    void failedWriteSetsTheFailureState() {
        ImageFolder folder;
        QString path = folder.writeRealImage(u"rom.gba"_s, "BPRE");
        QByteArray original = FileBytes(path);
        // A file-size limit below the chart offset makes the write fail; in a child, so that the
        // limit does not follow the rest of the tests.
        pid_t child = ::fork();
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit {
                1u << 20, 1u << 20
            };
            ::setrlimit(RLIMIT_FSIZE, &limit);
            if (!OpenAndRead(path) || RomStream.fail())
                ::_exit(2);
            TypeChart[0].factor = 99;
            WriteTypeChart();
            ::_exit(RomStream.fail() ? 0 : 1);
        }
        int status = -1;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(FileBytes(path), original);
    }
};

QTEST_GUILESS_MAIN(TestRomImage)
#include "test_rom_image.moc"
