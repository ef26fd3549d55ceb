// saveFile on POSIX systems: a new file beside the target, written, flushed, and renamed over it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

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

}  // namespace

bool saveFile(const AnsiText& path, std::span<const ByteSpan> pieces) {
    if (isEmptyText(path)) return false;
    const Target target = targetOf(path);
    if (target.path.empty()) return false;
    const std::string temporary = target.path + "." + std::to_string(::getpid()) + ".lexpatch-tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    // A replaced file keeps its permissions (an executable stays executable); a new one gets the umask's.
    bool written = !target.exists || ::fchmod(fd, target.mode) == 0;
    StreamingWriter writer(fd);
    for (const ByteSpan& piece : pieces) written = written && writer.write(piece);
    written = written && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (written && ::rename(temporary.c_str(), target.path.c_str()) == 0) {
        flushFolderOf(target.path);
        return true;
    }
    ::unlink(temporary.c_str());
    return false;
}
