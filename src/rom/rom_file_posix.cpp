// The ROM file on Linux and other POSIX systems: pread and pwrite at explicit offsets, fsync, and
// both kinds of advisory lock held while the file is attached: an exclusive flock, and a write
// lock over the whole file through fcntl (one of the open file, not of the process), which is the
// kind that lockf and fcntl callers take. The two kinds do not see each other, so a program that
// takes either is kept out, and keeps the editor out.

#include "rom/rom_file.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

AttachError ErrorOfOpen(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return AttachError::NoSuchFile;
    case EISDIR: // a folder put at the name after the look
        return AttachError::NotRegularFile;
    case EACCES:
    case EPERM: // an immutable file
    case EROFS:
        return AttachError::NotWritable;
    case ETXTBSY:     // a program running from it
    case EWOULDBLOCK: // a lease another program holds (a file server's, say)
        return AttachError::InUse;
    default:
        return AttachError::SystemError;
    }
}

IoError ErrorOfIo(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: // the process's file-size limit
        return IoError::DeviceFull;
    case EIO:
    case ENXIO: // the device is gone
    case ENODEV:
    case EROFS: // remounted read-only after the device's errors
        return IoError::DeviceError;
    default:
        return IoError::SystemError;
    }
}

AttachResult Refused(int fd, AttachError error) {
    if (fd >= 0)
        ::close(fd);
    return {NoFile, error};
}

} // namespace

AttachResult AttachFile(const QString& path) {
    if (path.isEmpty())
        return {NoFile, AttachError::NoSuchFile};
    const QByteArray name = QFile::encodeName(path);
    // Refuse FIFOs, devices and directories before opening them: opening some devices has side
    // effects, and reading a FIFO would wait for a writer forever. The look only guards against
    // what stands at the name when the user chose it: another program may put something else
    // there before the open. O_NONBLOCK keeps a FIFO put there from blocking the open, a folder
    // fails it (EISDIR), and what was opened is judged again below; a device's open cannot be
    // taken back.
    struct stat info {};
    if (::stat(name.constData(), &info) != 0)
        return Refused(-1, ErrorOfOpen(errno));
    if (!S_ISREG(info.st_mode))
        return Refused(-1, AttachError::NotRegularFile);
    int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Refused(-1, ErrorOfOpen(errno));
    // The name may have been replaced between the two looks; judge what was really opened.
    if (::fstat(fd, &info) != 0 || ::fcntl(fd, F_SETFL, 0) != 0)
        return Refused(fd, AttachError::SystemError);
    if (!S_ISREG(info.st_mode))
        return Refused(fd, AttachError::NotRegularFile);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return Refused(fd, errno == EWOULDBLOCK ? AttachError::InUse : AttachError::SystemError);
    // Where the file system has no such locks (EINVAL, or ENOLCK on some network file systems),
    // flock alone keeps other editors out: the file is not refused for that.
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &whole) != 0 && (errno == EAGAIN || errno == EACCES))
        return Refused(fd, AttachError::InUse);
    // A write across the process's file-size limit must fail (EFBIG) and be reported, not end
    // the program with SIGXFSZ.
    std::signal(SIGXFSZ, SIG_IGN);
    return {fd, AttachError::None};
}

void DetachFile(FileHandle file) {
    ::close(static_cast<int>(file));
}

IoResult ReadAt(FileHandle file, std::uint64_t offset, std::uint8_t* buffer, std::size_t size) {
    ssize_t got;
    do {
        got = ::pread(static_cast<int>(file), buffer, size, static_cast<off_t>(offset));
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        return {0, ErrorOfIo(errno)};
    return {static_cast<std::size_t>(got), IoError::None};
}

IoResult WriteAt(FileHandle file, std::uint64_t offset, const std::uint8_t* bytes,
                 std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        ssize_t wrote = ::pwrite(static_cast<int>(file), bytes + done, size - done,
                                 static_cast<off_t>(offset + done));
        if (wrote > 0)
            done += static_cast<std::size_t>(wrote);
        else if (wrote == 0) // nothing written and nothing said: never taken as done
            return {done, IoError::SystemError};
        else if (errno != EINTR)
            return {done, ErrorOfIo(errno)};
    }
    return {done, IoError::None};
}

std::uint64_t FileSizeLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return UINT64_MAX;
    return limit.rlim_cur;
}

IoError SyncFile(FileHandle file) {
    return ::fsync(static_cast<int>(file)) == 0 ? IoError::None : ErrorOfIo(errno);
}

FileLook LookAt(FileHandle file, const QString& path) {
    struct stat attached {
    }, atPath{};
    if (::fstat(static_cast<int>(file), &attached) != 0)
        return {-1, ErrorOfIo(errno)};
    if (::stat(QFile::encodeName(path).constData(), &atPath) != 0)
        return {-1, errno == ENOENT || errno == ENOTDIR ? IoError::FileChanged : ErrorOfIo(errno)};
    if (atPath.st_dev != attached.st_dev || atPath.st_ino != attached.st_ino)
        return {-1, IoError::FileChanged};
    return {attached.st_size, IoError::None};
}
