// The ROM file on Windows: ReadFile and WriteFile at explicit offsets, FlushFileBuffers, and a
// share mode that lets other programs read the image but neither write, cut, rename nor delete
// it while it is attached. A second editor, which asks to write, is refused by the system.

#include "rom/rom_file.h"

#include <QDir>

#include <windows.h>

#include <algorithm>

namespace {

HANDLE Handle(FileHandle file) {
    return reinterpret_cast<HANDLE>(file);
}

// The name handed to the system: the full path with the \\?\ prefix (\\?\UNC\ for a
// \\server\share path), so that a path over 260 characters opens even where the system's
// long-path switch is off. Behind that prefix the system takes the name literally, so it is first
// made whole and clean as the system would make it (separators, "." and "..", a relative name,
// trailing dots and spaces). Device names (\\.\) and names already prefixed pass unchanged.
std::wstring NativeName(const QString& path) {
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    if (name.empty() || name.starts_with(LR"(\\?\)") || name.starts_with(LR"(\\.\)"))
        return name;
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(name.c_str(), DWORD(full.size()), full.data(), nullptr);
    if (length > full.size()) { // too small: length counts the terminating null
        full.resize(length);
        length = GetFullPathNameW(name.c_str(), DWORD(full.size()), full.data(), nullptr);
    }
    if (length == 0 || length >= full.size()) // not a path the system can complete
        return name;
    full.resize(length);
    if (full.starts_with(LR"(\\.\)")) // a device such as NUL
        return full;
    if (full.starts_with(LR"(\\)"))
        return LR"(\\?\UNC\)" + full.substr(2);
    return LR"(\\?\)" + full;
}

AttachError ErrorOfOpen(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return AttachError::NoSuchFile;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return AttachError::NotWritable;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return AttachError::InUse;
    default:
        return AttachError::SystemError;
    }
}

// Codes the system has that mingw-w64's headers lack.
constexpr DWORD DiskQuotaExceeded = 1295;     // ERROR_DISK_QUOTA_EXCEEDED
constexpr DWORD DiskResourcesExhausted = 314; // ERROR_DISK_RESOURCES_EXHAUSTED
constexpr DWORD NoSuchDevice = 433;           // ERROR_NO_SUCH_DEVICE
constexpr DWORD DeviceHardwareError = 483;    // ERROR_DEVICE_HARDWARE_ERROR

// Only codes that plainly say the storage is full, or that the device failed or is gone, get
// those reasons; every other code is the system's error, not a guess at its cause.
IoError ErrorOfIo(DWORD error) {
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case DiskQuotaExceeded:
    case DiskResourcesExhausted: // a thinly provisioned disk out of space
    case ERROR_FILE_TOO_LARGE:
        return IoError::DeviceFull;
    case ERROR_GEN_FAILURE: // "a device attached to the system is not functioning": how a
                            // failing or vanished drive often reports itself
    case ERROR_IO_DEVICE:
    case ERROR_CRC:
    case ERROR_SEEK:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case DeviceHardwareError:
    case ERROR_DISK_OPERATION_FAILED:
    case ERROR_NOT_READY:
    case ERROR_NO_MEDIA_IN_DRIVE:
    case ERROR_MEDIA_CHANGED:
    case ERROR_WRONG_DISK:
    case ERROR_UNRECOGNIZED_MEDIA:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_NOT_AVAILABLE:
    case ERROR_DEVICE_REMOVED:
    case ERROR_FILE_INVALID: // the volume changed under the open file
    case NoSuchDevice:
        return IoError::DeviceError;
    default:
        return IoError::SystemError;
    }
}

// ReadFile and WriteFile count in a DWORD: a larger request goes in pieces of at most that, so
// that no count is ever cut short unseen.
DWORD Piece(std::size_t size) {
    return static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD));
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

// Which file a handle leads to: its volume and its identifier there. FILE_ID_INFO's 128 bits,
// because the 64-bit file index is not unique on ReFS. A file system that does not know that class
// (an older driver, or a share's older protocol) refuses it as an unknown class or request; it has
// only the 64-bit index, which is then unique there. On failure GetLastError tells why.
bool Identify(HANDLE file, FILE_ID_INFO& id) {
    if (GetFileInformationByHandleEx(file, FileIdInfo, &id, sizeof id))
        return true;
    const DWORD error = GetLastError();
    const bool unknownClass = error == ERROR_INVALID_PARAMETER || error == ERROR_INVALID_FUNCTION ||
                              error == ERROR_NOT_SUPPORTED;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!unknownClass || !GetFileInformationByHandle(file, &info))
        return false;
    id = {};
    id.VolumeSerialNumber = info.dwVolumeSerialNumber;
    const std::uint64_t index = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    std::copy_n(reinterpret_cast<const BYTE*>(&index), sizeof index, id.FileId.Identifier);
    return true;
}

