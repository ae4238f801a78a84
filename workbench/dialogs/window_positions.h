// Where the top-level windows were: kept under their component names ("MainForm",
// "SoapMsgViewer", "LogFileViewer", ...) as "top,left,height,width".
#pragma once

#include <QString>

class QWidget;

namespace sondar {

// Places the window as stored. A stored place off every screen (a monitor removed since)
// keeps the size and moves the window onto the primary screen. False when nothing usable is
// stored: the window keeps its design position.
bool restoreWindowPosition(QWidget* window, const QString& formName);
void saveWindowPosition(const QWidget* window, const QString& formName);

}  // namespace sondar
