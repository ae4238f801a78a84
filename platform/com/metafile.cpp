#include "platform/com/metafile.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

struct Metafile {
    std::vector<BYTE> bits;
};

struct Registry {
    std::mutex mutex;
    std::unordered_map<const void*, std::unique_ptr<Metafile>> metafiles;
};

// Never destroyed, like the other handle tables.
Registry& registry() {
    static Registry* instance = new Registry;
    return *instance;
}

}  // namespace

extern "C" {

HMETAFILE SetMetaFileBitsEx(UINT cbBuffer, const BYTE* lpData) noexcept {
    if (!lpData && cbBuffer)
        return nullptr;
    try {
        auto mf = std::make_unique<Metafile>();
        mf->bits.assign(lpData, lpData + cbBuffer);
        HMETAFILE h = mf.get();
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        r.metafiles.emplace(h, std::move(mf));
        return h;
    } catch (...) {
        return nullptr;
    }
}

UINT GetMetaFileBitsEx(HMETAFILE hmf, UINT cbBuffer, LPVOID lpData) noexcept {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.metafiles.find(hmf);
    if (it == r.metafiles.end())
        return 0;
    const std::vector<BYTE>& bits = it->second->bits;
    auto size = static_cast<UINT>(bits.size());
    if (!lpData)
        return size;
    if (cbBuffer < size)
        return 0;
    if (size)
        std::memcpy(lpData, bits.data(), size);
    return size;
}

BOOL DeleteMetaFile(HMETAFILE hmf) noexcept {
    std::unique_ptr<Metafile> doomed;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.metafiles.find(hmf);
    if (it == r.metafiles.end())
        return FALSE;
    doomed = std::move(it->second);
    r.metafiles.erase(it);
    return TRUE;
}

}  // extern "C"
