// ROM access: identifying images and reading their chart, on real files without a window; then
// File > Open and Save through the real menu, file dialog and message boxes, with the file
// refused, changed or failing around them: the user is told the truth, and the file holds the
// chart and nothing else that the editor wrote.

#include "support/editor.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
// Every regular file of the folder, name and bytes.
QByteArray Folder(const QDir& folder) {
    QByteArray all;
    for (const QFileInfo& file : folder.entryInfoList(QDir::Files, QDir::Name))
        all += file.fileName().toUtf8() + FileBytes(file.filePath());
    return all;
}

// True when this process holds nothing of the file open and another stream can attach it, which
// it cannot while anyone holds the file's lock.
bool Released(const QString& path) {
#ifdef Q_OS_LINUX // where the system lists the process's descriptors: none may lead to the file
    for (const QFileInfo& fd : QDir(u"/proc/self/fd"_s).entryInfoList(QDir::Files | QDir::System))
        if (fd.symLinkTarget() == QFileInfo(path).canonicalFilePath())
            return false;
#endif
    RomFileStream otherEditor;
    otherEditor.open(path);
    return otherEditor.is_open() || !QFileInfo(path).isFile();
}

// While one lives, this thread sees files as a user without privileges does: the tests may run as
// root, whom permission bits do not bind (on Linux).
struct Unprivileged {
#ifdef Q_OS_LINUX
    Unprivileged() {
        ::setfsuid(::getuid() == 0 ? 65534 : ::getuid());
    }
    ~Unprivileged() {
        ::setfsuid(::getuid());
    }
#endif
};

// Cuts the file short: by its name, or on Windows, which lets no other program do it, through the
// editor's own handle.
bool Cut([[maybe_unused]] FileHandle file, [[maybe_unused]] const QString& path, qint64 size) {
#ifdef Q_OS_WIN
    LARGE_INTEGER at{};
    at.QuadPart = size;
    return SetFilePointerEx(HANDLE(file), at, nullptr, FILE_BEGIN) && SetEndOfFile(HANDLE(file));
#else
    return QFile::resize(path, size);
#endif
}
} // namespace

class TestRom : public QObject {
    Q_OBJECT

private slots:
    void init() { ResetProgramState(); }
    void cleanup() { RomFileTestHooks = {}; } // a failed check leaves them in place

