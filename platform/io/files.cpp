#include "platform/io/files.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nv::io {

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool FileDescriptor::close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
}

bool readRegularFile(const std::string& path, std::string& bytes, std::string& why) {
    bytes.clear();
    auto failed = [&](const std::string& reason) {
        why = "cannot read '" + path + "': " + reason;
        bytes.clear();
        return false;
    };
    // Non-blocking, so opening a pipe without a writer does not wait before it is refused.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0)
        return failed(std::generic_category().message(errno));
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        return failed(std::generic_category().message(errno));
    if (!S_ISREG(info.st_mode))
        return failed("it is not a regular file");
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char chunk[65536];
    for (;;) {
        ssize_t got = ::read(file.get(), chunk, sizeof chunk);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return failed(std::generic_category().message(errno));
        }
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

bool writeWholeFile(const std::string& path, std::string_view bytes) {
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.get() < 0)
        return false;
    bool written = writeAll(file.get(), bytes);
    return file.close() && written;
}

}  // namespace nv::io
