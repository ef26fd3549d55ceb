#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "cli/platform.h"

namespace {

void writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // nowhere left to tell anyone
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

}  // namespace

std::vector<std::string> commandLineArguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

void writeStandardOutput(std::string_view utf8) { writeAll(STDOUT_FILENO, utf8); }

void writeStandardError(std::string_view utf8) { writeAll(STDERR_FILENO, utf8); }

bool standardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

std::optional<AnsiText> systemPath(const std::string& utf8Path) { return AnsiText(utf8Path.c_str()); }

std::string whyUnreadable(const AnsiText& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return errno == ENOENT ? "no such file" : std::strerror(errno);
    if (S_ISDIR(info.st_mode)) return "is a folder";
    if (!S_ISREG(info.st_mode)) return "is not a regular file";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    ::close(fd);
    if (info.st_size > std::numeric_limits<std::int32_t>::max()) return "is 2 GiB or larger, more than a table can be";
    return info.st_size == 0 ? "" : "could not be read";
}
