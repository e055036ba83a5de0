// libFuzzer target: any file the dialog may hand the editor goes through identification, chart
// reading, the list texts in both languages and a save. Besides what the sanitizers catch, a
// save right after the read must leave the file exactly as it was, and a file that is not
// recognised is never written.
//
// Input: byte 0 even: the rest is the whole file. Byte 0 odd: byte 1 picks a release, and the
// rest stands in the file from that release's chart offset on, where the file ends; so charts
// may end early, run long or be cut short.

#include "chart/type_chart.h"
#include "rom/rom_image.h"

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

// The file as far as a save could change it, without reading megabytes of hole each time: its
// size, where its data resumes after the first page, that page, and all from the chart's page on.
std::string State(int fd, off_t chart) {
    const off_t size = ::lseek(fd, 0, SEEK_END);
    const off_t tail = std::min(size, std::max<off_t>(4096, chart / 4096 * 4096));
    std::string head(static_cast<std::size_t>(std::min<off_t>(size, 4096)), '\0');
    std::string rest(static_cast<std::size_t>(size - tail), '\0');
    Require(::pread(fd, head.data(), head.size(), 0) == static_cast<ssize_t>(head.size()) &&
            ::pread(fd, rest.data(), rest.size(), tail) == static_cast<ssize_t>(rest.size()));
    return std::to_string(size) + ' ' + std::to_string(::lseek(fd, 4096, SEEK_DATA)) + head + rest;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("image.gba"));
    int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    Require(fd >= 0);
    off_t chart = 0;
    if (size < 2 || data[0] % 2 == 0) {
        Require(::pwrite(fd, data + (size > 0), size - (size > 0), 0) >= 0);
    } else {
        const SupportedRom& rom = SupportedRoms[data[1] % SupportedRoms.size()];
        chart = rom.tableOffset;
        Require(::pwrite(fd, rom.gameCode, 4, GameCodeOffset) == 4 &&
                ::pwrite(fd, data + 2, size - 2, chart) == ssize_t(size - 2));
    }
    const std::string before = State(fd, chart);
    RomStream.open(path);
    if (FindTableOffset(ReadGameCode())) {
        ReadTypeChart();
        for (int language : {1, 0}) {
            Language = language;
            BuildEntryTexts();
        }
        WriteTypeChart();
    }
    RomStream.close();
    Require(State(fd, chart) == before);
    ::close(fd);
    return 0;
}
