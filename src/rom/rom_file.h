#pragma once
// The few calls to the operating system that RomFileStream makes, one implementation per system
// (rom_file_posix.cpp, rom_file_windows.cpp; the build picks one). Everything above this layer
// is the same on every system.
//
// What every implementation promises: AttachFile opens an existing regular file for reading and
// writing, never creating, truncating or growing it, and holds its lock so that a second editor
// cannot attach it (Linux: an advisory lock; Windows: a share mode that keeps every other writer
// out); it refuses anything else and says why.

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

AttachResult AttachFile(const QString& path);
void DetachFile(FileHandle file); // also gives up the lock

// Reads up to `size` bytes at `offset`; returns how many were read, 0 at the end of the file.
std::size_t ReadAt(FileHandle file, std::uint64_t offset, std::uint8_t* buffer, std::size_t size);

// Writes `size` bytes at `offset`; returns how many were written before a failure.
std::size_t WriteAt(FileHandle file, std::uint64_t offset, const std::uint8_t* bytes,
                    std::size_t size);

// Asks the system to put the file's data on the storage device; false when it could not.
bool SyncFile(FileHandle file);

// The attached file's size while `path` still names that very file, or -1: it was deleted,
// renamed or replaced by another file meanwhile.
std::int64_t SizeIfStillAt(FileHandle file, const QString& path);

// Stand-ins that tests set to play a device that fails, or a file changed while a call runs;
// when empty, the system's own call is made.
struct RomFileHooks {
    std::function<std::size_t(FileHandle, std::uint64_t, const std::uint8_t*, std::size_t)> writeAt;
    std::function<bool(FileHandle)> sync;
};
extern RomFileHooks RomFileTestHooks;
