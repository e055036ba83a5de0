// ROM access: identifying images and reading their chart, on real files without a window; then
// File > Open and Save through the real menu, file dialog and message boxes, with the file
// refused, changed or failing around them: the user is told the truth, and the file holds the
// chart and nothing else that the editor wrote.

#include "support/editor.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_LINUX
#include <csignal>
#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
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

// The boxes a save ends with, as Answer reports them in English and in French, and in a word:
// "saved", or why it failed.
struct SaveOutcome {
    const char* word;
    const char* box[2];
};
const SaveOutcome SaveOutcomes[] = {
    {"saved",
     {"Attention | The file was successfully saved! | OK",
      "Attention | La rom a bien été sauvegardée! | OK"}},
    {"cut",
     {"Warning | The file could not be saved!\nThe type chart was cut short by the end of the "
      "file when it was opened. | OK",
      "Alerte | La rom n'a pas pu être sauvegardée!\nLa table des types était coupée par la fin "
      "du fichier quand la rom a été ouverte. | OK"}},
    {"changed",
     {"Warning | The file could not be saved!\nAnother program changed, moved, replaced or cut "
      "the file since it was opened. Open it again to edit what it holds now. | OK",
      "Alerte | La rom n'a pas pu être sauvegardée!\nUn autre programme a modifié, déplacé, "
      "remplacé ou coupé le fichier depuis son ouverture. Ouvrez-le de nouveau pour éditer ce "
      "qu'il contient maintenant. | OK"}},
    {"full",
     {"Warning | The file could not be saved!\nThe device is full, or a file-size limit was "
      "reached. | OK",
      "Alerte | La rom n'a pas pu être sauvegardée!\nLe périphérique est plein, ou une limite de "
      "taille de fichier a été atteinte. | OK"}},
    {"device",
     {"Warning | The file could not be saved!\nThe device reported an error. If it was removed, "
      "open the file again once it is back. | OK",
      "Alerte | La rom n'a pas pu être sauvegardée!\nLe périphérique a signalé une erreur. S'il "
      "a été retiré, ouvrez la rom de nouveau une fois qu'il est revenu. | OK"}},
    {"system",
     {"Warning | The file could not be saved!\nThe system reported an error. | OK",
      "Alerte | La rom n'a pas pu être sauvegardée!\nLe système a signalé une erreur. | OK"}},
};

// The boxes of `shown` that a save ends with, each replaced by its word.
QStringList InWords(QStringList shown, int language) {
    for (const SaveOutcome& outcome : SaveOutcomes)
        shown.replaceInStrings(QString::fromUtf8(outcome.box[language]),
                               QString::fromLatin1(outcome.word));
    return shown;
}

// A read the device fails. On Linux it is a real one, which the system fails with EIO: the memory
// of this process at address 0, which nothing maps.
IoResult FailingRead([[maybe_unused]] std::uint8_t* buffer, [[maybe_unused]] std::size_t size) {
#ifdef Q_OS_LINUX
    const int memory = ::open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
    const IoResult read = ReadAt(memory, 0, buffer, size);
    ::close(memory);
    return read;
#else
    return {0, IoError::DeviceError};
#endif
}

// What a read does when the device fails from `offset` on: what lies before it reads as usual,
// short of it; a read at or past it fails.
void ReadsFailFrom(std::uint64_t offset) {
    RomFileTestHooks.readAt = [offset](FileHandle file, std::uint64_t at, std::uint8_t* buffer,
                                       std::size_t size) {
        if (at >= offset)
            return FailingRead(buffer, size);
        return ReadAt(file, at, buffer, std::min<std::uint64_t>(size, offset - at));
    };
}

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

