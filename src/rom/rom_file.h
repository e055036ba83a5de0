#pragma once
// The few calls to the operating system that RomFileStream makes, one implementation per system
// (rom_file_posix.cpp, rom_file_windows.cpp; the build picks one). Everything above this layer
// is the same on every system.
//
// What every implementation promises: AttachFile opens an existing regular file for reading and
// writing, never creating, truncating or growing it, and holds its lock so that a second editor
// cannot attach it (Linux: an advisory lock; Windows: a share mode that keeps every other writer
// out); it refuses anything else and says why. A read tells the end of the file from an error.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>

// A system handle or descriptor of an attached file.
using FileHandle = std::intptr_t;
inline constexpr FileHandle NoFile = -1;

// Why a file could not be attached.
enum class AttachError {
    None,
    NoSuchFile,
    NotWritable,    // read-only, or no permission to change it
    InUse,          // another program holds it
    NotRegularFile, // a folder, a pipe, a device
    SystemError,    // anything else the system reported
};

struct AttachResult {
    FileHandle handle = NoFile;
    AttachError error = AttachError::None;
};

// Why a read, a write, a sync or a look at an attached file failed. The stream adds the failures
// it finds itself, without asking the system.
enum class IoError {
    None,
    EndOfFile,   // a read met the end of the file: not an error of the system's
    NotSeen,     // a byte to be written was never read: the file ended before it
    FileChanged, // the path names another file or none, or the file's size or bytes changed
    DeviceFull,  // no space left, a quota, or a limit on the file's size
    DeviceError, // the device failed, or was removed
    SystemError, // anything else the system reported
    NotAttached, // nothing is attached
};

// What a read or a write did: how many bytes it moved, and why it stopped short. A read that
// stops short with no error met the end of the file.
struct IoResult {
    std::size_t count = 0;
    IoError error = IoError::None;
};

AttachResult AttachFile(const QString& path);
void DetachFile(FileHandle file); // also gives up the lock

// Reads up to `size` bytes at `offset` in one call (retried if interrupted); fewer at the end of
// the file, with no error.
IoResult ReadAt(FileHandle file, std::uint64_t offset, std::uint8_t* buffer, std::size_t size);

// Writes `size` bytes at `offset`; fewer only with an error, after which nothing more is written.
IoResult WriteAt(FileHandle file, std::uint64_t offset, const std::uint8_t* bytes,
                 std::size_t size);

// Asks the system to put the file's data on the storage device.
IoError SyncFile(FileHandle file);

// The attached file's size while `path` still names that very file; otherwise FileChanged (it was
// deleted, renamed or replaced meanwhile), or the error that kept the system from telling.
struct FileLook {
    std::int64_t size = -1;
    IoError error = IoError::None;
};
FileLook LookAt(FileHandle file, const QString& path);

// Stand-ins that tests set to play a device that fails, or a file changed while a call runs;
// when empty, the system's own call is made.
struct RomFileHooks {
    std::function<IoResult(FileHandle, std::uint64_t, std::uint8_t*, std::size_t)> readAt;
    std::function<IoResult(FileHandle, std::uint64_t, const std::uint8_t*, std::size_t)> writeAt;
    std::function<IoError(FileHandle)> sync;
    std::function<FileLook(FileHandle, const QString&)> lookAt;
};
extern RomFileHooks RomFileTestHooks;
