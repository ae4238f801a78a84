// How the workbench reads and shows the engine's error texts.
#pragma once

#include <QString>

namespace sondar {

// "     Error: " + text + five blanks: how engine errors are shown.
QString engineErrorMessage(const QString& engineText);
// The engine's text for a server that wants credentials.
bool asksForCredentials(const QString& engineText);
// Engine texts may carry a NUL from a fixed-size buffer: only what precedes it counts.
QString cutAtNul(const QString& text);

}  // namespace sondar