#ifdef Q_OS_WIN
// A real failing call, through wine (tools/windows/fail-calls.c, which the run preloads): the
// next `call` on the file fails with the errno given, once. `fault`: "call errno".
bool Plant(const QString& path, const QString& fault) {
    QFile plant(path + u".fail-"_s + fault.section(u' ', 0, 0));
    return plant.open(QIODevice::WriteOnly) && plant.write(fault.section(u' ', 1).toLatin1()) > 0;
}
#endif
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
            QCOMPARE(int(RomStream.failure()), int(cut ? IoError::NotSeen : IoError::None));
        }
        QCOMPARE(FileBytes(path), grows ? before.leftJustified(ImageSize, '\0') : before);
    }

    // A real failing write reaches the user with its reason: under a file-size limit below the
    // chart, the system refuses the write (EFBIG), which the editor reports as a full device and
    // survives; with the limit lifted, the retry saves.
    void systemFailures() {
#ifndef Q_OS_LINUX
        QSKIP("The file-size limit of a process is a POSIX one");
#else
        Editor editor;
        QVERIFY(editor.open(RealChart()));
        QVERIFY(Press(*editor.form, 7, editor->ChangeButton));
        rlimit unlimited{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &unlimited) == 0);
        const rlimit belowTheChart{FireRedChart, unlimited.rlim_max};
        const auto signalBefore = std::signal(SIGXFSZ, SIG_IGN); // as main sets it
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &belowTheChart) == 0);
        QStringList shown = Answer({u"enter"_s}, [&] { editor->Save1->trigger(); });
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, signalBefore);
        shown += Answer({u"enter"_s}, [&] { editor->Save1->trigger(); });
        QCOMPARE(InWords(shown, 0), QStringList({u"full"_s, u"saved"_s}));
        QCOMPARE(FileBytes(editor.path).mid(FireRedChart, ChartSize), TableBytes());
