#include "rom/rom_stream.h"

#include <algorithm>

RomFileHooks RomFileCalls;

namespace {

StreamFailure FailureOf(IoError error) {
    switch (error) {
    case IoError::None:
        return StreamFailure::None;
    case IoError::FileChanged:
        return StreamFailure::FileChanged;
    case IoError::DeviceFull:
        return StreamFailure::DeviceFull;
    case IoError::DeviceError:
        return StreamFailure::DeviceError;
    case IoError::SystemError:
        break;
    }
    return StreamFailure::SystemError;
}

} // namespace

RomFileStream::~RomFileStream() {
    if (is_open())
        close();
}

void RomFileStream::open(const QString& path) {
    if (is_open())
        detach();
    position_ = 0;
    bytesWritten_ = 0;
    path_ = path;
    failure_ = StreamFailure::None;
    const AttachResult attached = AttachFile(path);
    file_ = attached.handle;
    attachError_ = attached.error;
    // Without the size it had when attached, no save could ever be judged: refuse the file now
    // rather than take one that can never be saved.
    const FileLook look = is_open() ? RomFileCalls.lookAt(file_, path_) : FileLook{};
    attachedSize_ = look.size;
    if (is_open() && look.error != IoError::None) {
        detach();
        attachError_ = AttachError::SystemError;
    }
    if (!is_open())
        failure_ = StreamFailure::NotAttached;
}

void RomFileStream::close() {
    if (!is_open()) {
        failure_ = StreamFailure::NotAttached;
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
    unsynced_.clear();
}

void RomFileStream::clear() {
    if (!is_open())
        return;
    failure_ = StreamFailure::None;
    bytesWritten_ = 0;
}

void RomFileStream::setFailure(IoError error) {
    failure_ = FailureOf(error);
}

void RomFileStream::seekg(std::uint64_t offset, std::size_t window) {
    writePending();
    position_ = offset;
    windowEnd_ = offset + window;
}

void RomFileStream::seekp(std::uint64_t offset) {
    if (fail())
        return;
    writePending();
    position_ = offset;
}

int RomFileStream::get() {
    if (!is_open())
        failure_ = StreamFailure::NotAttached;
    if (fail())
        return EndOfFile;
    bool buffered = position_ >= readStart_ && position_ < readStart_ + readBuffer_.size();
    if (!buffered && !fillReadBuffer())
        return EndOfFile;
    const std::uint8_t byte = readBuffer_[position_ - readStart_];
    seen_[position_++] = byte;
    return byte;
}

// Reads what is left of the announced run in one call, or one byte past it. False, with the
// failure state set, when nothing could be read at the position: the end of the file, or a read
// error, which is not the end of anything.
bool RomFileStream::fillReadBuffer() {
    writePending();
    readBuffer_.resize(std::max<std::uint64_t>(windowEnd_ - std::min(windowEnd_, position_), 1));
    readStart_ = position_;
    const IoResult read =
        RomFileCalls.readAt(file_, position_, readBuffer_.data(), readBuffer_.size());
    readBuffer_.resize(read.error == IoError::None ? read.count : 0);
    if (readBuffer_.empty())
        failure_ = read.error == IoError::None ? StreamFailure::EndReached : FailureOf(read.error);
    return !readBuffer_.empty();
}

void RomFileStream::put(std::uint8_t byte) {
    if (!is_open())
        failure_ = StreamFailure::NotAttached;
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
        const IoResult wrote =
            RomFileCalls.writeAt(file_, pendingStart_, pending_.data(), pending_.size());
        bytesWritten_ += wrote.count;
        // Until a good sync, each byte may hold its durable value or any the editor wrote since: a
        // write that fails may have written more than it reported, and a device whose sync fails
        // may drop all it was given since the last good sync. A retry takes none of them for
        // another program's.
        for (std::size_t i = 0; i < pending_.size(); ++i) {
            std::vector<std::uint8_t>& written = unsynced_[pendingStart_ + i];
            std::erase(written, pending_[i]); // each value once, the last written at the back
            written.push_back(pending_[i]);
        }
        if (wrote.count < pending_.size())
            setFailure(wrote.error == IoError::None ? IoError::SystemError : wrote.error);
    }
    pending_.clear();
}

