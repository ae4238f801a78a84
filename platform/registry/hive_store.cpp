#include "platform/registry/hive_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string_view>
#include <vector>

#include "platform/text/unicode.h"

namespace nv::registry::detail {

namespace {

std::u16string_view hiveName(Hive hive) {
    return hive == Hive::CurrentUser ? u"HKEY_CURRENT_USER" : u"HKEY_CLASSES_ROOT";
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

  private:
    int fd_;
};

bool readWholeFile(const std::string& path, std::string& out) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        return false;
    out.clear();
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        out.append(buf, static_cast<std::size_t>(n));
    }
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::int64_t toNs(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

}  // namespace

HiveStore::HiveStore(Hive hive, std::string directory) : hive_(hive), dir_(std::move(directory)) {
    file_ = dir_ + text::utf16ToUtf8(hiveName(hive)) + ".reg";
    lockFile_ = file_ + ".lock";
    root_.name = std::u16string(hiveName(hive));
}

std::u16string_view HiveStore::rootName() const {
    return hiveName(hive_);
}

std::shared_ptr<HiveStore> HiveStore::forHive(Hive hive) {
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<HiveStore>> stores;
    std::string dir = registryDirectory();
    std::string key = dir + (hive == Hive::CurrentUser ? "|HKCU" : "|HKCR");
    std::lock_guard<std::mutex> lock(mutex);
    auto& slot = stores[key];
    if (!slot)
        slot = std::make_shared<HiveStore>(hive, dir);
    return slot;
}

std::uint64_t HiveStore::readGeneration() const {
    FileDescriptor fd(::open(lockFile_.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        return 0;
    std::uint64_t value = 0;
    if (::pread(fd.get(), &value, sizeof value, 0) != static_cast<ssize_t>(sizeof value))
        return 0;
    return value;
}

void HiveStore::bumpGeneration(int lockFd) {
    std::uint64_t value = 0;
    if (::pread(lockFd, &value, sizeof value, 0) != static_cast<ssize_t>(sizeof value))
        value = 0;
    ++value;
    ssize_t written = ::pwrite(lockFd, &value, sizeof value, 0);
    (void)written;  // a missed bump only costs readers the stat-based check
}

HiveStore::Stamp HiveStore::currentStamp() const {
    Stamp s;
    // The generation is read first: a write that lands in between makes the next check reload.
    s.generation = readGeneration();
    struct stat st;
    if (::stat(file_.c_str(), &st) == 0) {
        s.exists = true;
        s.dev = st.st_dev;
        s.ino = st.st_ino;
        s.size = st.st_size;
        s.mtimeNs = toNs(st.st_mtim);
        s.ctimeNs = toNs(st.st_ctim);
    }
    return s;
}

void HiveStore::loadLocked(const Stamp& stamp) {
    root_.values.clear();
    root_.subkeys.clear();
    damaged_ = false;
    unreadable_ = false;
    stamp_ = stamp;
    loadedOnce_ = true;
    if (!stamp.exists)
        return;
    std::string bytes;
    if (!readWholeFile(file_, bytes)) {
        // Unreadable now (permissions, or it vanished): show an empty hive, but never rewrite
        // over a file we could not read.
        unreadable_ = true;
        return;
    }
    ParsedRegFile parsed = parseRegFile(bytes);
    std::size_t rejected = applyEntries(root_, hiveName(hive_), parsed.entries);
    damaged_ = parsed.badLines + rejected > 0;
}

void HiveStore::refreshLocked() {
    Stamp now = currentStamp();
    if (!loadedOnce_ || !(now == stamp_))
        loadLocked(now);
}

Status HiveStore::read(const std::function<Status(const RegNode&)>& fn) {
    std::lock_guard<std::mutex> lock(mutex_);
    refreshLocked();
    return fn(root_);
}

bool HiveStore::ensureDirectory() const {
    // mkdir -p, private to the user.
    std::string path;
    for (std::size_t i = 0; i < dir_.size(); ++i) {
        path += dir_[i];
        if ((dir_[i] == '/' && i > 0) || i + 1 == dir_.size()) {
            if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
                return false;
        }
    }
    struct stat st;
    return ::stat(dir_.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void HiveStore::keepDamagedCopyLocked() {
    std::string original;
    if (!readWholeFile(file_, original))
        return;
    char stampText[32];
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    std::strftime(stampText, sizeof stampText, "%Y%m%dT%H%M%SZ", &tm);
    std::string copy = file_ + ".damaged-" + stampText + "-" + std::to_string(::getpid());
    FileDescriptor fd(::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd.valid())
        return;
    if (writeAll(fd.get(), original))
        ::fsync(fd.get());
}

bool HiveStore::persistLocked() {
    static std::atomic<unsigned> counter{0};
    std::string tmp =
        file_ + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    std::string content = writeRegFile(root_, hiveName(hive_));
    {
        FileDescriptor fd(::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (!fd.valid())
            return false;
        if (!writeAll(fd.get(), content) || ::fsync(fd.get()) != 0) {
            ::unlink(tmp.c_str());
            return false;
        }
    }
    if (damaged_) {
        keepDamagedCopyLocked();
        damaged_ = false;
    }
    if (::rename(tmp.c_str(), file_.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    FileDescriptor dirFd(::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.valid())
        ::fsync(dirFd.get());
    return true;
}

void HiveStore::removeDeadWritersTemporariesLocked() {
    // Every writer holds the lock while its temporary exists, so under the lock a temporary
    // left by a process that no longer runs belongs to a writer killed mid-write.
    const std::string_view dir(dir_);
    const std::string prefix = file_.substr(dir_.size()) + ".tmp-";
    DIR* listing = ::opendir(dir_.c_str());
    if (!listing)
        return;
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name(entry->d_name);
        if (name.substr(0, prefix.size()) != prefix)
            continue;
        const std::string_view rest = name.substr(prefix.size());
        const std::size_t dash = rest.find('-');
        if (dash == std::string_view::npos || dash == 0)
            continue;
        long pid = 0;
        bool digits = true;
        for (char c : rest.substr(0, dash)) {
            digits = digits && c >= '0' && c <= '9' && pid < 100000000;
            pid = pid * 10 + (c - '0');
        }
        if (!digits || pid <= 0)
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            stale.emplace_back(name);
    }
    ::closedir(listing);
    for (const std::string& name : stale)
        ::unlink((std::string(dir) + name).c_str());
}

Status HiveStore::write(const std::function<Status(RegNode&)>& fn) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!ensureDirectory())
        return Status::AccessDenied;
    FileDescriptor lockFd(::open(lockFile_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lockFd.valid())
        return Status::AccessDenied;
    while (::flock(lockFd.get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return Status::AccessDenied;
    }
    removeDeadWritersTemporariesLocked();
    // Another process may have written since we last looked: start from its result.
    refreshLocked();
    if (unreadable_) {
        ::flock(lockFd.get(), LOCK_UN);
        return Status::AccessDenied;
    }
    Status status = fn(root_);
    if (status == Status::Ok) {
        if (persistLocked()) {
            bumpGeneration(lockFd.get());
            stamp_ = currentStamp();
        } else {
            status = Status::AccessDenied;
            loadLocked(currentStamp());  // drop the change that did not reach the file
        }
    }
    ::flock(lockFd.get(), LOCK_UN);
    return status;
}

}  // namespace nv::registry::detail
