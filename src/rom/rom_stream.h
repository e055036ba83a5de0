#pragma once
// RomFileStream: the one file stream on the open ROM image, with the failure state of a
// standard file stream. Reading and writing share one position.
//
// Safety promises: the file is never created, never truncated, never extended and never
// loaded whole; only regular files attach; while attached the stream holds the file's lock, so
// two editors cannot attach the same image (on Linux the lock binds only programs that ask for
// it; on Windows the system keeps every other writer out). Nothing is written over a byte the
// editor has not seen: before each write, the path must still name the attached file, of the size
// it had, and every byte read from it (updated by each byte of the stream's own that the system
// reported written) must still be there. flush() does not return until the system reports the
// data on the storage device, and fails when, after the sync, the file is no longer that file of
// that size holding those bytes. A read error is never taken for the end of the file.

#include "rom/rom_file.h"

#include <QString>

#include <cstdint>
#include <map>
#include <vector>

class RomFileStream {
public:
    static constexpr int EndOfFile = -1;

    RomFileStream() = default;
    RomFileStream(const RomFileStream&) = delete;
    RomFileStream& operator=(const RomFileStream&) = delete;
    ~RomFileStream(); // closes an attached file, writing what is pending

    bool is_open() const { return file_ != NoFile; }
    // True from a failed attach, read, positioning, write or flush until the next good attach or
    // clear().
    bool fail() const { return failure_ != IoError::None; }
    // Why the failure state was set: IoError::None when it is clear.
    IoError failure() const { return failure_; }
    // Why the last open failed; AttachError::None after a good one.
    AttachError attachError() const { return attachError_; }

    // Attaches `path` for reading and writing. On success the position is 0 and the failure
    // state is clear; on failure nothing is attached and the failure state is set.
    void open(const QString& path);
    // Writes what is pending and detaches the file.
    void close();

    // Lifts the failure state of an attached file, so that a save starts afresh after a failed
    // one. A chart only partly read, because the file ends inside it, is still never written:
    // its missing bytes were never seen.
    void clear();

    void seekg(std::uint64_t offset);
    void seekp(std::uint64_t offset); // does nothing while the failure state is set

    // The byte at the position (0..255), or EndOfFile, which also sets the failure state: at the
    // end of the file (IoError::EndOfFile) or on a read error (the system's reason).
    int get();
    // Writes one byte at the position; nothing while the failure state is set.
    void put(std::uint8_t byte);

    // Writes what is pending and asks the system to put the file's data on the device; sets the
    // failure state when that fails, or when afterwards the path no longer names the attached
    // file or its size has changed.
    void flush();

    std::uint64_t position() const { return position_; }

private:
    bool fillReadBuffer();
    void writePending();
    void detach();
    IoError checkBeforeWrite();
    IoError fileAsSeen();
    IoError fileUnchanged() const;
    IoError seenBytesUnchanged();
    IoResult readFully(std::uint64_t offset, std::vector<std::uint8_t>& bytes) const;

    FileHandle file_ = NoFile;
    QString path_; // as given to open
    AttachError attachError_ = AttachError::None;
    IoError failure_ = IoError::None;
    std::int64_t attachedSize_ = -1; // the file's size when it was attached
    std::uint64_t position_ = 0;

    // Every byte the editor has seen in the file, by offset: each one get() returned, and each one
    // of the stream's own that the system reported written. The bytes of a failed write that the
    // system did not report written may or may not be in the file: either value is the editor's.
    std::map<std::uint64_t, std::uint8_t> seen_;
    std::map<std::uint64_t, std::uint8_t> unconfirmed_;

    // A small read-ahead window, so that reading the game code or the chart costs one system
    // call, and the bytes put but not yet written.
    std::vector<std::uint8_t> readBuffer_;
    std::uint64_t readStart_ = 0;
    std::vector<std::uint8_t> pending_;
    std::uint64_t pendingStart_ = 0;
};
