#include "rom/rom_image.h"

#include "chart/type_chart.h"

namespace {

std::uint8_t GetByte() {
    return static_cast<std::uint8_t>(RomStream.get());
}

ChartRecordBytes ReadRecord() {
    ChartRecordBytes record{};
    record.attacking = GetByte();
    record.defending = GetByte();
    record.factor = GetByte();
    return record;
}

void StoreRecord(int index, const ChartRecordBytes& record) {
    TypeChartEntry& entry = TypeChart[index];
    entry.attacking = record.attacking;
    entry.defending = record.defending;
    entry.factor = record.factor;
}

} // namespace

QByteArray ReadGameCode() {
    RomStream.seekg(GameCodeOffset, GameCodeLength);
    QByteArray code;
    for (int i = 0; i < GameCodeLength; ++i)
        code.append(static_cast<char>(GetByte()));
    return code;
}

bool FindTableOffset(const QByteArray& code) {
    for (const SupportedRom& rom : SupportedRoms) {
        if (code == QByteArray(rom.gameCode)) {
            TableOffset = rom.tableOffset;
            return true;
        }
    }
    return false;
}

void ReadTypeChart() {
    RomStream.seekg(TableOffset, ChartWindow);
    int count = 0;
    for (;;) {
        ChartRecordBytes record = ReadRecord();
        if (record == ChartTerminator)
            break;
        if (count >= MaxEntries)
            return; // a 112th record was read and is dropped
        StoreRecord(count++, record);
    }
    // The chart ended early. Keep the rest of the 333-byte window as it stands in the file, the
    // end-of-chart record included, rather than whatever an earlier image left in the table:
    // a save then writes back exactly the bytes that were read.
    if (count < MaxEntries) {
        StoreRecord(count++, ChartTerminator);
        while (count < MaxEntries)
            StoreRecord(count++, ReadRecord());
    }
}

void WriteTypeChart() {
    // Each save starts afresh, so that one that failed (a full device, an I/O error) can be
    // retried once the cause is gone. A failed write may have written part of the chart, a record
    // torn among it: the next save that succeeds writes the whole chart again.
    RomStream.clear();
    RomStream.seekp(TableOffset);
    for (const TypeChartEntry& entry : TypeChart) {
        RomStream.put(entry.attacking);
        RomStream.put(entry.defending);
        RomStream.put(entry.factor);
    }
    RomStream.flush();
}
