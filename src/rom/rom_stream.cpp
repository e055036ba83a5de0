#include "rom/rom_stream.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t ReadAhead = 512; // covers the game code, or the chart and its terminator

bool IsRegularFile(const struct stat& info) {
    return S_ISREG(info.st_mode);
}

// Opens an existing regular file for reading and writing and locks it, or returns -1.
int AttachRegularFile(const QByteArray& name) {
    // Refuse FIFOs, devices and directories before opening them: opening some devices has side
    // effects, and reading a FIFO would wait for a writer forever.
    struct stat info {};
    if (::stat(name.constData(), &info) != 0 || !IsRegularFile(info))
        return -1;
    int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    // The name may have been replaced between the two looks; judge what was really opened.
    bool usable = ::fstat(fd, &info) == 0 && IsRegularFile(info) && ::fcntl(fd, F_SETFL, 0) == 0 &&
                  ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (!usable) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

RomFileStream::~RomFileStream() {
    if (is_open())
        close();
}

void RomFileStream::open(const QString& path) {
    if (is_open())
        detach();
    readBuffer_.clear();
    pending_.clear();
    position_ = 0;
    path_ = QFile::encodeName(path);
    fd_ = path.isEmpty() ? -1 : AttachRegularFile(path_);
    failed_ = fd_ < 0;
}

void RomFileStream::close() {
    if (!is_open()) {
        failed_ = true;
        return;
    }
    writePending();
    detach();
}

void RomFileStream::detach() {
    ::close(fd_); // also releases the lock
    fd_ = -1;
    readBuffer_.clear();
    pending_.clear();
}

void RomFileStream::seekg(std::uint64_t offset) {
    writePending();
    position_ = offset;
}

void RomFileStream::seekp(std::uint64_t offset) {
    if (failed_)
        return;
    writePending();
    position_ = offset;
}

int RomFileStream::get() {
    if (failed_ || !is_open()) {
        failed_ = true;
        return EndOfFile;
    }
    bool buffered = position_ >= readStart_ && position_ < readStart_ + readBuffer_.size();
    if (!buffered && !fillReadBuffer()) {
        failed_ = true;
        return EndOfFile;
    }
    return readBuffer_[position_++ - readStart_];
}

bool RomFileStream::fillReadBuffer() {
    writePending();
    readBuffer_.resize(ReadAhead);
    readStart_ = position_;
    ssize_t got;
    do {
        got = ::pread(fd_, readBuffer_.data(), ReadAhead, static_cast<off_t>(position_));
    } while (got < 0 && errno == EINTR);
    readBuffer_.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return !readBuffer_.empty();
}

void RomFileStream::put(std::uint8_t byte) {
    if (failed_ || !is_open()) {
        failed_ = true;
        return;
    }
    if (!pending_.empty() && position_ != pendingStart_ + pending_.size())
        writePending();
    if (pending_.empty())
        pendingStart_ = position_;
    pending_.push_back(byte);
    readBuffer_.clear(); // what was read ahead may now be out of date
    ++position_;
}

void RomFileStream::writePending() {
    if (pending_.empty())
        return;
    // Write nothing into a file that is no longer at its path, and nothing past the end, which
    // would grow a file that was cut short behind the editor's back.
    struct stat attached {};
    if (failed_ || !pathStillNamesTheFile(attached) ||
        pendingStart_ + pending_.size() > static_cast<std::uint64_t>(attached.st_size)) {
        failed_ = true;
        pending_.clear();
        return;
    }
    std::size_t done = 0;
    while (done < pending_.size() && !failed_) {
        ssize_t wrote = ::pwrite(fd_, pending_.data() + done, pending_.size() - done,
                                 static_cast<off_t>(pendingStart_ + done));
        if (wrote > 0)
            done += static_cast<std::size_t>(wrote);
        else if (!(wrote < 0 && errno == EINTR))
            failed_ = true; // the bytes after the failing one are not written
    }
    pending_.clear();
}

void RomFileStream::flush() {
    if (!is_open()) {
        failed_ = true;
        return;
    }
    writePending();
    struct stat attached {};
    if (!failed_ && (::fsync(fd_) != 0 || !pathStillNamesTheFile(attached)))
        failed_ = true;
}

// Data saved into a file that was deleted, or moved away from the name the user chose, is not
// where the user will look for it. Leaves the attached file's status in `attached`.
bool RomFileStream::pathStillNamesTheFile(struct stat& attached) const {
    struct stat atPath {};
    return ::fstat(fd_, &attached) == 0 && ::stat(path_.constData(), &atPath) == 0 &&
           atPath.st_dev == attached.st_dev && atPath.st_ino == attached.st_ino;
}
