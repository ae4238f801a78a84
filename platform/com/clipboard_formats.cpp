// Registered clipboard format names.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/com/clipboard.h"
#include "platform/text/unicode.h"

namespace {

constexpr UINT kFirstRegistered = 0xC000;
constexpr UINT kLastRegistered = 0xFFFF;

struct Names {
    std::mutex mutex;
    std::vector<std::u16string> names;  // id = kFirstRegistered + index
};

// Never destroyed; names outlive every caller.
Names& names() {
    static Names* instance = new Names;
    return *instance;
}

}  // namespace

extern "C" {

UINT RegisterClipboardFormatW(LPCWSTR lpszFormat) noexcept {
    std::u16string_view name = nv::text::view(lpszFormat);
    if (name.empty())
        return 0;
    try {
        Names& n = names();
        std::lock_guard lock(n.mutex);
        for (std::size_t i = 0; i < n.names.size(); ++i)
            if (nv::text::equalsIgnoreCase(n.names[i], name))
                return kFirstRegistered + static_cast<UINT>(i);
        if (n.names.size() > kLastRegistered - kFirstRegistered)
            return 0;
        n.names.emplace_back(name);
        return kFirstRegistered + static_cast<UINT>(n.names.size() - 1);
    } catch (...) {
        return 0;
    }
}

int GetClipboardFormatNameW(UINT format, LPWSTR lpszFormatName, int cchMaxCount) noexcept {
    if (!lpszFormatName || cchMaxCount <= 0 || format < kFirstRegistered)
        return 0;
    Names& n = names();
    std::lock_guard lock(n.mutex);
    std::size_t index = format - kFirstRegistered;
    if (index >= n.names.size())
        return 0;
    const std::u16string& name = n.names[index];
    std::size_t count = std::min(name.size(), static_cast<std::size_t>(cchMaxCount - 1));
    std::memcpy(lpszFormatName, name.data(), count * sizeof(WCHAR));
    lpszFormatName[count] = u'\0';
    return static_cast<int>(count);
}

}  // extern "C"
