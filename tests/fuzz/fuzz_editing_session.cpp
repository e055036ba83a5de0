// libFuzzer target: an editing session on a device that fails, fails differently, comes back,
// while another program now and then touches the file. The steps drive the editor's own state
// (RomStream, TypeChart, TableOffset, Language) the way the File menu and the editing buttons
// do; the device's faults come through RomFileCalls. After every step the file is judged
// against a model of the device kept here, never against what the editor's code computes:
// - no byte outside the chart's 333 ever changes, nor the size, unless another program did it;
// - an Open of a supported image holds its chart's bytes as the file has them, each byte past the
//   file's end read as 255; a Save that reports success had a good sync and leaves exactly the
//   editor's chart in the file;
// - the file is as the editor saw it when the chart was whole at the Open and the file is at its
//   name, of its size, with its game code, each chart byte holding its durable value as the
//   editor knows it or one the editor wrote since the last good sync: then, with the device well
//   and the 3 bytes after the chart (which an Open may read too) as the Open found them, a Save
//   succeeds; otherwise a Save fails, writes nothing and says why (the file changed, the chart
//   cut short at the Open, or no file attached);
// - each chart byte holds its last durable value, or one a Save of the editor's tried to write
//   since (the device may keep or lose what was never synced).
//
// Input: byte 0 picks a release; bytes 1 and 2 (little-endian, modulo 1024) say how many of the
// next bytes stand in the file from the chart's offset on, where the file ends; then the steps,
// 32 bytes at most: each a byte (its kind, and which fault or change) and the few that kind
// takes. The session opens the file, runs the steps, lifts every fault, saves once more and
// closes: with no steps, it is one read and one save.

#include "chart/entry_editing.h"
#include "rom/rom_image.h" // and the chart it reads into

#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {
void Require(bool condition) {
    if (!condition)
        std::abort();
}

constexpr off_t Page = 4096;
using Chart = std::array<std::uint8_t, ChartSize>;

// The device and the file as they should be. The file is sparse: its first page (the game code),
// a hole, then from the chart's page on (`tail`).
struct Session {
    QString path, moved;
    const char* code = nullptr; // the release's, as the file was made
    int fd = -1;
    off_t chart = 0, base = 0, size = 0;
    std::string head, tail;
    bool readFails = false, movedAway = false, holesSeen = false, openedWhole = false,
         synced = false;
    int writeStopsAt = -1, syncFails = 0; // 1: its bytes kept; 2: all since the last good one lost
    off_t openedSize = 0;
    std::string openedHead;  // the game code's page, as the Open read it
    std::string openedAfter; // the 3 bytes after the chart, which an Open may read too
    Chart durable{};         // what a failed sync falls back to
    std::array<std::bitset<256>, ChartSize> allowed; // durable, or what a Save tried since
    // What a Save may find in the file without taking it for another program's change.
    std::array<std::bitset<256>, ChartSize> seen;
    std::string beforeSave; // the chart's bytes as the last Save found them
};
Session s;

std::string FileBytes(off_t at, off_t count) {
    std::string bytes(static_cast<std::size_t>(std::max<off_t>(count, 0)), '\0');
    bytes.resize(static_cast<std::size_t>(
        std::max<ssize_t>(::pread(s.fd, bytes.data(), bytes.size(), at), 0)));
    return bytes;
}

// The 333 bytes the editor holds, as a Save writes them.
std::string EditorChart() {
    std::string bytes;
    for (const TypeChartEntry& entry : TypeChart)
        bytes += {char(entry.attacking), char(entry.defending), char(entry.factor)};
    return bytes;
}

// What the device holds from now on: the file's chart bytes as they stand.
void Durable() {
    const std::string now = FileBytes(s.chart, ChartSize);
    for (std::size_t i = 0; i < ChartSize; ++i) {
        s.durable[i] = i < now.size() ? static_cast<std::uint8_t>(now[i]) : 0;
        s.seen[i] = s.allowed[i] = std::bitset<256>().set(s.durable[i]);
    }
}

