// A resource library holding two translated messages and nothing else.
#include <cstring>

#include "engine/resources/resource_library.h"

namespace {

const char16_t* find(uint32_t id) {
    switch (id) {
        case 116:
            return u"Dienst '%s' nicht gefunden.\n";
        case 130:
            return u"Keine Daten vom Dienst erhalten.\n";
        default:
            return nullptr;
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t NVLoadString(uint32_t id,
                                                                       char16_t* buffer,
                                                                       int32_t capacity) {
    const char16_t* text = find(id);
    if (!text)
        return -1;
    int32_t length = 0;
    while (text[length])
        ++length;
    if (capacity > 0 && buffer) {
        int32_t n = length < capacity - 1 ? length : capacity - 1;
        std::memcpy(buffer, text, static_cast<std::size_t>(n) * sizeof(char16_t));
        buffer[n] = u'\0';
    }
    return length;
}
