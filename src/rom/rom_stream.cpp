#include "rom/rom_stream.h"

#include <algorithm>

namespace {

constexpr std::size_t ReadAhead = 512; // covers the game code, or the chart and its terminator

std::size_t Write(FileHandle file, std::uint64_t offset, const std::uint8_t* bytes,
                  std::size_t size) {
    return RomFileTestHooks.writeAt ? RomFileTestHooks.writeAt(file, offset, bytes, size)
                                    : WriteAt(file, offset, bytes, size);
}

bool Sync(FileHandle file) {
    return RomFileTestHooks.sync ? RomFileTestHooks.sync(file) : SyncFile(file);
}

} // namespace

RomFileHooks RomFileTestHooks;

RomFileStream::~RomFileStream() {
    if (is_open())
        close();
}

void RomFileStream::open(const QString& path) {
    if (is_open())
        detach();
    position_ = 0;
    writtenEnd_ = 0;
    metEnd_ = false;
    path_ = path;
    const AttachResult attached = AttachFile(path);
    file_ = attached.handle;
    attachError_ = attached.error;
    failed_ = !is_open();
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
    DetachFile(file_);
    file_ = NoFile;
    readBuffer_.clear();
    pending_.clear();
}

void RomFileStream::clear() {
    if (is_open() && !metEnd_)
        failed_ = false;
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
        failed_ = metEnd_ = true;
        return EndOfFile;
    }
    return readBuffer_[position_++ - readStart_];
}

bool RomFileStream::fillReadBuffer() {
    writePending();
    readBuffer_.resize(ReadAhead);
    readStart_ = position_;
    readBuffer_.resize(ReadAt(file_, position_, readBuffer_.data(), ReadAhead));
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
    const std::uint64_t end = pendingStart_ + pending_.size();
    if (!failed_ && fileStillHolds(end)) {
        // The bytes after a failing one are not written.
        failed_ = Write(file_, pendingStart_, pending_.data(), pending_.size()) != pending_.size();
        writtenEnd_ = std::max(writtenEnd_, end);
    } else {
        failed_ = true;
    }
    pending_.clear();
}

void RomFileStream::flush() {
    if (!is_open()) {
        failed_ = true;
        return;
    }
    writePending();
    // The file may have been cut, moved or replaced while the sync ran: look again afterwards.
    if (!failed_ && !(Sync(file_) && fileStillHolds(writtenEnd_)))
        failed_ = true;
    writtenEnd_ = 0;
}

// Data saved into a file that was deleted, moved away from the name the user chose, or cut short
// is not where the user will look for it.
bool RomFileStream::fileStillHolds(std::uint64_t end) const {
    const std::int64_t size = SizeIfStillAt(file_, path_);
    return size >= 0 && static_cast<std::uint64_t>(size) >= end;
}