bool SameFile(const FILE_ID_INFO& one, const FILE_ID_INFO& other) {
    return one.VolumeSerialNumber == other.VolumeSerialNumber &&
           std::equal(std::begin(one.FileId.Identifier), std::end(one.FileId.Identifier),
                      std::begin(other.FileId.Identifier));
}

} // namespace

AttachResult AttachFile(const QString& path) {
    if (path.isEmpty())
        return {NoFile, AttachError::NoSuchFile};
    const std::wstring name = NativeName(path);
    // A folder cannot be opened as a file at all, and would read as "access denied".
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {NoFile, ErrorOfOpen(GetLastError())};
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return {NoFile, AttachError::NotRegularFile};
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {NoFile, ErrorOfOpen(GetLastError())};
    // GetFileType answers "unknown" both for a device of no known type and when it could not ask;
    // only the error it sets tells the two apart, and it sets none on success, hence the reset.
    // A failure gets the reason its code names; only a real pipe or device is no ordinary file.
    SetLastError(NO_ERROR);
    const DWORD type = GetFileType(file);
    const DWORD typeError = GetLastError();
    if (type != FILE_TYPE_DISK) {
        CloseHandle(file);
        const bool failed = type == FILE_TYPE_UNKNOWN && typeError != NO_ERROR;
        return {NoFile, failed ? ErrorOfOpen(typeError) : AttachError::NotRegularFile};
    }
    return {reinterpret_cast<FileHandle>(file), AttachError::None};
}

void DetachFile(FileHandle file) {
    CloseHandle(Handle(file));
}

IoResult ReadAt(FileHandle file, std::uint64_t offset, std::uint8_t* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) { // one call unless the size is more than a DWORD counts
        OVERLAPPED at = At(offset + done);
        DWORD got = 0;
        const DWORD piece = Piece(size - done);
        if (!ReadFile(Handle(file), buffer + done, piece, &got, &at)) {
            const DWORD error = GetLastError();
            return {done, error == ERROR_HANDLE_EOF ? IoError::None : ErrorOfIo(error)};
        }
        done += got;
        if (got < piece) // the end of the file
            break;
    }
    return {done, IoError::None};
}

IoResult WriteAt(FileHandle file, std::uint64_t offset, const std::uint8_t* bytes,
                 std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        OVERLAPPED at = At(offset + done);
        DWORD wrote = 0;
        if (!WriteFile(Handle(file), bytes + done, Piece(size - done), &wrote, &at))
            return {done + wrote, ErrorOfIo(GetLastError())}; // what it wrote before failing
        if (wrote == 0) // nothing written and nothing said: never taken as done
            return {done, IoError::SystemError};
        done += wrote;
    }
    return {done, IoError::None};
}

std::uint64_t FileSizeLimit() {
    return UINT64_MAX; // Windows sets no file-size limit on a process
}

IoError SyncFile(FileHandle file) {
    return FlushFileBuffers(Handle(file)) ? IoError::None : ErrorOfIo(GetLastError());
}

FileLook LookAt(FileHandle file, const QString& path) {
    FILE_ID_INFO attached{}, named{};
    if (!Identify(Handle(file), attached))
        return {-1, ErrorOfIo(GetLastError())};
    // Asking for no access at all opens whatever the path names, however it is shared.
    HANDLE atPath = CreateFileW(NativeName(path).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (atPath == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const bool gone = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return {-1, gone ? IoError::FileChanged : ErrorOfIo(error)};
    }
    const bool identified = Identify(atPath, named);
    const DWORD error = GetLastError();
    CloseHandle(atPath);
    if (!identified)
        return {-1, ErrorOfIo(error)};
    if (!SameFile(attached, named))
        return {-1, IoError::FileChanged};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(Handle(file), &size))
        return {-1, ErrorOfIo(GetLastError())};
    return {size.QuadPart, IoError::None};
}