// Nothing is written over a byte the editor never saw (the file ended before it), nor across the
// file-size limit (which would stop the write part-way, a record torn), nor into a file that is
// no longer the one attached (moved, replaced, cut or grown), nor into one whose bytes another
// program changed since they were read.
StreamFailure RomFileStream::checkBeforeWrite() {
    for (std::size_t i = 0; i < pending_.size(); ++i)
        if (!seen_.contains(pendingStart_ + i))
            return StreamFailure::NotSeen;
    if (pendingStart_ + pending_.size() > FileSizeLimit())
        return StreamFailure::DeviceFull;
    return fileAsSeen();
}

void RomFileStream::flush() {
    if (!is_open()) {
        failure_ = StreamFailure::NotAttached;
        return;
    }
    writePending();
    if (!fail())
        setFailure(RomFileCalls.sync(file_));
    if (fail())
        return;
    // Only now does the device have the editor's bytes, each the last one written at its place:
    // from now on the file must hold them. The file may have been cut, moved, replaced or written
    // to by another program while the write or the sync ran: look again, and read the seen bytes
    // again.
    for (const auto& [at, written] : unsynced_)
        seen_[at] = written.back();
    unsynced_.clear();
    failure_ = fileAsSeen();
}

// Still the file at the path, of its size, holding the bytes the editor saw: checked before a
// write and again after the sync.
StreamFailure RomFileStream::fileAsSeen() const {
    const StreamFailure unchanged = fileUnchanged();
    return unchanged == StreamFailure::None ? seenBytesUnchanged() : unchanged;
}

// Data saved into a file that was deleted, moved away from the name the user chose, or changed
// in size by another program is not where, or not what, the user will look for.
StreamFailure RomFileStream::fileUnchanged() const {
    const FileLook look = RomFileCalls.lookAt(file_, path_);
    if (look.error != IoError::None)
        return FailureOf(look.error);
    return look.size == attachedSize_ ? StreamFailure::None : StreamFailure::FileChanged;
}

// Reads every run of seen bytes again (the game code, the chart) and compares. A byte may also
// hold any value the editor wrote since the last good sync; finding one there proves nothing
// about the device, so it changes nothing of what the byte is expected to hold.
StreamFailure RomFileStream::seenBytesUnchanged() const {
    auto byte = seen_.begin();
    while (byte != seen_.end()) {
        const std::uint64_t start = byte->first;
        std::vector<std::uint8_t> expected;
        for (; byte != seen_.end() && byte->first == start + expected.size(); ++byte)
            expected.push_back(byte->second);
        std::vector<std::uint8_t> now(expected.size());
        const IoResult read = readFully(start, now);
        if (read.error != IoError::None)
            return FailureOf(read.error);
        if (read.count != now.size())
            return StreamFailure::FileChanged;
        for (std::size_t i = 0; i < now.size(); ++i)
            if (now[i] != expected[i] && !wroteSinceSync(start + i, now[i]))
                return StreamFailure::FileChanged;
    }
    return StreamFailure::None;
}

bool RomFileStream::wroteSinceSync(std::uint64_t at, std::uint8_t byte) const {
    const auto written = unsynced_.find(at);
    return written != unsynced_.end() &&
           std::find(written->second.begin(), written->second.end(), byte) != written->second.end();
}

IoResult RomFileStream::readFully(std::uint64_t offset, std::vector<std::uint8_t>& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const IoResult read =
            RomFileCalls.readAt(file_, offset + done, bytes.data() + done, bytes.size() - done);
        if (read.error != IoError::None || read.count == 0)
            return {done, read.error};
        done += read.count;
    }
    return {done, IoError::None};
}
