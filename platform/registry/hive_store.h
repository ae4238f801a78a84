// One hive's contents, cached in memory and kept in step with its file, which other processes
// may rewrite at any time. Internal to the registry stand-in.
//
// Readers stat the file (and read the writers' generation counter) before every operation and
// reload when it changed. Writers take an exclusive advisory lock, reload if needed, apply the
// change, write a temporary file, fsync it, rename it over the hive and fsync the directory, so
// a crash leaves either the old or the new file and no update of another process is lost.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/registry/reg_file.h"
#include "platform/registry/registry.h"

namespace nv::registry::detail {

class HiveStore {
  public:
    HiveStore(Hive hive, std::string directory);

    // Runs `fn` on the current tree (reloaded first when the file changed).
    Status read(const std::function<Status(const RegNode&)>& fn);
    // Runs `fn` on the current tree under the inter-process lock and persists the result when
    // `fn` returns Ok. A failed write leaves memory as the file is and returns AccessDenied.
    Status write(const std::function<Status(RegNode&)>& fn);

    const std::string& filePath() const { return file_; }
    std::u16string_view rootName() const;

    // The store for a hive in the directory that is current now (one store per file).
    static std::shared_ptr<HiveStore> forHive(Hive hive);

  private:
    struct Stamp {
        bool exists = false;
        dev_t dev = 0;
        ino_t ino = 0;
        off_t size = 0;
        std::int64_t mtimeNs = 0;
        std::int64_t ctimeNs = 0;
        std::uint64_t generation = 0;
        bool operator==(const Stamp&) const = default;
    };

    Stamp currentStamp() const;
    void refreshLocked();
    void loadLocked(const Stamp& stamp);
    bool persistLocked();
    bool ensureDirectory() const;
    std::uint64_t readGeneration() const;
    void bumpGeneration(int lockFd);
    void keepDamagedCopyLocked();
    void removeDeadWritersTemporariesLocked();

    Hive hive_;
    std::string dir_;
    std::string file_;
    std::string lockFile_;
    std::mutex mutex_;
    RegNode root_;
    Stamp stamp_;
    bool loadedOnce_ = false;
    bool damaged_ = false;  // the file held lines that did not parse; keep a copy before rewriting
    bool unreadable_ = false;  // the file exists but could not be read; never write over it
};

}  // namespace nv::registry::detail
