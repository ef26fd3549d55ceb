// readWholeFile on POSIX systems, for the native build.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "bytes/byte_buffer.h"

ByteBuffer readWholeFile(const AnsiText& path) {
    if (isEmptyText(path)) return ByteBuffer();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return ByteBuffer();
    ByteBuffer content;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
        info.st_size <= std::numeric_limits<std::int32_t>::max()) {
        content = ByteBuffer::uninitialized(static_cast<std::int32_t>(info.st_size));
        // One request for the whole size, as on Windows; read() may deliver it in pieces.
        std::int32_t got = 0;
        while (got < content.size()) {
            const ssize_t n = ::read(fd, content.data() + got, static_cast<std::size_t>(content.size() - got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && got == 0) {
                content = ByteBuffer();
                break;
            }
            if (n <= 0) break;
            got += static_cast<std::int32_t>(n);
        }
        content.shrinkTo(got);
    }
    ::close(fd);
    return content;
}
