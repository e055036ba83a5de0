// Identifying images, reading their chart and writing it back, on real files, without a window.

#include "support/images.h"

#include <QtTest>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// As File > Open does it; false when the release is not recognised.
bool OpenAndRead(const QString& path) {
    RomStream.open(path);
    const bool recognised = FindTableOffset(ReadGameCode());
    if (recognised)
        ReadTypeChart();
    return recognised;
}
} // namespace

class TestRomImage : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void init() { ResetProgramState(); }

    // The code at offset 172, compared exactly, picks the chart offset; any other code, or one
    // cut by the end of the file, is refused and leaves the offset alone.
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
        QString path = WriteImage(dir.filePath(u"rom"_s), RealChart(), code,
                                  offset ? offset : FireRedChart, code.size() < 4 ? 174 : 16 << 20);
        QCOMPARE(OpenAndRead(path), offset > 0);
        QCOMPARE(TableOffset, offset ? offset : 1);
        QCOMPARE(TableBytes(), offset ? RealChart().left(ChartSize) : QByteArray(ChartSize, 0));
    }

    // Only (255, 255, 0) ends the chart; after 111 records a 112th is read and dropped, and
    // nothing after it is read.
    void recordsThatDoNotEndTheChart() {
        QByteArray chart = RealChart().replace(30, 6, "\xff\xff\x07\xff\xfe\x00"_ba);
        QVERIFY(OpenAndRead(
            WriteImage(dir.filePath(u"rom"_s), chart.replace(ChartSize, 3, "\x01\x02\x03"_ba))));
        QCOMPARE(TableBytes(), chart.left(ChartSize));
        QCOMPARE(RomStream.position(), std::uint64_t(FireRedChart + ChartSize + 3));
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
        for (const char* kind : {"missing", "", "/", "fifo", "/dev/zero", "locked", "read-only"})
            QTest::newRow(*kind ? kind : "no name") << QString::fromLatin1(kind);
    }
    // Not attached, and not created.
    void refusedFiles() {
        QFETCH(QString, path);
        RomFileStream otherEditor;
        const passwd* nobody = ::getpwnam("nobody");
        if (!path.isEmpty() && !path.startsWith(u'/'))
            path = dir.filePath(path);
        if (path.endsWith(u"fifo"))
            QCOMPARE(::mkfifo(qPrintable(path), 0600), 0);
        if (path.endsWith(u"locked"))
            otherEditor.open(WriteImage(path));
        if (path.endsWith(u"read-only")) { // root may write any file: try it as an ordinary user
            ::chmod(qPrintable(dir.path()), 0755);
            ::chmod(qPrintable(WriteImage(path)), 0444);
            if (!nobody || ::seteuid(nobody->pw_uid) != 0)
                QSKIP("No ordinary user to try a read-only file as");
        }
        ::alarm(10); // waiting on the FIFO ends the run rather than hang it
        RomStream.open(path);
        ::alarm(0);
        QCOMPARE(::seteuid(0), 0);
        QVERIFY(!RomStream.is_open() && RomStream.fail());
        QVERIFY(!QFile::exists(dir.filePath(u"missing"_s)));
    }

    // A save puts the 333 chart bytes in place, before any close, and writes nothing else.
    void saveWritesTheChartAndNothingElse() {
        QByteArray chart = RealChart().replace(ChartSize, 3, "\x01\x02\x03"_ba);
        QString path = WriteImage(dir.filePath(u"rom"_s), chart);
        QByteArray expected = FileBytes(path);
        QVERIFY(OpenAndRead(path));
        for (TypeChartEntry& e : TypeChart)
            e = {{}, TypeId(~e.attacking), TypeId(~e.defending), FactorByte(~e.factor)};
        WriteTypeChart();
        QVERIFY(!RomStream.fail());
        QCOMPARE(FileBytes(path), expected.replace(FireRedChart, ChartSize, TableBytes()));
    }
};

QTEST_GUILESS_MAIN(TestRomImage)
#include "test_rom_image.moc"
