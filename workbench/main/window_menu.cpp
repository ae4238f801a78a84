#include "workbench/main/window_menu.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QWidget>

#include "workbench/dialogs/window_positions.h"

namespace sondar {

WindowMenu::WindowMenu(QMenu* menu, QWidget* mainWindow)
    : QObject(menu), menu_(menu), mainWindow_(mainWindow) {
    makeEntry(mainWindow)->setObjectName(QStringLiteral("WindowMain"));
}

QAction* WindowMenu::makeEntry(QWidget* window) {
    // Captions are shown as they are: "&" would otherwise mark an accelerator.
    QAction* entry = menu_->addAction(window->windowTitle().replace(QLatin1Char('&'),
                                                                    QStringLiteral("&&")));
    entry->setObjectName(QStringLiteral("Window_") + window->objectName());
    const QPointer<QWidget> target(window);
    connect(entry, &QAction::triggered, this, [target] {
        if (!target)
            return;
        if (target->isMinimized())
            target->showNormal();
        else
            target->show();
        target->raise();
        target->activateWindow();
    });
    entries_.insert(window, entry);
    return entry;
}

void WindowMenu::add(QWidget* window) {
    if (entries_.contains(window))
        return;
    makeEntry(window);
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this, [this, window] { delete entries_.take(window); });
}

void WindowMenu::remove(QWidget* window) {
    if (window == mainWindow_)
        return;
    if (QAction* entry = entries_.take(window))
        delete entry;
    window->removeEventFilter(this);
}

bool WindowMenu::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        auto* window = static_cast<QWidget*>(watched);
        saveWindowPosition(window, window->objectName());
        remove(window);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace sondar