void InstallDevice() {
    // A well device, as a slow one or a network share, may read fewer bytes a call than asked.
    RomFileCalls.readAt = [](FileHandle file, std::uint64_t at, std::uint8_t* buffer,
                             std::size_t count) {
        return s.readFails ? IoResult{0, IoError::DeviceError}
                           : ReadAt(file, at, buffer, std::min<std::size_t>(count, 1 + at % 171));
    };
    RomFileCalls.writeAt = [](FileHandle file, std::uint64_t at, const std::uint8_t* bytes,
                              std::size_t count) {
        if (s.writeStopsAt < 0)
            return WriteAt(file, at, bytes, count);
        const std::size_t wrote = WriteAt(file, at, bytes, s.writeStopsAt % count).count;
        // With the top bit set, the device reports none of what it wrote.
        return IoResult{s.writeStopsAt & 0x8000 ? 0 : wrote, IoError::DeviceFull};
    };
    RomFileCalls.sync = [](FileHandle file) {
        if (s.syncFails == 2) // the device loses every byte given it since the last good sync
            Require(::pwrite(s.fd, s.durable.data(),
                             std::clamp<off_t>(s.size - s.chart, 0, ChartSize), s.chart) >= 0);
        if (s.syncFails != 0)
            return IoError::DeviceError;
        const IoError result = SyncFile(file);
        s.synced = result == IoError::None;
        if (s.synced)
            Durable();
        return result;
    };
}

void Check() {
    Require(::lseek(s.fd, 0, SEEK_END) == s.size && FileBytes(0, Page) == s.head);
    // Nothing written into the hole, where the file system tells it from data by the page.
    Require(!s.holesSeen || ::lseek(s.fd, Page, SEEK_DATA) == s.base);
    std::string tail = FileBytes(s.base, s.size - s.base);
    for (std::size_t i = 0, c = s.chart - s.base; i < ChartSize && c + i < tail.size(); ++i) {
        Require(s.allowed[i].test(static_cast<std::uint8_t>(tail[c + i])));
        tail[c + i] = s.tail[c + i]; // the chart's bytes judged, the rest compared
    }
    Require(tail == s.tail);
}

void Open() {
    const bool readable =
        !s.readFails && !s.movedAway && s.head.compare(GameCodeOffset, GameCodeLength, s.code) == 0;
    RomStream.open(s.path);
    // As the File menu's Open: a file that is not a supported image, or could not be read, is let
    // go, so that nothing is ever saved into it.
    auto read = [] {
        return !RomStream.fail() || RomStream.failure() == StreamFailure::EndReached;
    };
    const bool supported = RomStream.is_open() && FindTableOffset(ReadGameCode()) && read();
    if (supported)
        ReadTypeChart();
    if (RomStream.is_open() && !(supported && read()))
        RomStream.close();
    s.openedWhole = readable && s.size >= s.chart + ChartSize;
    s.openedSize = s.size;
    s.openedHead = s.head;
    s.openedAfter = FileBytes(s.chart + ChartSize, 3);
    Durable();
    std::string chart = FileBytes(s.chart, ChartSize);
    chart.resize(ChartSize, '\xff');
    Require(!readable || (RomStream.is_open() && EditorChart() == chart));
}

void Save() {
    const std::string editor = EditorChart();
    const std::string before = s.beforeSave = FileBytes(s.chart, ChartSize);
    bool asSeen = s.openedWhole && !s.movedAway && s.size == s.openedSize && s.head == s.openedHead;
    for (std::size_t i = 0; i < before.size(); ++i)
        asSeen = asSeen && s.seen[i].test(static_cast<std::uint8_t>(before[i]));
    for (int i = 0; i < ChartSize && asSeen && !s.readFails; ++i) { // the write is tried
        s.allowed[i].set(static_cast<std::uint8_t>(editor[i]));
        s.seen[i].set(static_cast<std::uint8_t>(editor[i]));
    }
    s.synced = false;
    WriteTypeChart();
    const bool live = !s.readFails && s.writeStopsAt < 0 && s.syncFails == 0 && asSeen &&
                      FileBytes(s.chart + ChartSize, 3) == s.openedAfter; // the device well
    Require(RomStream.fail() ? !live : s.synced && FileBytes(s.chart, ChartSize) == editor);
    Require(asSeen || (RomStream.fail() && FileBytes(s.chart, ChartSize) == before));
    const StreamFailure why = !RomStream.is_open() ? StreamFailure::NotAttached
                              : s.openedWhole      ? StreamFailure::FileChanged
                                                   : StreamFailure::NotSeen;
    Require(asSeen || s.readFails || RomStream.failure() == why); // and says why
}

// The steps' bytes: each step takes as many as it needs; past the end, every byte reads 0.
struct Steps {
    const std::uint8_t *at, *end;
    std::uint8_t Next() { return at < end ? *at++ : 0; }
    int Index() { return Next() % (MaxEntries + 3) - 1; } // -1 .. 112: the edges and past them
    int Wide() { return Next() << 8 | Next(); }
};

void Edit(int kind, Steps& in) {
    const int at = in.Index();
    if (kind == 1 || kind == 4)
        MoveEntriesBack(at); // an insertion
    if (kind == 2)
        RemoveEntry(at);
    else if (kind >= 3)
        StoreForesightEntry(at);
    else {
        const std::uint8_t attacking = in.Next(), defending = in.Next();
        StoreEntry(at, attacking, defending, in.Next());
    }
}