    void reads_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<uint>("offset"); // 0: not supported
        QTest::addColumn<int>("records"); // before the end-of-chart record
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("grows"); // back to its size, between the read and the saves
        const std::pair<const char*, uint> releases[] = {
            {"AXVE", 0x1F9720}, {"AXPE", 0x1F96B0}, {"BPEE", 0x31ACE8}, {"BPRE", 0x24F050},
            {"BPGE", 0x24F02C}, {"AXVF", 0x201B28}, {"AXPF", 0x201AB8}, {"BPEF", 0x322818},
            {"BPRF", 0x24945C}, {"BPGF", 0x249438}, {"axve", 0},        {"BP", 0}};
        for (auto [code, offset] : releases)
            QTest::newRow(code) << QByteArray(code) << offset << 111 << qint64(4 << 20) << false;
        for (int records : {0, 50, 110})
            QTest::addRow("end after %d records", records)
                << "BPRE"_ba << FireRedChart << records << ImageSize << false;
        QTest::newRow("file cut in the 34th record")
            << "BPRE"_ba << FireRedChart << 111 << qint64(FireRedChart + 100) << false;
#ifndef Q_OS_WIN // Windows lets no other program grow the file while the editor holds it
        QTest::newRow("file cut in the 34th record, grown back")
            << "BPRE"_ba << FireRedChart << 111 << qint64(FireRedChart + 100) << true;
#endif
    }
    // The code at offset 172, compared exactly, picks the chart offset; any other code, or one
    // cut by the end of the file, is refused and leaves the offset and chart alone. Only (255,
    // 255, 0) ends the chart; after 111 records a 112th is read and dropped, and nothing after
    // it. An early end keeps the 333 bytes as they stand in the file, so nothing of an earlier
    // image survives. Cut by the end of the file, every byte from there reads as 255. A save
    // right after, twice, changes nothing; a chart cut short is never written while the file
    // stays attached, even once the file has grown back.
    void reads() {
        QFETCH(QByteArray, code);
        QFETCH(uint, offset);
        QFETCH(int, records);
        QFETCH(qint64, size);
        QFETCH(bool, grows);
        QTemporaryDir dir;
        QByteArray chart = RealChart().replace(ChartSize, 3, "\x01\x02\x03"_ba);
        chart.replace(30, 6, "\xff\xff\x07\xff\xfe\x00"_ba);
        if (records < MaxEntries)
            chart = chart.left(3 * records) + "\xff\xff\x00"_ba;
        const QString path =
            WriteImage(dir.filePath(u"rom"_s), chart, code, offset ? offset : FireRedChart,
                       code.size() < 4 ? 174 : size);
        const QByteArray before = FileBytes(path);
        TableOffset = 1;
        TypeChart.fill({{}, 3, 3, 3});
        RomStream.open(path);
        QCOMPARE(FindTableOffset(ReadGameCode()), offset > 0);
        QCOMPARE(TableOffset, offset ? offset : 1);
        if (offset == 0) {
            QCOMPARE(TableBytes(), QByteArray(ChartSize, 3));
            return;
        }
        ReadTypeChart();
        QCOMPARE(TableBytes(), before.mid(offset, ChartSize).leftJustified(ChartSize, '\xff'));
        const bool cut = size < offset + ChartSize;
        if (records == 111 && !cut)
            QCOMPARE(RomStream.position(), std::uint64_t(offset + ChartSize + 3));
        QCOMPARE(ReadGameCode() == code, !cut); // after a read met the end, nothing more is read
        QVERIFY(!grows || QFile::resize(path, ImageSize));
        for (int save = 0; save < 2; ++save) {
            WriteTypeChart();
            QCOMPARE(RomStream.fail(), cut);
        }
        QCOMPARE(FileBytes(path), grows ? before.leftJustified(ImageSize, '\0') : before);
    }

    // What the system reports reaches the stream: a write or a sync that fails says so.
    void systemFailures() {
        const std::uint8_t zero = 0;
        QVERIFY(WriteAt(NoFile, 0, &zero, 1) != 1);
        QVERIFY(!SyncFile(NoFile));
    }

    void open_data() {
        QTest::addColumn<QStringList>("steps"); // one for each window that comes up
        QTest::addColumn<int>("told");          // the message after the dialog, or -1
        QTest::newRow("No") << QStringList{u"enter"_s} << -1;
        QTest::newRow("cancelled") << QStringList{u"yes"_s, u"escape"_s} << -1;
        auto typed = [](const char* name, int told) {
            const QStringList steps{u"yes"_s, QString::fromUtf8(name), u"enter"_s};
            QTest::newRow(name) << steps.first(told < 0 ? 2 : 3) << told;
        };
        typed("firered", -1); // "firered.gba", not supported, stands beside it
        typed("emerald", -1);
        typed("two Foresight entries.gba", MultipleForesightEntriesMessage);
        typed("AGBJ.gba", UnsupportedRomMessage);
        typed("missing.gba", NoSuchFileMessage);
        typed("read-only.gba", NotWritableFileMessage);
        typed("locked.gba", FileInUseMessage);
#ifdef Q_OS_LINUX
        typed("fifo", NotRegularFileMessage);
        typed("/dev/zero", NotRegularFileMessage);
        typed("loop.gba", FileSystemErrorMessage); // a link to itself
#endif
    }
    // File > Open over an edited image. The question comes first, No the default; cancelled, the
    // image stays with its edits. A typed name is taken as it stands when it names a file, and
    // gets ".gba" only when it names nothing. A file refused is refused with its own reason and
    // the window goes back to its no-image state; every file stays as it was, and nothing of the
    // refused one is held open, its lock free.
    void open() {
        QFETCH(QStringList, steps);
        QFETCH(int, told);
        Editor editor(RealChart());
        Select(*editor.form, 16, 16, 3);
        Press(*editor.form, 42, editor->ChangeButton);
        QDir folder(editor.dir.path());
        QFile::setPermissions(folder.path(), QFile::permissions(folder.path()) | QFile::ExeOther);
        for (const char* name : {"firered", "emerald.gba", "locked.gba", "read-only.gba"})
            WriteImage(folder.filePath(QString::fromLatin1(name)));
        for (const char* name : {"firered.gba", "AGBJ.gba"})
            WriteImage(folder.filePath(QString::fromLatin1(name)), RealChart(), "AGBJ");
        WriteImage(folder.filePath(u"two Foresight entries.gba"_s),
                   RealChart().replace(60, 3, "\xfe\xfe\x00"_ba));
        QFile::setPermissions(folder.filePath(u"read-only.gba"_s), QFile::ReadOwner);
        RomFileStream otherEditor;
        otherEditor.open(folder.filePath(u"locked.gba"_s));
#ifdef Q_OS_LINUX
        ::mkfifo(qPrintable(folder.filePath(u"fifo"_s)), 0600);
        QFile::link(u"loop.gba"_s, folder.filePath(u"loop.gba"_s));
#endif
        const bool chose = steps.size() > 1 && steps[1] != u"escape";
        const bool refused = told >= 0 && told != MultipleForesightEntriesMessage;
        if (chose)
            steps[1] = folder.absoluteFilePath(steps[1]); // typed as a whole path
        const QByteArray files = Folder(folder);
        QStringList expected{Box(WarningTitle, AlreadyOpenMessage, u"Yes No*"_s), u"dialog"_s};
        if (told >= 0)
            expected << Box(refused ? AttentionTitle : WarningTitle, StringKey(told));
        std::optional<Unprivileged> user;
        if (told == NotWritableFileMessage)
            user.emplace();
#ifdef Q_OS_WIN // where wine run as root lets the user write a read-only file
        if (user && QFile(steps[1]).open(QIODevice::ReadWrite))
            QSKIP("The read-only attribute does not bind here: the system lets this user write");
#endif
        const QStringList shown = Answer(steps, [&] { editor->Open1->trigger(); });
        user.reset();
        otherEditor.close();
        QFile::setPermissions(folder.filePath(u"read-only.gba"_s),
                              QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(shown, expected.first(steps.size()));
        QCOMPARE(FileState(*editor.form),
                 refused ? NoImage : u"open, 111 rows, row 42, enabled 11 1111111111101"_s);
        QCOMPARE(TableBytes().mid(126, 3) == "\x10\x10\x14"_ba, refused || !chose);
        QCOMPARE(Folder(folder), files);
        QCOMPARE(Released(editor.path), chose);
        QVERIFY(!refused || Released(steps[1]));
    }

    void saves_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("told"); // by the first save and the second, then what the
                                           // file holds: the edits, or what it held
        QTest::addColumn<qint64>("size");
        auto row = [](const char* name, const char* fault, const char* told,
                      qint64 size = ImageSize) {
            QTest::newRow(name) << QString::fromLatin1(fault) << QString::fromLatin1(told) << size;
        };
        const qint64 inside = FireRedChart + 183, after = FireRedChart + 600;
        row("none", "", "saved saved, edits");
        row("write fails part-way, retried", "write", "failed saved, edits");
        row("sync fails, retried", "sync", "failed saved, edits");
        row("renamed, then back", "rename", "failed saved, edits");
        row("replaced", "replace", "failed failed, as it was");
        row("deleted", "delete", "failed failed, as it was", 0);
        row("cut inside the chart", "cut", "failed failed, as it was", inside);
        row("cut after the chart", "cut", "failed failed, as it was", after);
        row("cut during the sync", "cut in sync", "failed failed, edits", inside);
        row("replaced during the sync", "replace in sync", "failed failed, as it was");
    }
    // Two saves, the fault in force for the first and lifted, where it can be, before the second,
    // which has one more edit to write. The user is told the truth each time, and the file at the
    // path holds exactly the edited chart or what it held, never grown, never torn by a save that
    // said it failed and was then retried.
    void saves() {
        QFETCH(QString, fault);
        QFETCH(QString, told);
        QFETCH(qint64, size);
        Editor editor(RealChart().replace(ChartSize, 3, "\x01\x02\x03"_ba));
        const QString path = editor.path, other = path + u".other"_s, moved = path + u".moved"_s;
        const QByteArray before = FileBytes(path);
        QVERIFY(QFile::copy(path, other));
#ifdef Q_OS_WIN
        if (!QStringList{u""_s, u"write"_s, u"sync"_s, u"cut in sync"_s}.contains(fault)) {
            QVERIFY(!QFile(path).open(QIODevice::ReadWrite) && !QFile::rename(path, moved));
            QSKIP(
                "Windows lets no other program change, move or delete the image while it is open");
        }
#endif
        Press(*editor.form, 0, editor->ChangeButton);
        Press(*editor.form, 110, editor->ChangeButton);
        auto replace = [&] { return ::rename(qPrintable(other), qPrintable(path)) == 0; };
        if (fault == u"write")
            RomFileTestHooks.writeAt = [](FileHandle file, std::uint64_t at,
                                          const std::uint8_t* bytes, std::size_t count) {
                return WriteAt(file, at, bytes, std::min<std::size_t>(count, 100));
            };
        if (fault.endsWith(u"sync"))
            RomFileTestHooks.sync = [&](FileHandle file) {
                return (fault.startsWith(u"cut") ? Cut(file, path, size)
                                                 : fault.startsWith(u"replace") && replace()) &&
                       SyncFile(file);
            };
        QVERIFY(fault != u"rename" || QFile::rename(path, moved));
        QVERIFY(fault != u"replace" || replace());
        QVERIFY(fault != u"delete" || QFile::remove(path));
        QVERIFY(fault != u"cut" || QFile::resize(path, size));

        QStringList shown = Answer({u"enter"_s}, [&] { editor->Save1->trigger(); });
        RomFileTestHooks = {};
        QVERIFY(fault != u"rename" || QFile::rename(moved, path));
        Press(*editor.form, 100, editor->ChangeButton); // more for the second save to write
        const QByteArray edits = QByteArray(before).replace(FireRedChart, ChartSize, TableBytes());
        shown += Answer({u"enter"_s}, [&] { editor->Save1->trigger(); });
        shown.replaceInStrings(Box(AttentionTitle, SavedMessage), u"saved"_s);
        shown.replaceInStrings(Box(WarningTitle, SaveFailedMessage), u"failed"_s);
        const QByteArray now = FileBytes(path);
        QCOMPARE(shown.join(u' ') + (now == before.left(size)  ? u", as it was"_s
                                     : now == edits.left(size) ? u", edits"_s
                                                               : u", neither"_s),
                 told);
    }
};

QTEST_MAIN(TestRom)
#include "test_rom.moc"
