// Handing a file or web address to the desktop's default program (browser, viewer, editor)
// behind a seam: the windows ask the desktop, tests record what would have been opened, a
// batch run opens nothing.
#pragma once

#include <QUrl>

namespace sondar {

class DesktopSeam {
  public:
    virtual ~DesktopSeam() = default;
    // False when no program could be started for it.
    virtual bool openUrl(const QUrl& url) = 0;
};

}  // namespace sondar
