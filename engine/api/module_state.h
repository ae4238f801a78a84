// State that exists once per loaded engine library: the connection registry and the
// working directory of cached WSDL copies. Created when the library is loaded, destroyed
// (with every connection still registered) when it is unloaded.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace wscore {

class WsdlConnection;

class ConnectionRegistry {
  public:
    ConnectionRegistry() = default;
    ~ConnectionRegistry();
    ConnectionRegistry(const ConnectionRegistry&) = delete;
    ConnectionRegistry& operator=(const ConnectionRegistry&) = delete;

    // Takes ownership and returns the new id: non-zero and unique among live connections.
    std::int32_t add(std::unique_ptr<WsdlConnection> connection);
    // Borrowed pointer, valid until the id is released. The lock is held only for the lookup:
    // a caller must not release a connection while it uses it.
    WsdlConnection* find(std::int32_t id);
    // Removes the entry and hands the connection back (null for an unknown id).
    std::unique_ptr<WsdlConnection> remove(std::int32_t id);
    std::size_t size();

  private:
    std::recursive_mutex mutex_;
    std::unordered_map<std::int32_t, std::unique_ptr<WsdlConnection>> connections_;
    std::int32_t next_ = 1;
};

ConnectionRegistry& connectionRegistry();

// Prefix of the cached WSDL copy's path, as last set by SetWorkingDirectory.
std::u16string workingDirectory();
void setWorkingDirectory(std::u16string directory);

}  // namespace wscore
