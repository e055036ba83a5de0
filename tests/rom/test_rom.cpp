// ROM access: identifying images and reading their chart, on real files without a window; then
// File > Open and Save through the real menu, file dialog and message boxes, with the file
// refused, changed or failing around them: the user is told the truth, and the file holds the
// chart and nothing else that the editor wrote.

#include "support/editor.h"

#include <QtTest>

#ifdef Q_OS_LINUX
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// Every regular file of the folder, name and bytes.
QByteArray Folder(const QDir& folder) {
    QByteArray all;
    for (const QFileInfo& file : folder.entryInfoList(QDir::Files, QDir::Name))
        all += file.fileName().toUtf8() + FileBytes(file.filePath());
    return all;
}
} // namespace

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
    // changes nothing. Cut by the end of the file: every byte from there reads as 255, nothing
    // more is read, and nothing is ever written while the file stays attached, even once it has
    // grown back.
    void chartsCutShort_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<qint64>("size");
        for (int records : {0, 50, 110})
            QTest::addRow("end after %d records", records) << records << ImageSize;
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
        const bool cut = size < FireRedChart + ChartSize;
        QCOMPARE(ReadGameCode(), cut ? "\xff\xff\xff\xff"_ba : "BPRE"_ba);
        QVERIFY(QFile::resize(path, ImageSize));
        for (int save = 0; save < 2; ++save) {
            WriteTypeChart();
            QCOMPARE(RomStream.fail(), cut);
        }
        QCOMPARE(FileBytes(path).left(before.size()), before);
    }

    // File > Open over an edited image. The question comes first, No the default; cancelled, the
    // image stays with its edits. A typed name is taken as it stands when it names a file, and
    // gets ".gba" only when it names nothing. A file refused is refused with its own reason and
    // the window goes back to its no-image state, the file left as it was, nothing of it held
    // open and its lock free.
    void open_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("told"); // the message after the dialog, or -1
        QTest::addColumn<QString>("state");
        const QString kept = u"open, 111 rows, row 42, 12 of 12 enabled"_s;
        QTest::newRow("No") << QStringList{u"enter"_s} << -1 << kept;
        QTest::newRow("cancelled") << QStringList{u"yes"_s, u"escape"_s} << -1 << kept;
        auto typed =
            [&](const char* name, int message) {
                QStringList steps{u"yes"_s, QString::fromUtf8(name)};
                QTest::newRow(name)
                    << (message < 0 ? steps : steps << u"enter"_s) << message
                    << (message < 0 || message == MultipleForesightEntriesMessage ? kept : NoImage);
            };
        typed("firered", -1); // "firered.gba", not supported, stands beside it
        typed("emerald", -1);
        typed("two Foresight entries.gba", MultipleForesightEntriesMessage);
        typed("AGBJ.gba", UnsupportedRomMessage);
        typed("short.gba", UnsupportedRomMessage);
        typed("missing.gba", NoSuchFileMessage);
        typed("read-only.gba", NotWritableFileMessage);
        typed("locked.gba", FileInUseMessage);
#ifdef Q_OS_LINUX
        typed("fifo", NotRegularFileMessage);
        typed("/dev/zero", NotRegularFileMessage);
