// Viewer fonts as the registry keeps them (the Windows LOGFONT-like record of the options) and
// as Qt shows them, both ways, at the 96 dpi the stored heights assume.
#pragma once

#include <functional>
#include <optional>

#include <QColor>
#include <QFont>

#include "workbench/core/session/options.h"

class QWidget;

namespace sondar {

FontSetting fontSettingFromFont(const QFont& font, const QColor& color);
QFont fontFromFontSetting(const FontSetting& setting);
QColor colorFromFontSetting(const FontSetting& setting);

// Windows colours are 0x00BBGGRR.
int colorRefFromColor(const QColor& color);
QColor colorFromColorRef(int colorRef);

// Asks the user for a font, starting from `initial`; nothing when declined. While tests set
// scriptedFontChoice(), it answers instead of the dialog.
std::optional<QFont> chooseFont(const QFont& initial, QWidget* parent);
std::function<std::optional<QFont>(const QFont&)>& scriptedFontChoice();

}  // namespace sondar