#endif
    }

    // An image at a path over 260 characters opens and saves: on Windows the file layer hands the
    // system the whole path with the \\?\ prefix, so no long-path switch of the system's is needed.
    void longPath() {
        Editor editor;
        QString folder = editor.dir.path();
        while (folder.size() < 280)
            folder += u"/a folder with a name long enough"_s;
        QVERIFY(QDir().mkpath(folder));
        const QString path = WriteImage(folder + u"/rom.gba"_s);
        QCOMPARE(Answer({path}, [&] { editor->Open1->trigger(); }), QStringList(u"dialog"_s));
        Select(*editor.form, 16, 16, 3); // Dragon vs Dragon = 2
        QVERIFY(Press(*editor.form, 42, editor->ChangeButton));
        const QByteArray edits = FileBytes(path).replace(FireRedChart + 126, 3, "\x10\x10\x14"_ba);
        QCOMPARE(InWords(Answer({u"enter"_s}, [&] { editor->Save1->trigger(); }), 0),
                 QStringList(u"saved"_s));
        QCOMPARE(FileBytes(path), edits);
    }

    // In French, every reason a save gives, and the refusal of a file that cannot be read.
    void inFrench() {
        Editor editor;
        QVERIFY(editor.open(RealChart()));
        editor->Francais1->trigger();
        QStringList shown;
        for (IoError failure : {IoError::FileChanged, IoError::DeviceFull, IoError::DeviceError,
                                IoError::SystemError}) {
            RomFileTestHooks.sync = [failure](FileHandle) { return failure; };
            shown += Answer({u"enter"_s}, [&] { editor->Save1->trigger(); });
        }
        RomFileTestHooks = {};
        editor->Close1->trigger();
        QVERIFY(QFile::resize(editor.path, FireRedChart + 100));
        shown += Answer({editor.path, u"enter"_s}, [&] {
            editor->Open1->trigger();
            editor->Save1->trigger();
        });
        editor->Close1->trigger();
        ReadsFailFrom(GameCodeOffset);
        shown += Answer({editor.path, u"enter"_s}, [&] { editor->Open1->trigger(); });
        QCOMPARE(InWords(shown, 1),
                 QStringList({u"changed"_s, u"full"_s, u"device"_s, u"system"_s, u"dialog"_s,
                              u"cut"_s, u"dialog"_s,
                              u"Attention | Désolé, mais le fichier que vous avez choisi n'a pas "
                              u"pu être lu\u00a0: le système a signalé une erreur. | OK"_s}));
    }

    void open_data() {
        QTest::addColumn<QStringList>("steps"); // one for each window that comes up
        QTest::addColumn<QString>("told");      // the box after the dialog, if any
        QTest::addColumn<QString>("fault");     // a system call that fails during the Open
        QTest::newRow("No") << QStringList{u"enter"_s} << QString() << QString();
        QTest::newRow("cancelled") << QStringList{u"yes"_s, u"escape"_s} << QString() << QString();
        // A typed name, then the box that comes up after the dialog, if any.
        auto typed = [](const char* row, const char* name, const QString& box,
                        const char* fault = "") {
            QStringList steps{u"yes"_s, QString::fromUtf8(name), u"enter"_s};
            QTest::newRow(row) << steps.first(box.isEmpty() ? 2 : 3) << box
                               << QString::fromLatin1(fault);
        };
        auto refusal = [](const QString& why) { return u"Attention | "_s + why + u" | OK"_s; };
        const QString sorry = u"Sorry, but the file you chose "_s,
                      missing = refusal(sorry + u"doesn't exist."_s),
                      unreadable =
                          refusal(sorry + u"couldn't be read: the system reported an error."_s),
                      systemError =
                          refusal(sorry + u"couldn't be opened: the system reported an error."_s),
                      notAFile = refusal(u"Sorry, but what you chose isn't an ordinary file: it "
                                         u"may be a folder, a pipe or a device."_s);
        typed("firered", "firered", {}); // "firered.gba", not supported, stands beside it
        typed("emerald", "emerald", {});
        typed("two Foresight entries", "two Foresight entries.gba",
              u"Warning | There's more than one Foresight entry present. | OK"_s);
        typed(
            "not supported", "AGBJ.gba",
            refusal(u"Sorry, but the rom you chose isn't supported by this program yet, or isn't a "
                    u"generation III Pokémon rom."_s));
        typed("missing", "missing.gba", missing);
        typed("read-only", "read-only.gba",
              refusal(sorry + u"can't be opened for writing. It may be read-only, or you may "
                              u"not have permission to change it."_s));
        typed("locked", "locked.gba",
              refusal(sorry + u"is already open in another program. Close it there, then try "
                              u"again."_s));
        typed("read error at the game code", "emerald.gba", unreadable, "read at 172");
        typed("read error inside the chart", "emerald.gba", unreadable, "read at 150");
        typed("read error after the chart", "emerald.gba", unreadable, "read at 333");
        typed("size unknown when attached", "emerald.gba", systemError, "look");
#ifdef Q_OS_LINUX
        typed("dangling link", "dangling", missing); // "dangling.gba" stands beside it
        typed("fifo", "fifo", notAFile);
        typed("device", "/dev/zero", notAFile);
        typed("link to itself", "loop.gba", systemError);
        typed("read error of the system's own", "/proc/self/mem", unreadable);
#endif
#ifdef Q_OS_WIN // the type query failing (EIO): an error, not a pipe or a device
        typed("type unknown when attached", "emerald.gba", systemError, "fstat 5");
#endif
    }
    // File > Open over an edited image. The question comes first, No the default; cancelled, the
    // image stays with its edits. A typed name is taken as it stands when it names a file or a
    // link, and gets ".gba" only when it names nothing. A file refused is refused with its own
    // reason (a read error is not the end of the file) and the window goes back to its no-image
    // state; every file stays as it was, and nothing of the refused one is held open, its lock
    // free.
    void open() {
        QFETCH(QStringList, steps);
        QFETCH(QString, told);
        QFETCH(QString, fault);
        Editor editor;
        QVERIFY(editor.open(RealChart()));
        Select(*editor.form, 16, 16, 3);
        QVERIFY(Press(*editor.form, 42, editor->ChangeButton));
        QDir folder(editor.dir.path());
        QFile::setPermissions(folder.path(), QFile::permissions(folder.path()) | QFile::ExeOther);
        for (const char* name :
             {"firered", "emerald.gba", "locked.gba", "read-only.gba", "dangling.gba"})
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
        QFile::link(u"nowhere.gba"_s, folder.filePath(u"dangling"_s));
#endif
        const bool chose = steps.size() > 1 && steps[1] != u"escape";
        const bool refused = told.startsWith(u"Attention");
        if (chose)
            steps[1] = folder.absoluteFilePath(steps[1]); // typed as a whole path
        const QByteArray files = Folder(folder);
        QStringList expected{u"Warning | There's already a file open. Are you sure you want to "
                             u"open another? Any data not saved will be lost. | Yes No*"_s,
                             u"dialog"_s};
        if (!told.isEmpty())
            expected << told;
        std::optional<Unprivileged> user;
        if (told.contains(u"read-only"))
            user.emplace();
#ifdef Q_OS_WIN // where wine run as root lets the user write a read-only file
        if (user && QFile(steps[1]).open(QIODevice::ReadWrite))
            QSKIP("The read-only attribute does not bind here: the system lets this user write");
#endif
        if (fault.startsWith(u"read at"))
            ReadsFailFrom(fault.section(u' ', 2).toUInt() +
                          (fault.endsWith(u"172") ? 0 : FireRedChart));
        if (fault == u"look")
            RomFileTestHooks.lookAt = [](FileHandle, const QString&) {
                return FileLook{-1, IoError::DeviceError};
            };
#ifdef Q_OS_WIN
        QVERIFY(!fault.startsWith(u"fstat") || Plant(steps[1], fault));
#endif
        const QStringList shown = Answer(steps, [&] { editor->Open1->trigger(); });
        RomFileTestHooks = {};
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
        if (!fault.isEmpty()) { // once the failure is gone, the same file opens
            QCOMPARE(Answer({steps[1]}, [&] { editor->Open1->trigger(); }),
                     QStringList(u"dialog"_s));
            QVERIFY(RomStream.is_open());
        }
    }

    void saves_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("told"); // by the first save and the second (saved, or why it
                                           // failed), then what the file holds: the edits, or
                                           // what it held before the first save
        QTest::addColumn<qint64>("size");
        auto row = [](const char* name, const char* fault, const char* told,
                      qint64 size = ImageSize) {
            QTest::newRow(name) << QString::fromLatin1(fault) << QString::fromLatin1(told) << size;
        };
        const qint64 inside = FireRedChart + 183, after = FireRedChart + 600;
        row("none", "", "saved saved, edits");
        // Each call of a save failing once: the save fails with the system's reason, and the
        // retry writes the whole chart.
        row("the look before the write fails", "look 1", "system saved, edits");
        row("the read before the write fails", "read", "device saved, edits");
        row("the write fails part-way", "write", "full saved, edits");
        row("the write fails, its bytes written unreported", "write unreported",
            "device saved, edits");
        row("the sync fails", "sync", "device saved, edits");
