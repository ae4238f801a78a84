// QString to and from the registry's UTF-16 texts.
#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace sondar {

inline std::u16string_view units(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

inline QString fromUnits(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

}  // namespace sondar
