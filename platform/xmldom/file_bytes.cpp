#include "platform/xmldom/file_bytes.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nv::xml::detail {

namespace {

// Closes the descriptor it was given.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting whether buffered writes reached the file.
    bool close() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

std::string failure(const std::string& path, int error) {
    return "cannot read '" + path + "': " + std::generic_category().message(error);
}

}  // namespace

bool readFileBytes(const std::string& path, std::string& bytes, std::string& why) {
    bytes.clear();
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        why = failure(path, errno);
        return false;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) == 0 && info.st_size > 0) {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char chunk[65536];
    for (;;) {
        ssize_t got = ::read(file.get(), chunk, sizeof chunk);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            why = failure(path, errno);
            bytes.clear();
            return false;
        }
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    return true;
}

bool writeFileBytes(const std::string& path, std::string_view bytes) {
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.get() < 0)
        return false;
    while (!bytes.empty()) {
        ssize_t put = ::write(file.get(), bytes.data(), bytes.size());
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    return file.close();
}

}  // namespace nv::xml::detail
