#include "rom/rom_stream.h"

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
    path_ = path;
    const AttachResult attached = AttachFile(path);
    file_ = attached.handle;
    attachError_ = attached.error;
    failed_ = !is_open();
    attachedSize_ = is_open() ? SizeIfStillAt(file_, path_) : -1;
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
    if (is_open())
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
        failed_ = true;
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
    // Write nothing past the end, which would grow the file, and nothing into a file that is no
    // longer the one attached: moved, replaced, or cut or grown behind the editor's back. A write
    // that fails part-way leaves the bytes after the failing one unwritten.
    const auto end = static_cast<std::int64_t>(pendingStart_ + pending_.size());
    if (!failed_ && end <= attachedSize_ && fileUnchanged())
        failed_ = Write(file_, pendingStart_, pending_.data(), pending_.size()) != pending_.size();
    else
        failed_ = true;
    pending_.clear();
}

void RomFileStream::flush() {
    if (!is_open()) {
        failed_ = true;
        return;
    }
    writePending();
    // The file may have been cut, moved or replaced while the write or the sync ran: look again.
    if (!failed_ && !(Sync(file_) && fileUnchanged()))
        failed_ = true;
}

// Data saved into a file that was deleted, moved away from the name the user chose, or changed
// in size by another program is not where, or not what, the user will look for.
bool RomFileStream::fileUnchanged() const {
    return attachedSize_ >= 0 && SizeIfStillAt(file_, path_) == attachedSize_;
}
