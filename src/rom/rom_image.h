#pragma once
// ROM access: where a Game Boy Advance image keeps its game code and, for each supported
// release, its type chart; identifying an image; reading the chart into TypeChart and writing
// it back in place.
//
// The chart is a run of 3-byte records (attacking type, defending type, factor) ended by the
// record (255, 255, 0). The editor reads at most 111 records and writes exactly 111, the 333
// bytes from TableOffset; nothing else in the file is ever written.

#include "chart/type_chart.h"
#include "rom/rom_stream.h"

#include <QByteArray>

#include <array>
#include <cstdint>

inline constexpr std::uint32_t GameCodeOffset = 172; // 4 bytes in the cartridge header
inline constexpr int GameCodeLength = 4;
inline constexpr int ChartRecordSize = 3;
inline constexpr int ChartSize = MaxEntries * ChartRecordSize; // the bytes a save writes
// What an Open reads of the chart: its 111 records and the one after them, which ends a full
// chart; nothing else.
inline constexpr int ChartWindow = ChartSize + ChartRecordSize;

struct ChartRecordBytes {
    std::uint8_t attacking;
    std::uint8_t defending;
    std::uint8_t factor;
    friend bool operator==(const ChartRecordBytes&, const ChartRecordBytes&) = default;
};

inline constexpr ChartRecordBytes ChartTerminator{255, 255, 0};

struct SupportedRom {
    const char* gameCode;
    std::uint32_t tableOffset;
};

// Tried in this order; the codes are distinct.
inline constexpr std::array<SupportedRom, 10> SupportedRoms{{
    {"AXVE", 0x1F9720}, // Ruby, English
    {"AXPE", 0x1F96B0}, // Sapphire, English
    {"BPEE", 0x31ACE8}, // Emerald, English
    {"BPRE", 0x24F050}, // Fire Red, English
    {"BPGE", 0x24F02C}, // Leaf Green, English
    {"AXVF", 0x201B28}, // Ruby, French
    {"AXPF", 0x201AB8}, // Sapphire, French
    {"BPEF", 0x322818}, // Emerald, French
    {"BPRF", 0x24945C}, // Fire Red, French
    {"BPGF", 0x249438}, // Leaf Green, French
}};

// The stream on the open image and the chart offset of its release (0 until one is identified).
extern RomFileStream RomStream;
extern std::uint32_t TableOffset;

// The four bytes at GameCodeOffset; a byte beyond the end of the file, or of a file that could
// not be attached, reads as 255.
QByteArray ReadGameCode();

// Sets TableOffset and returns true when `code` is exactly one of the supported codes.
bool FindTableOffset(const QByteArray& code);

// Reads the chart at TableOffset into TypeChart. Leaves the texts stale.
void ReadTypeChart();

// Writes the 111 records at TableOffset and flushes them to the device, starting afresh after an
// earlier failed save; a chart whose read met the end of the file is never written. Save judges
// the outcome by RomStream.fail().
void WriteTypeChart();
