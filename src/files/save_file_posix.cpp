// saveFile on POSIX systems: a new file beside the target, written, flushed, and renamed over it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/save_file.h"

namespace {

struct Target {
    std::string path;  // empty: the file cannot be replaced
    bool exists = false;
    mode_t mode = 0;  // the permissions of an existing file
};

// The file that receives the content: the target itself, or the file that a symbolic link at
// the target names (renaming over the link would replace the link, not its file). An existing
// target must be a regular file that we can open for writing and that is not read-only (no
// write permission for anyone), which also holds for root, as the read-only attribute does on
// Windows.
Target targetOf(const AnsiText& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {errno == ENOENT ? std::string(path.view()) : std::string()};
    if (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0) return {};
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return {};
    ::close(fd);
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return {};
    return {resolved, true, static_cast<mode_t>(info.st_mode & 07777)};
}

// Writes the pieces in turn and starts the write-back of every whole step as soon as it is
// written, so that the disk works while the rest is written and the final fsync waits only for
// the tail. Starting the write-back is a hint: a failure shows up in fsync.
class StreamingWriter {
public:
    explicit StreamingWriter(int fd) : fd_(fd) {}

    bool write(const ByteSpan& piece) {
        std::size_t done = 0;
        while (done < piece.size) {
            const std::size_t size = std::min(piece.size - done, static_cast<std::size_t>(step));
            const ssize_t n = ::write(fd_, piece.data + done, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
            written_ += n;
            if (written_ - started_ >= step) {
                const off_t end = written_ - written_ % step;
                ::sync_file_range(fd_, started_, end - started_, SYNC_FILE_RANGE_WRITE);
                started_ = end;
            }
        }
        return true;
    }

private:
    static constexpr off_t step = 8 << 20;
    int fd_;
    off_t written_ = 0;
    off_t started_ = 0;
};

// Makes the rename itself durable; a folder that cannot be flushed does not undo the save.
void flushFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}


// What a reader of the open file sees of its version.
bool stampOf(int fd, FileStamp& stamp) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    stamp = {static_cast<std::int64_t>(info.st_size),
             static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
    return true;
}

// Copies `size` bytes of `from` to the start of `to` through one reused buffer.
bool copyThroughBuffer(int from, int to, off_t done, off_t size) {
    std::vector<std::uint8_t> buffer(std::size_t{4} << 20);
    while (done < size) {
        const std::size_t wanted = static_cast<std::size_t>(std::min<off_t>(size - done, static_cast<off_t>(buffer.size())));
        const ssize_t n = ::pread(from, buffer.data(), wanted, done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        std::size_t written = 0;
        while (written < static_cast<std::size_t>(n)) {
            const ssize_t w = ::pwrite(to, buffer.data() + written, static_cast<std::size_t>(n) - written, done + static_cast<off_t>(written));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return false;
            written += static_cast<std::size_t>(w);
        }
        done += n;
    }
    return true;
}

// Copies the first `size` bytes of `from` to `to`. The kernel copies them where it can, in
// steps whose write-back starts at once, so that the final fsync waits only for the tail; file
// systems that cannot copy between the two files get the buffer.
bool copyFile(int from, int to, off_t size) {
    constexpr off_t step = 8 << 20;
    off_t done = 0;
    while (done < size) {
        off_t in = done;
        off_t out = done;
        const ssize_t n = ::copy_file_range(from, &in, to, &out, static_cast<std::size_t>(std::min(step, size - done)), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
            return copyThroughBuffer(from, to, done, size);
        }
        if (n <= 0) return false;  // a read error, or the source ended early
        ::sync_file_range(to, done, n, SYNC_FILE_RANGE_WRITE);
        done += n;
    }
    return true;
}

bool writeBlocks(int fd, std::span<const PatchBlock> blocks) {
    for (const PatchBlock& block : blocks) {
        std::size_t written = 0;
        while (written < block.bytes.size) {
            const ssize_t n = ::pwrite(fd, block.bytes.data + written, block.bytes.size - written,
                                       static_cast<off_t>(block.offset) + static_cast<off_t>(written));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            written += static_cast<std::size_t>(n);
        }
    }
    return true;
}

// Gives the target the content that `write` puts into a new file beside it, all or nothing.
template <class Write>
bool replaceAtomically(const AnsiText& path, Write write) {
    if (isEmptyText(path)) return false;
    const Target target = targetOf(path);
    if (target.path.empty()) return false;
    const std::string temporary = target.path + "." + std::to_string(::getpid()) + ".lexpatch-tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    // A replaced file keeps its permissions (an executable stays executable); a new one gets the umask's.
    bool written = !target.exists || ::fchmod(fd, target.mode) == 0;
    written = written && write(fd);
    written = written && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (written && ::rename(temporary.c_str(), target.path.c_str()) == 0) {
        flushFolderOf(target.path);
        return true;
    }
    ::unlink(temporary.c_str());
    return false;
}

}  // namespace

bool saveFile(const AnsiText& path, std::span<const ByteSpan> pieces) {
    return replaceAtomically(path, [&](int fd) {
        StreamingWriter writer(fd);
        for (const ByteSpan& piece : pieces) {
            if (!writer.write(piece)) return false;
        }
        return true;
    });
}

bool savePatchedCopy(const AnsiText& target, const AnsiText& source, const FileStamp& measured,
                     std::span<const PatchBlock> blocks) {
    if (isEmptyText(source)) return false;
    const int from = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) return false;
    FileStamp before;
    const bool saved = stampOf(from, before) && before == measured && replaceAtomically(target, [&](int to) {
        FileStamp after;
        // A source that changed while it was copied would mix two versions.
        return copyFile(from, to, static_cast<off_t>(measured.size)) && stampOf(from, after) && after == measured &&
               writeBlocks(to, blocks);
    });
    ::close(from);
    return saved;
}