// One fault at a time, in force until another replaces it or the device is back (4).
void Device(int fault, Steps& in) {
    s.readFails = fault == 0;
    s.writeStopsAt = fault == 1 ? in.Wide() : -1;
    s.syncFails = fault == 2 || fault == 3 ? fault - 1 : 0;
}

// Another program writes `bytes` over the chart from its byte `at` on: the device holds them.
void RewriteChart(off_t at, const std::string& bytes) {
    Require(::pwrite(s.fd, bytes.data(), bytes.size(), s.chart + at) == ssize_t(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        s.durable[at + i] = static_cast<std::uint8_t>(bytes[i]);
        s.allowed[at + i].set(s.durable[at + i]);
    }
}

void OtherProgram(int change, Steps& in) {
    if (change == 0) { // renamed away, or back
        Require(::rename(qPrintable(s.movedAway ? s.moved : s.path),
                         qPrintable(s.movedAway ? s.path : s.moved)) == 0);
        s.movedAway = !s.movedAway;
    } else if (change == 1) { // cut or grown, from inside the chart to a page past it
        s.size = s.chart - 16 + in.Wide() % (Page + 400);
        Require(::ftruncate(s.fd, s.size) == 0);
        s.tail.resize(static_cast<std::size_t>(s.size - s.base));
        for (off_t i = std::max<off_t>(s.size - s.chart, 0); i < ChartSize; ++i) {
            s.durable[i] = 0; // a byte cut off comes back as 0
            s.allowed[i] = std::bitset<256>().set(0);
        }
    } else if (change == 2) { // the chart put back as the last Save found it: a backup restored
        RewriteChart(0, s.beforeSave.substr(0, std::max<off_t>(s.size - s.chart, 0)));
    } else if (const int at = in.Wide() % (GameCodeLength + ChartSize); at < GameCodeLength) {
        s.head[GameCodeOffset + at] ^= 0x20; // the code in the other case: no release's
        Require(::pwrite(s.fd, &s.head[GameCodeOffset + at], 1, GameCodeOffset + at) == 1);
    } else if (const char byte = char(in.Next()); s.chart + at - 4 < s.size) { // a chart byte
        RewriteChart(at - 4, std::string(1, byte));
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    static QTemporaryDir folder;
    const SupportedRom& rom = SupportedRoms[data[0] % SupportedRoms.size()];
    const std::size_t fileSize = std::min<std::size_t>((data[1] | data[2] << 8) % 1024, size - 3);
    const std::uint8_t* file = data + 3;
    Steps in{file + fileSize, file + std::min<std::size_t>(size - 3, fileSize + 32)};
    s.path = folder.filePath(QStringLiteral("image.gba"));
    s.moved = s.path + QStringLiteral(".moved");
    s.code = rom.gameCode;
    s.chart = rom.tableOffset;
    s.base = s.chart / Page * Page;
    s.size = s.chart + static_cast<off_t>(fileSize);
    s.fd = ::open(qPrintable(s.path), O_RDWR | O_CREAT | O_TRUNC, 0600);
    Require(s.fd >= 0 && ::pwrite(s.fd, rom.gameCode, 4, GameCodeOffset) == 4 &&
            ::pwrite(s.fd, file, fileSize, s.chart) == static_cast<ssize_t>(fileSize) &&
            ::ftruncate(s.fd, s.size) == 0);
    s.head = FileBytes(0, Page);
    s.tail = FileBytes(s.base, s.size - s.base);
    s.holesSeen = s.size > s.base && ::lseek(s.fd, Page, SEEK_DATA) == s.base;
    InstallDevice();
    Open();
    Check();
    while (in.at < in.end) {
        const int step = in.Next(), kind = step % 16;
        if (kind < 5)
            Edit(kind, in);
        else if (kind < 8)
            Save();
        else if (kind == 8)
            RomStream.close(), Open();
        else if (kind == 9)
            Language = 1 - Language, BuildEntryTexts();
        else if (kind < 15)
            Device(kind - 10, in);
        else
            OtherProgram(step / 16 % 4, in);
        Check();
    }
    Device(4, in); // the device back, the file at its name
    if (s.movedAway)
        OtherProgram(0, in);
    Save();
    Check();
    RomStream.close();
    ::close(s.fd);
    // The program as it starts, for the next session; nothing of this one's left allocated.
    RomFileCalls = {};
    s = Session{};
    TypeChart = {};
    TableOffset = 0;
    Language = 0;
    return 0;
}