#endif
    }
    void open() {
        QFETCH(QStringList, steps);
        QFETCH(int, told);
        QFETCH(QString, state);
        Editor editor(RealChart());
        Select(*editor.form, 16, 16, 3);
        Press(*editor.form, 42, editor->ChangeButton);
        QDir folder(editor.dir.path());
        QFile::setPermissions(folder.path(), QFile::permissions(folder.path()) | QFile::ExeOther);
        for (const char* name : {"firered", "emerald.gba", "locked.gba", "read-only.gba"})
            WriteImage(folder.filePath(QString::fromLatin1(name)));
        WriteImage(folder.filePath(u"firered.gba"_s), RealChart(), "AGBJ");
        WriteImage(folder.filePath(u"AGBJ.gba"_s), RealChart(), "AGBJ");
        WriteImage(folder.filePath(u"short.gba"_s), RealChart(), "BPRE", FireRedChart, 174);
        WriteImage(folder.filePath(u"two Foresight entries.gba"_s),
                   RealChart().replace(60, 3, "\xfe\xfe\x00"_ba));
        QFile::setPermissions(folder.filePath(u"read-only.gba"_s), QFile::ReadOwner);
        RomFileStream otherEditor;
        otherEditor.open(folder.filePath(u"locked.gba"_s));
#ifdef Q_OS_LINUX
        ::mkfifo(qPrintable(folder.filePath(u"fifo"_s)), 0600);
        // Permission bits do not bind root: look at the files as a user without privileges does.
        const bool asUser = ::getuid() == 0 && steps.value(1) == u"read-only.gba";
#endif
        const bool chose = steps.size() > 1 && steps[1] != u"escape";
        if (chose)
            steps[1] = folder.absoluteFilePath(steps[1]); // typed as a whole path
        const QByteArray files = Folder(folder);

        QStringList expected{Box(WarningTitle, AlreadyOpenMessage, u"Yes No*"_s)};
        if (steps.size() > 1)
            expected << u"dialog"_s;
        if (told >= 0)
            expected << Box(told == MultipleForesightEntriesMessage ? WarningTitle : AttentionTitle,
                            StringKey(told));
        const QStringList shown = Answer(steps, [&] {
#ifdef Q_OS_LINUX
            ::setfsuid(asUser ? 65534 : 0);
#endif
            editor->Open1->trigger();
#ifdef Q_OS_LINUX
            ::setfsuid(::getuid());
#endif
        });
        otherEditor.close();
        QCOMPARE(shown, expected);
        QCOMPARE(FileState(*editor.form), state);
        QCOMPARE(TableBytes().mid(126, 3) == "\x10\x10\x14"_ba, state == NoImage || !chose);
        QCOMPARE(Folder(folder), files);
        QCOMPARE(Released(editor.path), chose);
        if (state == NoImage)
            QVERIFY(Released(steps[1]));
    }

    void saves_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("told"); // by the first save, then by the second
        QTest::addColumn<bool>("edited");  // whether the file ends holding the edits
        QTest::addColumn<qint64>("size");
        const qint64 whole = ImageSize, inside = FireRedChart + 183, after = FireRedChart + 600;
        QTest::newRow("none") << u""_s << u"saved saved"_s << true << whole;
        QTest::newRow("write fails part-way, retried")
            << u"write"_s << u"failed saved"_s << true << whole;
        QTest::newRow("sync fails, retried") << u"sync"_s << u"failed saved"_s << true << whole;
        QTest::newRow("renamed, then back") << u"rename"_s << u"failed saved"_s << true << whole;
        QTest::newRow("replaced") << u"replace"_s << u"failed failed"_s << false << whole;
        QTest::newRow("deleted") << u"delete"_s << u"failed failed"_s << false << qint64(0);
        QTest::newRow("cut inside the chart") << u"cut"_s << u"failed failed"_s << false << inside;
        QTest::newRow("cut after the chart") << u"cut"_s << u"saved saved"_s << true << after;
        QTest::newRow("cut during the sync")
            << u"cut in sync"_s << u"failed failed"_s << true << inside;
        QTest::newRow("replaced during the sync")
            << u"replace in sync"_s << u"failed failed"_s << false << whole;
    }
    // Two saves in a row, the fault in force for the first and lifted, where it can be, before
    // the second. The user is told the truth each time, and the file at the path holds exactly
    // the edited chart or what it held, never grown, never torn by a save that said it failed
    // and was then retried.
    void saves() {
        QFETCH(QString, fault);
        QFETCH(QString, told);
        QFETCH(bool, edited);
        QFETCH(qint64, size);
        Editor editor(RealChart().replace(ChartSize, 3, "\x01\x02\x03"_ba));
        const QString path = editor.path, other = path + u".other"_s;
        const QByteArray before = FileBytes(path);
        QVERIFY(QFile::copy(path, other));
        Press(*editor.form, 0, editor->ChangeButton);
        Press(*editor.form, 110, editor->ChangeButton);
        const QByteArray after = QByteArray(before).replace(FireRedChart, ChartSize, TableBytes());
        auto replace = [&] { return ::rename(qPrintable(other), qPrintable(path)) == 0; };
        if (fault == u"write")
            RomFileTestHooks.writeAt = [](FileHandle file, std::uint64_t at,
                                          const std::uint8_t* bytes, std::size_t count) {
                return WriteAt(file, at, bytes, std::min<std::size_t>(count, 100));
            };
        if (fault.endsWith(u"sync"))
            RomFileTestHooks.sync = [&](FileHandle file) {
                if (fault.startsWith(u"cut"))
                    QFile::resize(path, size);
                if (fault.startsWith(u"replace") && !replace())
                    return false;
                return fault != u"sync" && SyncFile(file);
            };
        if (fault == u"rename")
            QVERIFY(QFile::rename(path, path + u".moved"_s));
        if (fault == u"replace")
            QVERIFY(replace());
        if (fault == u"delete")
            QVERIFY(QFile::remove(path));
        if (fault == u"cut")
            QVERIFY(QFile::resize(path, size));

        QStringList shown = Answer({u"enter"_s}, [&] { editor->Save1->trigger(); });
        RomFileTestHooks = {};
        if (fault == u"rename")
            QVERIFY(QFile::rename(path + u".moved"_s, path));
        shown += Answer({u"enter"_s}, [&] { editor->Save1->trigger(); });
        shown.replaceInStrings(Box(AttentionTitle, SavedMessage), u"saved"_s);
        shown.replaceInStrings(Box(WarningTitle, SaveFailedMessage), u"failed"_s);
        QCOMPARE(shown.join(u' '), told);
        QCOMPARE(FileBytes(path), (edited ? after : before).left(size));
    }
};

QTEST_MAIN(TestRom)
#include "test_rom.moc"
