#include "workbench/main/desktop_services.h"

#include <QDesktopServices>

namespace sondar {

bool DesktopServices::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

}  // namespace sondar
