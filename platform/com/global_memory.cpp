#include "platform/com/global_memory.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/com/last_error.h"

namespace {

struct Block {
    bool fixed = false;
    SIZE_T size = 0;
    SIZE_T capacity = 0;
    unsigned locks = 0;
    char* data = nullptr;  // malloc'ed; null for a discarded moveable block
};

// Handle -> block. A fixed block's handle is its data pointer, a moveable block's the address
// of its Block.
struct Table {
    std::mutex mutex;
    std::unordered_map<const void*, std::unique_ptr<Block>> blocks;
};

// Never destroyed, so handles freed by other libraries' static destructors are still checked.
Table& table() {
    static Table* instance = new Table;
    return *instance;
}

Block* find(Table& t, HGLOBAL h) {
    auto it = t.blocks.find(h);
    return it == t.blocks.end() ? nullptr : it->second.get();
}

// Grows the data to at least `bytes`, zeroing everything past the old size.
bool reserve(Block& b, SIZE_T bytes) {
    if (bytes <= b.capacity)
        return true;
    SIZE_T capacity = b.capacity + b.capacity / 2;
    if (capacity < bytes)
        capacity = bytes;
    char* data = static_cast<char*>(std::realloc(b.data, capacity));
    if (!data)
        return false;
    std::memset(data + b.size, 0, capacity - b.size);
    b.data = data;
    b.capacity = capacity;
    return true;
}

void resize(Block& b, SIZE_T bytes) {
    if (bytes > b.size)
        std::memset(b.data + b.size, 0, bytes - b.size);
    b.size = bytes;
}

}  // namespace

extern "C" {

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes) noexcept {
    try {
        auto block = std::make_unique<Block>();
        block->fixed = !(uFlags & GMEM_MOVEABLE);
        if (dwBytes > 0 || block->fixed) {
            block->data = static_cast<char*>(std::calloc(1, dwBytes ? dwBytes : 1));
            if (!block->data) {
                SetLastError(ERROR_NOT_ENOUGH_MEMORY);
                return nullptr;
            }
            block->size = dwBytes;
            block->capacity = dwBytes ? dwBytes : 1;
        }
        HGLOBAL h = block->fixed ? static_cast<HGLOBAL>(block->data) : block.get();
        Table& t = table();
        std::lock_guard lock(t.mutex);
        t.blocks.emplace(h, std::move(block));
        return h;
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

HGLOBAL GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags) noexcept {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    Block* b = find(t, hMem);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (uFlags & GMEM_MODIFY)
        return hMem;

    if (!b->fixed && dwBytes == 0) {
        if (b->locks > 0) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        std::free(b->data);
        b->data = nullptr;
        b->size = b->capacity = 0;
        return hMem;
    }
    if (dwBytes <= b->capacity) {
        resize(*b, dwBytes);
        return hMem;
    }
    bool pinned = b->fixed || b->locks > 0;
    if (pinned && !(uFlags & GMEM_MOVEABLE)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (!b->fixed) {
        if (!reserve(*b, dwBytes)) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        resize(*b, dwBytes);
        return hMem;
    }
    // A fixed block that moves gets a new handle: its new address.
    try {
        t.blocks.reserve(t.blocks.size() + 1);
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto node = t.blocks.extract(hMem);
    if (!reserve(*node.mapped(), dwBytes)) {
        t.blocks.insert(std::move(node));
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    resize(*node.mapped(), dwBytes);
    node.key() = node.mapped()->data;
    HGLOBAL moved = node.mapped()->data;
    t.blocks.insert(std::move(node));
    return moved;
}

HGLOBAL GlobalFree(HGLOBAL hMem) noexcept {
    if (!hMem)
        return nullptr;
    Table& t = table();
    std::unique_ptr<Block> block;
    {
        std::lock_guard lock(t.mutex);
        auto it = t.blocks.find(hMem);
        if (it == t.blocks.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return hMem;
        }
        block = std::move(it->second);
        t.blocks.erase(it);
    }
    std::free(block->data);
    return nullptr;
}

LPVOID GlobalLock(HGLOBAL hMem) noexcept {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    Block* b = find(t, hMem);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (b->fixed)
        return b->data;
    if (!b->data)
        return nullptr;
    ++b->locks;
    return b->data;
}

BOOL GlobalUnlock(HGLOBAL hMem) noexcept {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    Block* b = find(t, hMem);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (b->fixed)
        return TRUE;
    if (b->locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--b->locks > 0)
        return TRUE;
    SetLastError(NO_ERROR);
    return FALSE;
}

SIZE_T GlobalSize(HGLOBAL hMem) noexcept {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    Block* b = find(t, hMem);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return b->size;
}

}  // extern "C"
