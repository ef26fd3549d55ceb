// Readable files on POSIX systems, for the native build.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "bytes/readable_file.h"

namespace {

class PosixFile final : public ReadableFile {
public:
    PosixFile(int fd, FileStamp stamp) : fd_(fd), stamp_(stamp) {}
    ~PosixFile() override { ::close(fd_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    FileStamp stamp() const override { return stamp_; }

    std::size_t readAt(std::int64_t offset, std::uint8_t* into, std::size_t count) override {
        std::size_t got = 0;
        while (got < count) {
            const ssize_t n = ::pread(fd_, into + got, count - got, static_cast<off_t>(offset + static_cast<std::int64_t>(got)));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        return got;
    }

private:
    int fd_;
    FileStamp stamp_;
};

}  // namespace

std::unique_ptr<ReadableFile> openReadableFile(const AnsiText& path) {
    if (isEmptyText(path)) return nullptr;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    const std::int64_t lastWrite = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return std::make_unique<PosixFile>(fd, FileStamp{static_cast<std::int64_t>(info.st_size), lastWrite});
}
