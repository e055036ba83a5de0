#include "rom/rom_stream.h"

#include <algorithm>

namespace {

constexpr std::size_t ReadAhead = 512; // covers the game code, or the chart and its terminator

IoResult Read(FileHandle file, std::uint64_t offset, std::uint8_t* buffer, std::size_t size) {
    return RomFileTestHooks.readAt ? RomFileTestHooks.readAt(file, offset, buffer, size)
                                   : ReadAt(file, offset, buffer, size);
}

IoResult Write(FileHandle file, std::uint64_t offset, const std::uint8_t* bytes, std::size_t size) {
    return RomFileTestHooks.writeAt ? RomFileTestHooks.writeAt(file, offset, bytes, size)
                                    : WriteAt(file, offset, bytes, size);
}

IoError Sync(FileHandle file) {
    return RomFileTestHooks.sync ? RomFileTestHooks.sync(file) : SyncFile(file);
}

FileLook Look(FileHandle file, const QString& path) {
    return RomFileTestHooks.lookAt ? RomFileTestHooks.lookAt(file, path) : LookAt(file, path);
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
    failure_ = IoError::None;
    const AttachResult attached = AttachFile(path);
    file_ = attached.handle;
    attachError_ = attached.error;
    // Without the size it had when attached, no save could ever be judged: refuse the file now
    // rather than take one that can never be saved.
    const FileLook look = is_open() ? Look(file_, path_) : FileLook{};
    attachedSize_ = look.size;
    if (is_open() && look.error != IoError::None) {
        detach();
        attachError_ = AttachError::SystemError;
    }
    if (!is_open())
        failure_ = IoError::NotAttached;
}

void RomFileStream::close() {
    if (!is_open()) {
        failure_ = IoError::NotAttached;
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
    seen_.clear();
    unconfirmed_.clear();
}

void RomFileStream::clear() {
    if (is_open())
        failure_ = IoError::None;
}

void RomFileStream::seekg(std::uint64_t offset) {
    writePending();
    position_ = offset;
}

void RomFileStream::seekp(std::uint64_t offset) {
    if (fail())
        return;
    writePending();
    position_ = offset;
}

int RomFileStream::get() {
    if (!is_open())
        failure_ = IoError::NotAttached;
    if (fail())
        return EndOfFile;
    bool buffered = position_ >= readStart_ && position_ < readStart_ + readBuffer_.size();
    if (!buffered && !fillReadBuffer())
        return EndOfFile;
    const std::uint8_t byte = readBuffer_[position_ - readStart_];
    seen_[position_++] = byte;
    return byte;
}

// False, with the failure state set, when nothing could be read at the position: the end of the
// file, or a read error, which is not the end of anything.
bool RomFileStream::fillReadBuffer() {
    writePending();
    readBuffer_.resize(ReadAhead);
    readStart_ = position_;
    const IoResult read = Read(file_, position_, readBuffer_.data(), ReadAhead);
    readBuffer_.resize(read.error == IoError::None ? read.count : 0);
    if (readBuffer_.empty())
        failure_ = read.error == IoError::None ? IoError::EndOfFile : read.error;
    return !readBuffer_.empty();
}

void RomFileStream::put(std::uint8_t byte) {
    if (!is_open())
        failure_ = IoError::NotAttached;
    if (fail())
        return;
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
    if (!fail())
        failure_ = checkBeforeWrite();
    if (!fail()) {
        // A write that fails part-way leaves the bytes after the failing one unwritten; those the
        // system reported written are the file's bytes now, so a retry does not take them for
        // another program's.
        const IoResult wrote = Write(file_, pendingStart_, pending_.data(), pending_.size());
        for (std::size_t i = 0; i < pending_.size(); ++i) {
            const std::uint64_t at = pendingStart_ + i;
            if (i < wrote.count) {
                seen_[at] = pending_[i];
                unconfirmed_.erase(at);
            } else {
                unconfirmed_[at] = pending_[i];
            }
        }
        if (wrote.count < pending_.size())
            failure_ = wrote.error == IoError::None ? IoError::SystemError : wrote.error;
    }
    pending_.clear();
}

// Nothing is written over a byte the editor never saw (the file ended before it), nor into a file
// that is no longer the one attached (moved, replaced, cut or grown), nor into one whose bytes
// another program changed since they were read.
IoError RomFileStream::checkBeforeWrite() {
    for (std::size_t i = 0; i < pending_.size(); ++i)
        if (!seen_.contains(pendingStart_ + i))
            return IoError::NotSeen;
    return fileAsSeen();
}

void RomFileStream::flush() {
    if (!is_open()) {
        failure_ = IoError::NotAttached;
        return;
    }
    writePending();
    // The file may have been cut, moved, replaced or written to by another program while the
    // write or the sync ran: look again, and read the seen bytes again.
    if (!fail())
        failure_ = Sync(file_);
    if (!fail())
        failure_ = fileAsSeen();
}

// Still the file at the path, of its size, holding the bytes the editor saw: checked before a
// write and again after the sync.
IoError RomFileStream::fileAsSeen() {
    const IoError unchanged = fileUnchanged();
    return unchanged == IoError::None ? seenBytesUnchanged() : unchanged;
}

// Data saved into a file that was deleted, moved away from the name the user chose, or changed
// in size by another program is not where, or not what, the user will look for.
IoError RomFileStream::fileUnchanged() const {
    const FileLook look = Look(file_, path_);
    if (look.error != IoError::None)
        return look.error;
    return look.size == attachedSize_ ? IoError::None : IoError::FileChanged;
}

// Reads every run of seen bytes again (the game code, the chart) and compares. Where a failed
// write may have left its own byte, that byte is taken as seen.
IoError RomFileStream::seenBytesUnchanged() {
    auto byte = seen_.begin();
    while (byte != seen_.end()) {
        const std::uint64_t start = byte->first;
        std::vector<std::uint8_t> expected;
        for (; byte != seen_.end() && byte->first == start + expected.size(); ++byte)
            expected.push_back(byte->second);
        std::vector<std::uint8_t> now(expected.size());
        const IoResult read = readFully(start, now);
        if (read.error != IoError::None)
            return read.error;
        if (read.count != now.size())
            return IoError::FileChanged;
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (now[i] == expected[i])
                continue;
            const auto attempted = unconfirmed_.find(start + i);
            if (attempted == unconfirmed_.end() || attempted->second != now[i])
                return IoError::FileChanged;
            seen_[start + i] = now[i];
            unconfirmed_.erase(attempted);
        }
    }
    return IoError::None;
}

IoResult RomFileStream::readFully(std::uint64_t offset, std::vector<std::uint8_t>& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const IoResult read = Read(file_, offset + done, bytes.data() + done, bytes.size() - done);
        if (read.error != IoError::None || read.count == 0)
            return {done, read.error};
        done += read.count;
    }
    return {done, IoError::None};
}
