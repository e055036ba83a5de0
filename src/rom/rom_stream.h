#pragma once
// RomFileStream: the one file stream on the open ROM image, with the failure state of a
// standard file stream. Reading and writing share one position.
//
// Safety promises: the file is never created, never truncated, never extended and never
// loaded whole; only regular files attach; while attached the stream holds the file
// exclusively, so two editors cannot attach the same image; flush() does not return until the
// system reports the data on the storage device, and fails when the file is no longer the one at
// the path that was opened (deleted, renamed or replaced) or no longer holds what was written.

#include "rom/rom_file.h"

#include <QString>

#include <cstdint>
#include <vector>

class RomFileStream {
public:
    static constexpr int EndOfFile = -1;

    RomFileStream() = default;
    RomFileStream(const RomFileStream&) = delete;
    RomFileStream& operator=(const RomFileStream&) = delete;
    ~RomFileStream(); // closes an attached file, writing what is pending

    bool is_open() const { return file_ != NoFile; }
    // True from a failed attach, read, positioning, write or flush until the next good attach,
    // or until clear() for a failure that clear() may lift.
    bool fail() const { return failed_; }
    // Why the last open failed; AttachError::None after a good one.
    AttachError attachError() const { return attachError_; }

    // Attaches `path` for reading and writing. On success the position is 0 and the failure
    // state is clear; on failure nothing is attached and the failure state is set.
    void open(const QString& path);
    // Writes what is pending and detaches the file.
    void close();

    // Lifts a failure left by a write or a sync, so that a later save starts afresh. A read that
    // met the end of the file keeps the failure while the file stays attached: a chart only
    // partly read must never be written back.
    void clear();

    void seekg(std::uint64_t offset);
    void seekp(std::uint64_t offset); // does nothing while the failure state is set

    // The byte at the position (0..255), or EndOfFile, which also sets the failure state.
    int get();
    // Writes one byte at the position; nothing while the failure state is set.
    void put(std::uint8_t byte);

    // Writes what is pending and asks the system to put the file's data on the device; sets the
    // failure state when that fails, or when afterwards the path no longer names the attached
    // file or the file no longer reaches past what was written.
    void flush();

    std::uint64_t position() const { return position_; }

private:
    bool fillReadBuffer();
    void writePending();
    void detach();
    bool fileStillHolds(std::uint64_t end) const;

    FileHandle file_ = NoFile;
    QString path_; // as given to open
    AttachError attachError_ = AttachError::None;
    bool failed_ = false;
    bool metEnd_ = false; // a read met the end of this attachment's file
    std::uint64_t position_ = 0;
    std::uint64_t writtenEnd_ = 0; // where the bytes written since the last flush end

    // A small read-ahead window, so that reading the game code or the chart costs one system
    // call, and the bytes put but not yet written.
    std::vector<std::uint8_t> readBuffer_;
    std::uint64_t readStart_ = 0;
    std::vector<std::uint8_t> pending_;
    std::uint64_t pendingStart_ = 0;
};
