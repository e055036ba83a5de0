#pragma once
// Image files for the tests, built around the chart the games ship (tests/data), and the
// program state put back as it is right after start.

#include "rom/rom_image.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

inline constexpr std::uint32_t FireRedChart = 0x24F050; // where "BPRE" images keep their chart

// The shipped chart: its 111 records, then the end-of-chart record; 336 bytes.
QByteArray RealChart();

// The 333 bytes TypeChart holds now.
QByteArray TableBytes();

// Writes a sparse image of `size` bytes and returns its path: random bytes around offset 172,
// which holds `code`, and around `offset`, which holds `chart`. A small size cuts it short.
QString WriteImage(const QString& path, const QByteArray& chart = RealChart(),
                   const QByteArray& code = "BPRE", std::uint32_t offset = FireRedChart,
                   qint64 size = 16 << 20);

// `count` bytes of the file from `from` (all of them by default); fewer where it ends first.
QByteArray FileBytes(const QString& path, qint64 from = 0, qint64 count = -1);

// Detaches the stream and zeroes the chart, its offset and the language.
void ResetProgramState();
