// ROM access: identifying images and reading their chart, on real files without a window; the
// file layer's system calls failing for real; then File > Open and Save through the real menu,
// file dialog and message boxes, with the file refused, changed or failing around them: the user
// is told the truth, and the file holds the chart and nothing else that the editor wrote.

#include "support/editor.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_LINUX
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
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

#ifdef Q_OS_LINUX
// A descriptor of the file that holds a lockf lock on the whole of it, as another program takes
// one (-1 when it cannot); closing it gives the lock up.
int LockfHolder(const QString& path) {
    const int fd = ::open(qPrintable(path), O_RDWR | O_CLOEXEC);
    if (fd >= 0 && ::lockf(fd, F_TLOCK, 0) != 0)
        return ::close(fd), -1;
    return fd;
}
#endif

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

// Reads as from a device with a bad byte at `offset`: a read that takes it in fails whole, as a
// bad sector's does (EIO, which the sync's row shows is a device error); every other read reads
// as usual.
void ReadsFailAt(std::uint64_t offset) {
    RomFileCalls.readAt = [offset](FileHandle file, std::uint64_t at, std::uint8_t* buffer,
                                   std::size_t size) {
        return at <= offset && offset < at + size ? IoResult{0, IoError::DeviceError}
                                                  : ReadAt(file, at, buffer, size);
    };
}

#ifdef Q_OS_LINUX
// What `call` returns when the kernel fails the system call `number` (only with `command` as its
// second argument, when one is given) with `error`: a real failure of the real call, made by a
// seccomp filter in a child process, which the filter cannot outlive.
inline constexpr std::uint32_t AnyCommand = ~0u;
int WhenCallFails(long number, int error, const std::function<int()>& call,
                  std::uint32_t command = AnyCommand) {
    const pid_t child = ::fork();
    if (child == 0) {
        const std::uint8_t anyCommand = command == AnyCommand ? 0 : 1; // a mismatch skips
        sock_filter code[] = {BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
                              BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, std::uint32_t(number), 0, 3),
                              BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[1])),
                              BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, command, 0, anyCommand),
                              BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | std::uint32_t(error)),
                              BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW)};
        const sock_fprog filter{std::size(code), code};
        if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
            ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) != 0)
            ::_exit(100);
        ::_exit(call());
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Limits the files this process writes to `bytes`, or with no argument lifts the limit. Past it a
// write must fail (EFBIG), not end the process: that is the file layer's to see to.
bool LimitFileSize(rlim_t bytes = RLIM_INFINITY) {
    const rlimit limit{bytes, RLIM_INFINITY};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}
#endif

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

// A real failing call, through wine (tools/windows/fail-calls.c, which the run preloads): the
// next `call` on the file fails with the errno given, once. `fault`: "call errno". Only the rows
// run on Windows plant one.
bool Plant(const QString& path, const QString& fault) {
    QFile plant(path + u".fail-"_s + fault.section(u' ', 0, 0));
    return plant.open(QIODevice::WriteOnly) && plant.write(fault.section(u' ', 1).toLatin1()) > 0;
}
} // namespace

class TestRom : public QObject {
    Q_OBJECT

private slots:
    void init() { ResetProgramState(); }
    void cleanup() { RomFileCalls = {}; } // a failed check leaves them in place

