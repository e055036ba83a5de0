#pragma once
// The few calls to the operating system that RomFileStream makes, one implementation per system
// (rom_file_posix.cpp, rom_file_windows.cpp; the build picks one). Everything above this layer
// is the same on every system.
//
// What every implementation promises: AttachFile opens an existing regular file for reading and
// writing, never creating, truncating or growing it, and holds its locks so that a second editor
// cannot attach it (Linux: advisory locks of both kinds, flock and fcntl; Windows: a share mode
// that keeps every other writer out); it refuses anything else and says why. A read tells the end
// of the file from an error.

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

// Why a read, a write, a sync or a look at an attached file failed, as the system tells it.
enum class IoError {
    None,
    FileChanged, // the path names another file or none
    DeviceFull,  // no space left, a quota, or a limit on the file's size
    DeviceError, // the device failed, or was removed
    SystemError, // anything else the system reported
};

// What a read or a write did: how many bytes it moved, and why it stopped short. A read that
// stops short with no error met the end of the file.
struct IoResult {
    std::size_t count = 0;
    IoError error = IoError::None;
};

AttachResult AttachFile(const QString& path);
void DetachFile(FileHandle file); // also gives up the locks

// Reads up to `size` bytes at `offset` in one call (retried if interrupted); fewer at the end of
// the file, with no error.
IoResult ReadAt(FileHandle file, std::uint64_t offset, std::uint8_t* buffer, std::size_t size);

// Writes `size` bytes at `offset`, calling again after a short write; fewer only with an error,
// after which nothing more is written.
IoResult WriteAt(FileHandle file, std::uint64_t offset, const std::uint8_t* bytes,
                 std::size_t size);

// The offset that no write of this process may reach: the process's file-size limit where the
// system has one (a write across it stops part-way), else the largest offset.
std::uint64_t FileSizeLimit();

// Asks the system to put the file's data on the storage device.
IoError SyncFile(FileHandle file);

// The attached file's size while `path` still names that very file; otherwise FileChanged (it was
// deleted, renamed or replaced meanwhile), or the error that kept the system from telling.
struct FileLook {
    std::int64_t size = -1;
    IoError error = IoError::None;
};
FileLook LookAt(FileHandle file, const QString& path);

// The calls RomFileStream makes, the system's own unless a test puts a stand-in in one to play a
// device that fails, or a file changed while a call runs. `RomFileCalls = {}` puts all of the
// system's back.
struct RomFileHooks {
    std::function<IoResult(FileHandle, std::uint64_t, std::uint8_t*, std::size_t)> readAt = ReadAt;
    std::function<IoResult(FileHandle, std::uint64_t, const std::uint8_t*, std::size_t)> writeAt =
        WriteAt;
    std::function<IoError(FileHandle)> sync = SyncFile;
    std::function<FileLook(FileHandle, const QString&)> lookAt = LookAt;
};
extern RomFileHooks RomFileCalls;
