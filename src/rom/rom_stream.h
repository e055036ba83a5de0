#pragma once
// RomFileStream: the one file stream on the open ROM image, with the failure state of a
// standard file stream. Reading and writing share one position.
//
// Safety promises: the file is never created, never truncated and never loaded whole, and the
// editor writes only over bytes it has seen, so never past the end the file had when it looked;
// only regular files attach; while attached the stream holds the file's locks, so two editors
// cannot attach the same image (on Linux the advisory locks, flock's and fcntl's, bind only the
// programs that take one; on Windows the system keeps every other writer out). Before each write,
// the path must still name the attached file, of the size it had, and every byte read from it
// must still hold its durable value (as read, or as written by the editor and then synced) or a
// value the editor wrote there since the last good sync; a write that would cross the process's
// file-size limit, as it stands at that check, writes nothing. flush() does not return until the
// system reports the data on the storage device, and fails when, after the sync, the file is no
// longer that file of that size holding those bytes. A read error is never taken for the end of
// the file.
// On Linux a program that ignores the locks can still change the file in the moment between the
// check and the write: that change is written over (a file cut in that moment grows back to the
// chart's end), or, if the check after the sync sees it, the save fails saying that the chart was
// written. A limit lowered in that moment stops the write part-way, and the save says so.

#include "rom/rom_file.h"

#include <QString>

#include <cstdint>
#include <map>
#include <vector>

// Why the stream's failure state is set: the system's reason, or one the stream found itself.
enum class StreamFailure {
    None,
    EndReached,  // a read met the end of the file: not an error of the system's
    NotAttached, // nothing is attached
    NotSeen,     // a byte to be written was never read: the file ended before it
    FileChanged, // the path names another file or none, or the file's size or bytes changed
    DeviceFull,  // no space left, a quota, or a limit on the file's size
    DeviceError, // the device failed, or was removed
    SystemError, // anything else the system reported
};

class RomFileStream {
public:
    static constexpr int EndOfFile = -1; // what get() returns when it has no byte

    RomFileStream() = default;
    RomFileStream(const RomFileStream&) = delete;
    RomFileStream& operator=(const RomFileStream&) = delete;
    ~RomFileStream(); // closes an attached file, writing what is pending

    bool is_open() const { return file_ != NoFile; }
    // True from a failed attach, read, positioning, write or flush until the next good attach or
    // clear().
    bool fail() const { return failure_ != StreamFailure::None; }
    StreamFailure failure() const { return failure_; }
    // Why the last open failed; AttachError::None after a good one.
    AttachError attachError() const { return attachError_; }
    // How many bytes the system reported written since the last good attach or clear().
    std::size_t bytesWritten() const { return bytesWritten_; }

    // Attaches `path` for reading and writing. On success the position is 0 and the failure
    // state is clear; on failure nothing is attached and the failure state is set.
    void open(const QString& path);
    // Writes what is pending and detaches the file.
    void close();

    // Lifts the failure state of an attached file, so that a save starts afresh after a failed
    // one. A chart only partly read, because the file ends inside it, is still never written:
    // its missing bytes were never seen.
    void clear();

    // Positions for reading the next `window` bytes, which the next get() fetches in one call;
    // nothing outside them is read, so a fault elsewhere in the file is never met.
    void seekg(std::uint64_t offset, std::size_t window = 1);
    void seekp(std::uint64_t offset); // does nothing while the failure state is set

    // The byte at the position (0..255), or EndOfFile, which also sets the failure state: at the
    // end of the file (EndReached) or on a read error (the system's reason).
    int get();
    // Writes one byte at the position; nothing while the failure state is set.
    void put(std::uint8_t byte);

    // Writes what is pending, asks the system to put the file's data on the device, then reads
    // the file's size and every seen byte again; sets the failure state when any of that fails,
    // or when the file is no longer the one attached, of its size, holding what the editor saw
    // and wrote.
    void flush();

private:
    bool fillReadBuffer();
    void writePending();
    void detach();
    void setFailure(IoError error);
    StreamFailure checkBeforeWrite();
    StreamFailure fileAsSeen() const;
    StreamFailure fileUnchanged() const;
    StreamFailure seenBytesUnchanged() const;
    bool wroteSinceSync(std::uint64_t at, std::uint8_t byte) const;
    IoResult readFully(std::uint64_t offset, std::vector<std::uint8_t>& bytes) const;

    FileHandle file_ = NoFile;
    QString path_; // as given to open
    AttachError attachError_ = AttachError::None;
    StreamFailure failure_ = StreamFailure::None;
    std::int64_t attachedSize_ = -1; // the file's size when it was attached
    std::uint64_t position_ = 0;
    std::size_t bytesWritten_ = 0;

    // Every byte the editor has seen in the file, by offset, at its durable value: each one get()
    // returned, and each one of the stream's own that a good sync put on the device. Every value
    // the editor wrote at a place since the last good sync, in order: until the next good sync the
    // byte may hold any of them, or its durable value, and only that sync makes the last of them
    // the durable one.
    std::map<std::uint64_t, std::uint8_t> seen_;
    std::map<std::uint64_t, std::vector<std::uint8_t>> unsynced_;

    // The bytes read ahead, so that reading the game code or the chart costs one system call,
    // and the bytes put but not yet written.
    std::vector<std::uint8_t> readBuffer_;
    std::uint64_t readStart_ = 0;
    std::uint64_t windowEnd_ = 0; // where the run that seekg announced ends
    std::vector<std::uint8_t> pending_;
    std::uint64_t pendingStart_ = 0;
};
