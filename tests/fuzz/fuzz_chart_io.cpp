// libFuzzer target: any file the dialog may hand the editor goes through identification, chart
// reading, text building, a save right after the read and a save after an edit. Checks: no
// crash or undefined behaviour (the sanitizers), a save right after a read never changes the
// file, and any save changes at most the 333 chart bytes of an identified image.
//
// Input: byte 0 even: the rest is the whole file. Byte 0 odd: byte 1 picks a release, byte 2 an
// edit, and the rest is what stands in the file from that release's chart offset on (the file
// ends where the input does, so charts may be cut short).

#include "chart/entry_editing.h"
#include "chart/type_chart.h"
#include "rom/rom_image.h"

#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

const QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

constexpr off_t Page = 4096;

// What a file holds, cheaply: a release image is a sparse file of some megabytes whose only data
// are its first page and the pages from its chart on, so those are read, and the hole between
// them is checked to be still a hole.
struct FileState {
    off_t size = 0;
    std::vector<std::uint8_t> head;
    off_t tailStart = 0;
    std::vector<std::uint8_t> tail;
    off_t firstDataAfterHead = 0;
    bool operator==(const FileState&) const = default;
};

std::vector<std::uint8_t> ReadRange(int fd, off_t from, off_t to) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<off_t>(to - from, 0)));
    Require(::pread(fd, bytes.data(), bytes.size(), from) == static_cast<ssize_t>(bytes.size()));
    return bytes;
}

FileState ReadState(int fd, off_t chartOffset) {
    FileState state;
    state.size = ::lseek(fd, 0, SEEK_END);
    const off_t headEnd = std::min(state.size, Page);
    state.head = ReadRange(fd, 0, headEnd);
    state.tailStart = std::max(headEnd, chartOffset / Page * Page);
    state.tail = ReadRange(fd, state.tailStart, state.size);
    state.firstDataAfterHead = headEnd < state.tailStart ? ::lseek(fd, headEnd, SEEK_DATA) : 0;
    return state;
}

void Edit(std::uint8_t how) {
    int row = how % MaxEntries;
    switch (how % 4) {
    case 0:
        StoreEntry(row, how, 255 - how, how);
        break;
    case 1:
        MoveEntriesBack(row);
        StoreForesightEntry(row);
        break;
    case 2:
        RemoveEntry(row);
        break;
    default:
        StoreEntry(row, 0, 0, FactorForSelection(how % 5, how));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const QString path = Folder().filePath(QStringLiteral("image.gba"));
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    Require(fd >= 0);
    std::uint8_t edit = 0;
    off_t chartOffset = 0;
    if (data[0] % 2 == 0 || size < 3) {
        Require(::pwrite(fd, data + 1, size - 1, 0) == static_cast<ssize_t>(size - 1));
    } else {
        const SupportedRom& rom = SupportedRoms[data[1] % SupportedRoms.size()];
        edit = data[2];
        chartOffset = rom.tableOffset;
        Require(::ftruncate(fd, rom.tableOffset + static_cast<off_t>(size - 3)) == 0);
        Require(::pwrite(fd, rom.gameCode, 4, GameCodeOffset) == 4);
        Require(::pwrite(fd, data + 3, size - 3, rom.tableOffset) ==
                static_cast<ssize_t>(size - 3));
    }
    const FileState before = ReadState(fd, chartOffset);

    RomStream.open(path);
    const bool identified = FindTableOffset(ReadGameCode());
    if (identified) {
        ReadTypeChart();
        for (int language : {1, 0}) {
            Language = language;
            BuildEntryTexts();
        }
        WriteTypeChart();
        Require(ReadState(fd, chartOffset) == before);

        Edit(edit);
        WriteTypeChart();
        const FileState after = ReadState(fd, chartOffset);
        Require(after.size == before.size && after.head == before.head &&
                after.firstDataAfterHead == before.firstDataAfterHead);
        for (std::size_t i = 0; i < after.tail.size(); ++i) {
            const auto offset = static_cast<std::uint64_t>(before.tailStart) + i;
            Require(after.tail[i] == before.tail[i] ||
                    (offset >= TableOffset && offset < TableOffset + ChartSize));
        }
    }
    RomStream.close();
    if (!identified)
        Require(ReadState(fd, chartOffset) == before);
    ::close(fd);
    return 0;
}
