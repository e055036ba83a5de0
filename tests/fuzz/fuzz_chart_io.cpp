// libFuzzer target: whatever a release's image holds from its chart offset on goes through
// identification, chart reading, the list texts and a save. Besides what the sanitizers catch, a
// save right after the read must leave the file exactly as it was.
//
// Input: byte 0 picks a release; the rest stands in the file from that release's chart offset
// on, where the file ends, so charts may end early, run long or be cut short.

#include "rom/rom_image.h" // and the chart it reads into

#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {
void Require(bool condition) {
    if (!condition)
        std::abort();
}

// The file as far as a save could change it, without reading megabytes of hole every time: where
// its data resumes after the first page, that page, and all from the chart's page to the end.
std::string State(int fd, off_t chart) {
    const off_t size = ::lseek(fd, 0, SEEK_END), head = std::min<off_t>(size, 4096);
    const off_t tail = std::min(size, std::max<off_t>(4096, chart / 4096 * 4096));
    std::string bytes(static_cast<std::size_t>(head + size - tail), '\0');
    Require(::pread(fd, bytes.data(), head, 0) == head &&
            ::pread(fd, bytes.data() + head, size - tail, tail) == size - tail);
    return std::to_string(::lseek(fd, 4096, SEEK_DATA)) + ' ' + bytes;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("image.gba"));
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    Require(fd >= 0);
    const SupportedRom& rom = SupportedRoms[data[0] % SupportedRoms.size()];
    const off_t chart = rom.tableOffset;
    Require(::pwrite(fd, rom.gameCode, 4, GameCodeOffset) == 4 &&
            ::pwrite(fd, data + 1, size - 1, chart) >= 0);
    const std::string before = State(fd, chart);
    RomStream.open(path);
    Require(FindTableOffset(ReadGameCode()));
    ReadTypeChart();
    BuildEntryTexts();
    WriteTypeChart();
    RomStream.close();
    Require(State(fd, chart) == before);
    ::close(fd);
    return 0;
}