    void reads_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<uint>("offset"); // 0: not supported
        const std::pair<const char*, uint> releases[] = {
            {"AXVE", 0x1F9720}, {"AXPE", 0x1F96B0}, {"BPEE", 0x31ACE8}, {"BPRE", 0x24F050},
            {"BPGE", 0x24F02C}, {"AXVF", 0x201B28}, {"AXPF", 0x201AB8}, {"BPEF", 0x322818},
            {"BPRF", 0x24945C}, {"BPGF", 0x249438}, {"axve", 0},        {"BP", 0}};
        for (auto [code, offset] : releases)
            QTest::newRow(code) << QByteArray(code) << offset;
    }
    // The code at offset 172, compared exactly, picks the chart offset, where the chart is read;
    // any other code, or one cut by the end of the file, is refused and leaves the offset and chart
    // alone. (How a chart is read, on any bytes, the fuzz target's editing sessions prove: only
    // (255, 255, 0) ends it, a 112th record is dropped, an early end keeps the file's
    // bytes, and past the end of the file every byte reads as 255.)
    void reads() {
        QFETCH(QByteArray, code);
        QFETCH(uint, offset);
        QTemporaryDir dir;
        RomStream.open(WriteImage(dir.filePath(u"rom"_s), RealChart(), code,
                                  offset ? offset : FireRedChart, code.size() < 4 ? 174 : 4 << 20));
        TableOffset = 1;
        TypeChart.fill({{}, 3, 3, 3});
        QCOMPARE(FindTableOffset(ReadGameCode()), offset > 0);
        QCOMPARE(TableOffset, offset ? offset : 1);
        if (offset)
            ReadTypeChart();
        QCOMPARE(TableBytes(), offset ? RealChart().left(ChartSize) : QByteArray(ChartSize, 3));
    }

    // Each of the file layer's calls, failing for real, reports its reason: a wrapper that
    // ignored its call's result, or misread it, would say nothing, or the wrong thing.
    void systemCalls_data() {
        QTest::addColumn<QString>("call"); // and how it fails: on a closed file, or with the
                                           // error the kernel gives
        QTest::addColumn<int>("error");    // made by a filter, on Linux
        QTest::addColumn<int>("reason");   // an IoError, or of an attach an AttachError
        auto row = [](const char* call, int error, auto reason) {
            QTest::newRow(call) << QString::fromLatin1(call) << error << int(reason);
        };
        row("sync on a closed file", 0, IoError::SystemError);
        row("look on a closed file", 0, IoError::SystemError);
#ifdef Q_OS_LINUX
        row("write: any other error", EFAULT, IoError::SystemError);
        row("write: no space left", ENOSPC, IoError::DeviceFull);
        row("write: over the quota", EDQUOT, IoError::DeviceFull);
        row("write: device gone", ENXIO, IoError::DeviceError);
        row("write: no such device", ENODEV, IoError::DeviceError);
        row("write: remounted read-only", EROFS, IoError::DeviceError);
        row("sync: the device failed", EIO, IoError::DeviceError);
        // A folder or a socket another program puts at the name between the editor's look and its
        // open reads as what it is; a file system that has no fcntl locks leaves the file to
        // flock's alone, and does not refuse it.
        row("attach, open: a folder", EISDIR, AttachError::NotRegularFile);
        row("attach, open: a socket", ENXIO, AttachError::NotRegularFile);
        // A folder on the way that this user may not search: the file is not the user's to write.
        row("attach, look: a folder not to be searched", EACCES, AttachError::NotWritable);
        row("attach, fcntl lock: EINVAL", EINVAL, AttachError::None);
        row("attach, fcntl lock: ENOLCK", ENOLCK, AttachError::None);
#endif
    }
    void systemCalls() {
        QFETCH(QString, call);
        QFETCH(int, error);
        QFETCH(int, reason);
        QTemporaryDir dir;
        const QString path = WriteImage(dir.filePath(u"rom.gba"_s));
        const bool attach = call.startsWith(u"attach");
        const FileHandle file = attach ? NoFile : AttachFile(path).handle;
        const std::uint8_t bytes[20] = {};
        const std::function<int()> run = [&] {
            return attach                      ? int(AttachFile(path).error)
                   : call.startsWith(u"write") ? int(WriteAt(file, 0, bytes, 20).error)
                   : call.startsWith(u"sync")  ? int(SyncFile(file))
                                               : int(LookAt(file, path).error);
        };
        if (call.endsWith(u"closed file"))
            DetachFile(file);
#ifdef Q_OS_LINUX
        const long number = call.contains(u"open:")     ? SYS_openat
                            : call.contains(u"look:")   ? SYS_newfstatat
                            : call.contains(u"fcntl")   ? SYS_fcntl
                            : call.startsWith(u"write") ? SYS_pwrite64
                                                        : SYS_fsync;
        const std::uint32_t command = call.contains(u"fcntl") ? F_OFD_SETLK : AnyCommand;
        const int got = error ? WhenCallFails(number, error, run, command) : run();
        QCOMPARE(got, reason);
#else
        Q_UNUSED(error); // no filter to make the kernel fail a call here
        QCOMPARE(run(), reason);
#endif
        if (!attach && !call.endsWith(u"closed file"))
            DetachFile(file);
    }

    void open_data() {
        QTest::addColumn<QStringList>("steps"); // one for each window that comes up
        QTest::addColumn<QString>("told");      // the box after the dialog, if any, in a word
        QTest::addColumn<QString>("fault");     // a system call that fails during the Open
        QTest::newRow("No") << QStringList{u"enter"_s} << QString() << QString();
        QTest::newRow("cancelled") << QStringList{u"yes"_s, u"escape"_s} << QString() << QString();
        // A typed name, then the box that comes up after the dialog, if any.
        auto typed = [](const char* row, const char* name, const char* box = "",
                        const char* fault = "") {
            QStringList steps{u"yes"_s, QString::fromUtf8(name), u"enter"_s};
            QTest::newRow(row) << steps.first(*box ? 3 : 2) << QString::fromLatin1(box)
                               << QString::fromLatin1(fault);
        };
        typed("firered", "firered"); // "firered.gba", not supported, stands beside it
        typed("emerald, in a folder with a dot", "emerald");
        typed("the open image again", "rom.gba");
        typed("two Foresight entries", "two Foresight entries.gba", "two Foresight");
        typed("not supported", "AGBJ.gba", "unsupported");
        typed("missing", "missing.gba", "missing");
        typed("inside a file", "emerald.gba/rom.gba", "missing");
        typed("read-only", "read-only.gba", "read-only");
        typed("locked", "locked.gba", "in use");
#ifdef Q_OS_LINUX
        typed("locked by lockf", "lockf.gba", "in use");
#endif
        typed("read error at the game code", "emerald.gba", "unreadable", "read at 172");
        typed("read error inside the chart", "emerald.gba", "unreadable", "read at 150");
        // Bytes the editor does not use are not read.
        typed("read error after the game code", "emerald.gba", "", "read at 176");
        typed("read error after the record after the chart", "emerald.gba", "", "read at 336");
        typed("size unknown when attached", "emerald.gba", "unopenable", "look");
#ifdef Q_OS_LINUX
        typed("link", "link.gba");
        typed("dangling link", "dangling", "missing"); // "dangling.gba" stands beside it
        typed("fifo", "fifo", "not a file");
        typed("device", "/dev/zero", "not a file");
        typed("link to itself", "loop.gba", "unopenable");
        typed("read error of the system's own", "/proc/self/mem", "unreadable");
        typed("immutable", "emerald.gba", "read-only", "EPERM");
        typed("on a device mounted read-only", "emerald.gba", "read-only", "EROFS");
#endif
#ifdef Q_OS_WIN // the type query failing (EIO): an error, not a pipe or a device
        typed("type unknown when attached", "emerald.gba", "unopenable", "fstat 5");
#endif
    }
    // File > Open over an edited image. The question comes first, No the default; cancelled, the
    // image stays with its edits. A typed name is taken as it stands when it names a file or a
    // link, and gets ".gba" only when it names nothing. A file refused is refused with its own
    // reason (a read error is not the end of the file, and the editor reads only the bytes it
    // uses) and the window goes back to its no-image state; every file stays as it was, and
    // nothing of the refused one is held open, its lock free. What opens, saves into the file
    // its name names.
    void open() {
        QFETCH(QStringList, steps);
        QFETCH(QString, told);
        QFETCH(QString, fault);
        Editor editor;
        QVERIFY(editor.open(RealChart()));
        Select(*editor.form, 16, 16, 3);
        QVERIFY(Press(*editor.form, 42, editor->ChangeButton));
        QDir& folder = editor.dir;
        QFile::setPermissions(folder.path(), // searchable by all, whatever groups the user has
                              QFile::permissions(folder.path()) | QFile::ExeGroup |
                                  QFile::ExeOther);
        for (const char* name :
             {"firered", "emerald.gba", "locked.gba", "lockf.gba", "read-only.gba", "dangling.gba"})
            WriteImage(folder.filePath(QString::fromLatin1(name)));
        for (const char* name : {"firered.gba", "AGBJ.gba"})
            WriteImage(folder.filePath(QString::fromLatin1(name)), RealChart(), "AGBJ");
        WriteImage(folder.filePath(u"two Foresight entries.gba"_s),
                   RealChart().replace(60, 3, "\xfe\xfe\x00"_ba));
        // Readable by all, writable by none: refused by the open for writing, not before it.
        QFile::setPermissions(folder.filePath(u"read-only.gba"_s),
                              QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        RomFileStream otherEditor;
        otherEditor.open(folder.filePath(u"locked.gba"_s));
#ifdef Q_OS_LINUX
        ::mkfifo(qPrintable(folder.filePath(u"fifo"_s)), 0600);
        const std::pair<const char*, const char*> links[] = {{"loop.gba", "loop.gba"},
                                                             {"dangling", "nowhere.gba"},
                                                             { "link.gba",
                                                               "emerald.gba" }};
        for (auto [link, target] : links)
            QFile::link(QString::fromLatin1(target), folder.filePath(QString::fromLatin1(link)));
#endif
        const bool chose = steps.size() > 1 && steps[1] != u"escape";
        const bool refused = !told.isEmpty() && told != u"two Foresight";
        if (chose)
            steps[1] = folder.absoluteFilePath(steps[1]); // typed as a whole path
        const QByteArray files = Folder(folder);
#ifdef Q_OS_LINUX // the lockf lock taken after the reads of every file, whose closing gives up
                  // this process's lockf locks; the read-only file opened as a user without
                  // privileges: the tests may run as root, whom permission bits do not bind
        const int lockf = LockfHolder(folder.filePath(u"lockf.gba"_s));
        QVERIFY(lockf >= 0);
        const bool nobody = told == u"read-only" && fault.isEmpty() && ::getuid() == 0;
        ::setfsgid(nobody ? 65534 : ::getgid());
        ::setfsuid(nobody ? 65534 : ::getuid());
        const bool lookedAt = QFileInfo(steps.value(1)).isFile(); // so the refusal is the open's
        // Refused for real, and only to root: the file made immutable (EPERM), or the folder bound
        // read-only where only this process sees it (EROFS).
        const QByteArray here = QFile::encodeName(folder.path());
        if ((fault == u"EPERM" && QProcess::execute(u"chattr"_s, {u"+i"_s, steps[1]}) != 0) ||
            (fault == u"EROFS" &&
             (::unshare(CLONE_NEWNS) != 0 ||
              ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
              ::mount(here, here, nullptr, MS_BIND, nullptr) != 0 ||
              ::mount(nullptr, here, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)))
            QSKIP("Immutable files, and mounts in a namespace of one's own, take root");
#else // where wine run as root lets the user write a read-only file
        if (told == u"read-only" && QFile(steps[1]).open(QIODevice::ReadWrite))
            QSKIP("The read-only attribute does not bind here: the system lets this user write");
#endif
        if (fault.startsWith(u"read at"))
            ReadsFailAt(fault.section(u' ', 2).toUInt() +
                        (fault.endsWith(u"172") || fault.endsWith(u"176") ? 0 : FireRedChart));
        if (fault == u"look")
            RomFileCalls.lookAt = [](FileHandle, const QString&) {
                return FileLook{-1, IoError::DeviceError};
            };
        QVERIFY(!fault.startsWith(u"fstat") || Plant(steps[1], fault));
        const QStringList shown = Answer(steps, [&] { editor->Open1->trigger(); });
        RomFileCalls = {};
#ifdef Q_OS_LINUX
        ::setfsuid(::getuid()); // and the refusals above lifted, before the checks
        ::setfsgid(::getgid());
        QVERIFY(!nobody || lookedAt);
        QVERIFY(fault != u"EPERM" || QProcess::execute(u"chattr"_s, {u"-i"_s, steps[1]}) == 0);
        QVERIFY(fault != u"EROFS" || ::umount2(here, MNT_DETACH) == 0);
#endif
        otherEditor.close();
#ifdef Q_OS_LINUX
        ::close(lockf);
#endif
        QCOMPARE(InWords(shown),
                 QStringList({u"already open"_s, u"dialog"_s, told}).first(steps.size()));
        QCOMPARE(FileState(*editor.form),
                 refused ? NoImage : u"open, 111 rows, row 42, enabled 11 1111111111101"_s);
        QCOMPARE(TableBytes().mid(126, 3) == "\x10\x10\x14"_ba, refused || !chose);
        QCOMPARE(Folder(folder), files);
        QCOMPARE(Released(editor.path), chose && steps[1] != editor.path);
        QVERIFY(!refused || Released(steps[1]));
        if (chose && !refused) {
#ifdef Q_OS_LINUX // while attached, a program that locks with lockf is kept out too
            QCOMPARE(LockfHolder(editor->OpenDialog1.FileName), -1);
#endif
            QVERIFY(Press(*editor.form, 5, editor->DeleteButton));
            QCOMPARE(InWords(Answer({u"enter"_s}, [&] { editor->Save1->trigger(); })),
                     QStringList(u"saved"_s));
            QCOMPARE(FileBytes(editor->OpenDialog1.FileName).mid(FireRedChart, ChartSize),
                     TableBytes());
        }
    }

    void saves_data() {
        QTest::addColumn<QString>("fault"); // in force during the first save
        QTest::addColumn<QString>("told"); // by each save, the second with the fault lifted (saved,
                                           // or why it failed), then what the file holds: the
                                           // edits, or what it held before the first save
        QTest::addColumn<qint64>("size");
        auto row = [](const char* name, const char* fault, const char* told,
                      qint64 size = ImageSize) {
            QTest::newRow(name) << QString::fromLatin1(fault) << QString::fromLatin1(told) << size;
        };
        const qint64 inside = FireRedChart + 183;
        // Each call of a save failing once: the save fails with the system's reason, and the
        // retry writes the whole chart. (Short reads, and faults one after another on a device
        // that keeps or loses what was never synced, the fuzz target's editing sessions prove.)
        row("the look before the write fails", "look 1", "system saved, edits");
        row("the read before the write fails", "read", "device saved, edits");
#ifdef Q_OS_WIN // the device gone (ENODEV), which Windows reports as a general failure
        row("the write fails: the device is gone", "pwrite 19", "device saved, edits");
#endif
        row("the look after the sync fails", "look 2", "system saved, edits");
#ifdef Q_OS_LINUX // refused before a byte is written: the process's limit falls inside the chart
        row("file-size limit inside the chart", "limit", "full saved, edits");
        // Lowered after the check: the write stops part-way, and the editor lives on to say so.
        row("file-size limit lowered during the write", "limit in write",
            "full, part written saved, edits");
#endif
        // Another program at work: nothing is written over what the editor has not seen. (The
        // file moved away and back, its size, game code or chart changed in place, the fuzz
        // target's sessions prove.)
        row("replaced", "replace", "changed changed, as it was");
        // Changed after the write: the user is told the chart was written.
        row("cut during the sync", "cut in sync", "written changed, edits", inside);
        row("replaced during the sync", "replace in sync", "written changed, as it was");
        row("rewritten in place during the sync", "release in sync",
            "written changed, as the first save left it");
        // The designed reading of a chart cut by the end of the file: shown, never written.
        row("cut short when opened", "opened cut", "cut cut, as it was", inside);
    }
    // Two saves, the first with the fault in force, the second with it lifted where it can be and
    // one more edit to write. The user is told the truth each time, and why a save failed; the
    // file at the path holds exactly the edited chart or what it held, never grown, never torn by
    // a save that said it failed and was then retried.
    void saves() {
        QFETCH(QString, fault);
        QFETCH(QString, told);
        QFETCH(qint64, size);
        Editor editor;
        const QString path = editor.dir.filePath(u"rom.gba"_s), other = path + u".other"_s;
#ifdef Q_OS_LINUX
        const auto undo = qScopeGuard([] { LimitFileSize(); }); // whatever the test's end
#endif
        WriteImage(path, RealChart().replace(ChartSize, 3, "\x01\x02\x03"_ba), "BPRE", FireRedChart,
                   fault == u"opened cut" ? size : ImageSize);
        QVERIFY(editor.openFile(path));
        const QByteArray before = FileBytes(path);
        QVERIFY(!fault.startsWith(u"replace") || QFile::copy(path, other));
#ifdef Q_OS_WIN
        const QStringList played{u"look 1"_s,      u"read"_s,       u"look 2"_s,
                                 u"cut in sync"_s, u"opened cut"_s, u"pwrite 19"_s};
        if (!played.contains(fault)) {
            QVERIFY(!QFile(path).open(QIODevice::ReadWrite) &&
                    !QFile::rename(path, path + u".moved"_s));
            QSKIP(
                "Windows lets no other program change, move or delete the image while it is open");
        }
#endif
        Select(*editor.form, 10, 11, 1); // Fire vs Water = 0.5
        QVERIFY(Press(*editor.form, 0, editor->ChangeButton));
        QVERIFY(Press(*editor.form, 110, editor->ChangeButton));
        auto replace = [&] { return ::rename(qPrintable(other), qPrintable(path)) == 0; };
        auto rewrite = [&] { // a Leaf Green image, same size
            QFile file(path);
            return file.open(QIODevice::ReadWrite) && file.seek(172) && file.write("BPGE") == 4;
        };
        if (fault.startsWith(u"look ")) // only the call named, the first or the second, fails
            RomFileCalls.lookAt = [calls = 0, failing = fault.back().digitValue()](
                                      FileHandle file, const QString& name) mutable {
                return ++calls == failing ? FileLook{-1, IoError::SystemError} : LookAt(file, name);
            };
        if (fault == u"read")
            ReadsFailAt(FireRedChart);
#ifdef Q_OS_LINUX
        if (fault == u"limit in write") // the real limit, lowered just before the real write
            RomFileCalls.writeAt = [](FileHandle file, std::uint64_t at, const std::uint8_t* bytes,
                                      std::size_t count) {
                return LimitFileSize(FireRedChart + 100) ? WriteAt(file, at, bytes, count)
                                                         : IoResult{};
            };
        QVERIFY(fault != u"limit" || LimitFileSize(FireRedChart + 100));
#endif
        if (fault.endsWith(u"in sync"))
            RomFileCalls.sync = [&](FileHandle file) {
                const bool changed = fault.startsWith(u"cut")       ? Cut(file, path, size)
                                     : fault.startsWith(u"replace") ? replace()
                                                                    : rewrite();
                return changed ? SyncFile(file) : IoError::DeviceError;
            };
        QVERIFY(fault != u"replace" || replace());
        QVERIFY(!fault.startsWith(u"pwrite") || Plant(path, fault));

        QStringList shown = Answer({u"enter"_s}, [&] { editor->Save1->trigger(); });
        RomFileCalls = {};
#ifdef Q_OS_LINUX // the retry ends exactly at the limit, which lets it through
        QVERIFY(LimitFileSize(fault == u"limit" ? FireRedChart + ChartSize : RLIM_INFINITY));
#endif
        const QByteArray afterFirst = FileBytes(path);
        QVERIFY(Press(*editor.form, 100, editor->ChangeButton)); // more for the second save
        QByteArray edits = before; // rows 0, 110 and 100 changed to Fire vs Water = 0.5
        for (int row : {0, 110, 100})
            edits.replace(FireRedChart + 3 * row, 3, "\x0a\x0b\x05"_ba);
        shown += Answer({u"enter"_s}, [&] { editor->Save1->trigger(); });
        const QByteArray now = FileBytes(path);
        QCOMPARE(InWords(shown).join(u' ') + (now == before             ? u", as it was"_s
                                              : now == edits.left(size) ? u", edits"_s
                                              : now == afterFirst ? u", as the first save left it"_s
                                                                  : u", neither"_s),
                 told);
    }
};

QTEST_MAIN(TestRom)
#include "test_rom.moc"
