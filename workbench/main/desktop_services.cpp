#include "workbench/main/desktop_services.h"

#include <QDesktopServices>

namespace sondar {

std::function<bool(const QUrl&)>& DesktopServices::scriptedOpener() {
    static std::function<bool(const QUrl&)> opener;
    return opener;
}

bool DesktopServices::openUrl(const QUrl& url) {
    if (scriptedOpener())
        return scriptedOpener()(url);
    return QDesktopServices::openUrl(url);
}

}  // namespace sondar
