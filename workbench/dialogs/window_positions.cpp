#include "workbench/dialogs/window_positions.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include "workbench/core/session/options.h"

namespace sondar {

namespace {

// Smaller stored sizes come from broken values, not from a user's choice.
constexpr int kSmallestSide = 50;

}  // namespace

bool restoreWindowPosition(QWidget* window, const QString& formName) {
    const std::optional<FormPosition> stored = parseFormPosition(readFormPosition(formName));
    if (!stored || stored->width < kSmallestSide || stored->height < kSmallestSide)
        return false;
    const QRect wanted(stored->left, stored->top, stored->width, stored->height);
    window->resize(wanted.size());
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(wanted)) {
            window->move(wanted.topLeft());
            window->update();
            return true;
        }
    }
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        window->move(primary->availableGeometry().topLeft());
    window->update();
    return true;
}

void saveWindowPosition(const QWidget* window, const QString& formName) {
    // The frame's corner and the inner size: what move() and resize() take back.
    const QPoint corner = window->pos();
    writeFormPosition(formName, formatFormPosition(FormPosition{corner.y(), corner.x(),
                                                                window->height(), window->width()}));
}

}  // namespace sondar