#ifdef Q_OS_WIN // the device gone (ENODEV), which Windows reports as a general failure
        row("the write fails: the device is gone", "pwrite 19", "device saved, edits");
#endif
        row("the look after the sync fails", "look 2", "system saved, edits");
        // Another program at work: nothing is written over what the editor has not seen.
        row("renamed, then back", "rename", "changed saved, edits");
        row("replaced", "replace", "changed changed, as it was");
        row("deleted", "delete", "changed changed, as it was", 0);
        row("cut inside the chart", "cut", "changed changed, as it was", inside);
        row("cut after the chart", "cut", "changed changed, as it was", after);
        row("emptied and grown back", "empty", "changed changed, as it was");
        row("rewritten in place by another release", "release", "changed changed, as it was");
        row("one record changed in place", "record", "changed changed, as it was");
        row("cut during the sync", "cut in sync", "changed changed, edits", inside);
        row("replaced during the sync", "replace in sync", "changed changed, as it was");
        row("rewritten in place during the sync", "release in sync",
            "changed changed, as the first save left it");
        // The designed reading of a chart cut by the end of the file: shown, never written.
        row("cut short when opened", "opened cut", "cut cut, as it was", inside);
    }
    // Two saves, the fault in force for the first and lifted, where it can be, before the second,
    // which has one more edit to write. The user is told the truth each time, and why a save
    // failed; the file at the path holds exactly the edited chart or what it held, never grown,
    // never torn by a save that said it failed and was then retried.
    void saves() {
        QFETCH(QString, fault);
        QFETCH(QString, told);
        QFETCH(qint64, size);
        Editor editor;
        QVERIFY(editor.open(RealChart().replace(ChartSize, 3, "\x01\x02\x03"_ba)));
        const QString path = editor.path, other = path + u".other"_s, moved = path + u".moved"_s;
        const QByteArray before = FileBytes(path);
        QVERIFY(QFile::copy(path, other));
#ifdef Q_OS_WIN
        if (!QStringList{u""_s, u"look 1"_s, u"read"_s, u"write"_s, u"write unreported"_s,
                         u"sync"_s, u"look 2"_s, u"cut in sync"_s, u"opened cut"_s, u"pwrite 19"_s}
                 .contains(fault)) {
            QVERIFY(!QFile(path).open(QIODevice::ReadWrite) && !QFile::rename(path, moved));
            QSKIP(
                "Windows lets no other program change, move or delete the image while it is open");
        }
#endif
        QVERIFY(Press(*editor.form, 0, editor->ChangeButton));
        QVERIFY(Press(*editor.form, 110, editor->ChangeButton));
        if (fault == u"opened cut") { // let go, cut, and opened again
            editor->Close1->trigger();
            QVERIFY(QFile::resize(path, size));
            QCOMPARE(Answer({path}, [&] { editor->Open1->trigger(); }), QStringList(u"dialog"_s));
        }
        auto replace = [&] { return ::rename(qPrintable(other), qPrintable(path)) == 0; };
        auto overwrite = [&](qint64 at, const QByteArray& bytes) {
            QFile file(path);
            return file.open(QIODevice::ReadWrite) && file.seek(at) &&
                   file.write(bytes) == bytes.size();
        };
        int calls = 0; // of the hooked call, so that only the one named fails
        if (fault.startsWith(u"look "))
            RomFileTestHooks.lookAt = [&, failing = fault.back().digitValue()](
                                          FileHandle file, const QString& name) {
                return ++calls == failing ? FileLook{-1, IoError::SystemError} : LookAt(file, name);
            };
        if (fault == u"read")
            RomFileTestHooks.readAt = [](FileHandle, std::uint64_t, std::uint8_t* buffer,
                                         std::size_t count) { return FailingRead(buffer, count); };
        if (fault.startsWith(u"write"))
            RomFileTestHooks.writeAt = [&](FileHandle file, std::uint64_t at,
                                           const std::uint8_t* bytes, std::size_t count) {
                if (fault == u"write unreported") // all written, none of it said to be
                    return IoResult{WriteAt(file, at, bytes, count).count * 0,
                                    IoError::DeviceError};
                return IoResult{WriteAt(file, at, bytes, std::min<std::size_t>(count, 100)).count,
                                IoError::DeviceFull};
            };
        if (fault.endsWith(u"sync"))
            RomFileTestHooks.sync = [&](FileHandle file) {
                const bool changed = fault.startsWith(u"cut") ? Cut(file, path, size)
                                     : fault.startsWith(u"replace")
                                         ? replace()
                                         : fault.startsWith(u"release") && overwrite(172, "BPGE");
                return changed ? SyncFile(file) : IoError::DeviceError;
            };
        QVERIFY(fault != u"rename" || QFile::rename(path, moved));
        QVERIFY(fault != u"replace" || replace());
        QVERIFY(fault != u"delete" || QFile::remove(path));
        QVERIFY(fault != u"cut" || QFile::resize(path, size));
        QVERIFY(fault != u"empty" || (QFile::resize(path, 0) && QFile::resize(path, ImageSize)));
        QVERIFY(fault != u"release" || overwrite(172, "BPGE")); // a Leaf Green image, same size
        QVERIFY(fault != u"record" || overwrite(FireRedChart + 30, "\x0a\x0b\x05"_ba));
#ifdef Q_OS_WIN
        QVERIFY(!fault.startsWith(u"pwrite") || Plant(path, fault));
#endif
        const QByteArray left = fault.contains(u"sync") ? before : FileBytes(path);

        QStringList shown = Answer({u"enter"_s}, [&] { editor->Save1->trigger(); });
        RomFileTestHooks = {};
        const QByteArray afterFirst = FileBytes(path);
        QVERIFY(fault != u"rename" || QFile::rename(moved, path));
        QVERIFY(Press(*editor.form, 100, editor->ChangeButton)); // more for the second save
        QByteArray edits = before; // rows 0, 110 and 100 changed to Normal vs Normal = 0
        for (int row : {0, 110, 100})
            edits.replace(FireRedChart + 3 * row, 3, QByteArray(3, '\0'));
        shown += Answer({u"enter"_s}, [&] { editor->Save1->trigger(); });
        shown = InWords(shown, 0);
        const QByteArray now = FileBytes(path);
        QCOMPARE(shown.join(u' ') + (now == left               ? u", as it was"_s
                                     : now == edits.left(size) ? u", edits"_s
                                     : now == afterFirst       ? u", as the first save left it"_s
                                                               : u", neither"_s),
                 told);
    }
};

QTEST_MAIN(TestRom)
#include "test_rom.moc"
