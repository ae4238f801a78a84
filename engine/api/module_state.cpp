#include "engine/api/module_state.h"

#include "engine/api/wsdl_connection.h"

namespace wscore {

namespace {

struct ModuleState {
    ConnectionRegistry registry;
    std::mutex directoryMutex;
    std::u16string workingDirectory;
};

// A namespace-scope object: built when the library loads, destroyed when it unloads, which
// destroys every connection still registered.
ModuleState gModule;

}  // namespace

ConnectionRegistry::~ConnectionRegistry() {
    std::unordered_map<std::int32_t, std::unique_ptr<WsdlConnection>> doomed;
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        doomed.swap(connections_);
    }
    // Destroyed outside the lock, as ReleaseConnection does.
}

std::int32_t ConnectionRegistry::add(std::unique_ptr<WsdlConnection> connection) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    // Ids come from a counter; skip 0 and ids still in use after a wrap-around.
    for (;;) {
        std::int32_t id = next_;
        next_ = next_ == INT32_MAX ? 1 : next_ + 1;
        if (id != 0 && connections_.find(id) == connections_.end()) {
            connections_.emplace(id, std::move(connection));
            return id;
        }
    }
}

WsdlConnection* ConnectionRegistry::find(std::int32_t id) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto it = connections_.find(id);
    return it == connections_.end() ? nullptr : it->second.get();
}

std::unique_ptr<WsdlConnection> ConnectionRegistry::remove(std::int32_t id) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto it = connections_.find(id);
    if (it == connections_.end())
        return nullptr;
    std::unique_ptr<WsdlConnection> out = std::move(it->second);
    connections_.erase(it);
    return out;
}

std::size_t ConnectionRegistry::size() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return connections_.size();
}

ConnectionRegistry& connectionRegistry() {
    return gModule.registry;
}

std::u16string workingDirectory() {
    std::lock_guard<std::mutex> lock(gModule.directoryMutex);
    return gModule.workingDirectory;
}

void setWorkingDirectory(std::u16string directory) {
    std::lock_guard<std::mutex> lock(gModule.directoryMutex);
    gModule.workingDirectory = std::move(directory);
}

}  // namespace wscore
