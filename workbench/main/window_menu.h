// The Window menu: the main window's own entry, then the tool windows open now, in the order
// they were shown. A tool window leaves the menu (and its position is kept) when it closes.
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class QWidget;

namespace sondar {

class WindowMenu final : public QObject {
    Q_OBJECT

  public:
    // `menu` and `mainWindow` are not owned; the main window's entry is added at once and
    // stays.
    WindowMenu(QMenu* menu, QWidget* mainWindow);

    // Appends an entry captioned with the window's current caption unless it has one. The
    // window's object name is its component name for the stored position.
    void add(QWidget* window);
    void remove(QWidget* window);
    QAction* entryOf(QWidget* window) const { return entries_.value(window); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QAction* makeEntry(QWidget* window);

    QMenu* menu_;
    QWidget* mainWindow_;
    QHash<QWidget*, QAction*> entries_;
};

}  // namespace sondar
