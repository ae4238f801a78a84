#include "platform/soap/file_io.h"

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/io/files.h"
#include "platform/soap/attachment_id.h"

namespace nv::soap::detail {

namespace {

using nv::io::FileDescriptor;
using nv::io::writeAll;

// Removes the temporary file unless it was renamed into place.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& path() const { return path_; }
    void keep() { path_.clear(); }

  private:
    std::string path_;
};

std::string systemReason(int error) {
    return std::generic_category().message(error);
}

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return path.substr(0, slash + 1);
}

std::string baseNameOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Opens a fresh file next to `path`; mode 0666 so the umask decides, as for any new file.
int createTemporary(const std::string& path, std::string& tempPath) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string id = newAttachmentId();  // random; only its hex digits matter here
        tempPath = folderOf(path) + "." + baseNameOf(path) + "." + id.substr(5, 8) + ".tmp";
        int fd =
            ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// Moves `from` onto `to` only if `to` does not exist. Linux file systems without
// RENAME_NOREPLACE get a hard link instead; the last resort (no hard links either) is a
// plain rename after the existence check the caller already made.
WriteStatus renameNoReplace(const std::string& from, const std::string& to, int& error) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return WriteStatus::Written;
    error = errno;
    if (error == EEXIST)
        return WriteStatus::Exists;
    if (error != EINVAL && error != ENOSYS && error != ENOTSUP)
        return WriteStatus::Failed;
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return WriteStatus::Written;
    }
    error = errno;
    if (error == EEXIST)
        return WriteStatus::Exists;
    if (error != EPERM && error != ENOTSUP && error != EOPNOTSUPP)
        return WriteStatus::Failed;
    if (::rename(from.c_str(), to.c_str()) == 0)
        return WriteStatus::Written;
    error = errno;
    return WriteStatus::Failed;
}

}  // namespace

WriteStatus writeFileAtomically(const std::string& path, std::string_view bytes, bool overwrite,
                                std::string& why) {
    auto failed = [&](const std::string& reason) {
        why = "cannot save '" + path + "': " + reason;
        return WriteStatus::Failed;
    };
    if (path.empty())
        return failed("no file name");
    if (path.back() == '/')
        return failed("the name is a folder");

    struct stat existing {};
    bool exists = ::lstat(path.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT)
        return failed(systemReason(errno));
    if (exists && S_ISDIR(existing.st_mode))
        return failed("it is a folder");
    if (exists && !overwrite)
        return WriteStatus::Exists;

    std::string tempPath;
    FileDescriptor file(createTemporary(path, tempPath));
    if (file.get() < 0)
        return failed(systemReason(errno));
    TemporaryFile temp(tempPath);
    // A replaced file keeps its permissions.
    if (exists && S_ISREG(existing.st_mode))
        ::fchmod(file.get(), existing.st_mode & 07777);
    if (!writeAll(file.get(), bytes))
        return failed(systemReason(errno));
    // EINVAL: the file system has nothing to flush (a pipe-like or special mount).
    if (::fsync(file.get()) != 0 && errno != EINVAL)
        return failed(systemReason(errno));
    if (!file.close())
        return failed(systemReason(errno));

    if (overwrite) {
        if (::rename(temp.path().c_str(), path.c_str()) != 0)
            return failed(systemReason(errno));
        temp.keep();
        return WriteStatus::Written;
    }
    int error = 0;
    WriteStatus status = renameNoReplace(temp.path(), path, error);
    if (status == WriteStatus::Written)
        temp.keep();
    if (status == WriteStatus::Failed)
        return failed(systemReason(error));
    return status;
}

}  // namespace nv::soap::detail
