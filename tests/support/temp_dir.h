// A fresh directory under $TMPDIR (or /tmp), removed with its contents on destruction.
#pragma once

#include <string>

namespace nv::test {

class TempDir {
  public:
    explicit TempDir(const std::string& tag = "sondar");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Path of the directory, ending in "/".
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + name; }

  private:
    std::string path_;
};

// Whole file as bytes; empty when it cannot be read.
std::string readFile(const std::string& path);
bool writeFile(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);

}  // namespace nv::test
