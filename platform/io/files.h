// Whole-file reads and writes on POSIX descriptors, shared by the DOM and the SOAP stand-in
// (internal to the platform library).
#pragma once

#include <string>
#include <string_view>

namespace nv::io {

// Closes the descriptor it was given.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting whether the data reached the file.
    bool close();

  private:
    int fd_;
};

// Reads a regular file; anything else (a folder, a device, a pipe) is refused so a read always
// ends. On failure `why` names the path and the reason.
bool readRegularFile(const std::string& path, std::string& bytes, std::string& why);

// Writes all of `bytes` to `fd`, resuming after interruptions; false with errno set.
bool writeAll(int fd, std::string_view bytes);

// Creates or truncates `path` and writes `bytes` to it.
bool writeWholeFile(const std::string& path, std::string_view bytes);

}  // namespace nv::io
