#include "workbench/dialogs/font_mapping.h"

#include <cmath>

#include <QFontDialog>
#include <QFontInfo>

namespace sondar {

namespace {

constexpr double kStoredDpi = 96.0;
constexpr double kPointsPerInch = 72.0;

constexpr int kBold = 1;
constexpr int kItalic = 2;
constexpr int kUnderline = 4;
constexpr int kStrikeOut = 8;

constexpr int kVariablePitch = 1;
constexpr int kFixedPitch = 2;

constexpr int kDefaultCharSet = 1;

double pointsOf(const QFont& font) {
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    // A font given in pixels: take the pixels at the stored resolution.
    return font.pixelSize() * kPointsPerInch / kStoredDpi;
}

}  // namespace

FontSetting fontSettingFromFont(const QFont& font, const QColor& color) {
    FontSetting setting;
    const double points = pointsOf(font);
    setting.charSet = kDefaultCharSet;
    setting.color = colorRefFromColor(color);
    setting.height = -static_cast<int>(std::lround(points * kStoredDpi / kPointsPerInch));
    setting.name = font.family();
    // A family chosen in the font dialog does not carry the fixed-pitch request itself; the
    // matched face tells.
    setting.pitch =
        font.fixedPitch() || QFontInfo(font).fixedPitch() ? kFixedPitch : kVariablePitch;
    setting.size = static_cast<int>(std::lround(points));
    setting.style = (font.bold() ? kBold : 0) | (font.italic() ? kItalic : 0) |
                    (font.underline() ? kUnderline : 0) | (font.strikeOut() ? kStrikeOut : 0);
    return setting;
}

QFont fontFromFontSetting(const FontSetting& setting) {
    QFont font(setting.name);
    if (setting.size > 0)
        font.setPointSize(setting.size);
    else if (setting.height != 0)
        font.setPointSizeF(std::abs(setting.height) * kPointsPerInch / kStoredDpi);
    if (setting.pitch == kFixedPitch) {
        font.setFixedPitch(true);
        // When the family is missing, the substitute should still be a fixed-pitch one.
        font.setStyleHint(QFont::TypeWriter);
    } else if (setting.pitch == kVariablePitch) {
        font.setFixedPitch(false);
    }
    font.setBold((setting.style & kBold) != 0);
    font.setItalic((setting.style & kItalic) != 0);
    font.setUnderline((setting.style & kUnderline) != 0);
    font.setStrikeOut((setting.style & kStrikeOut) != 0);
    return font;
}

QColor colorFromFontSetting(const FontSetting& setting) {
    return colorFromColorRef(setting.color);
}

int colorRefFromColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16);
}

QColor colorFromColorRef(int colorRef) {
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

std::function<std::optional<QFont>(const QFont&)>& scriptedFontChoice() {
    static std::function<std::optional<QFont>(const QFont&)> answer;
    return answer;
}

std::optional<QFont> chooseFont(const QFont& initial, QWidget* parent) {
    if (scriptedFontChoice())
        return scriptedFontChoice()(initial);
    bool accepted = false;
    const QFont chosen = QFontDialog::getFont(&accepted, initial, parent);
    if (!accepted)
        return std::nullopt;
    return chosen;
}

}  // namespace sondar
