// The desktop's default programs for the core's DesktopSeam: web addresses go to the
// browser, files to the program registered for their type.
#pragma once

#include "workbench/core/seams/desktop_seam.h"

namespace sondar {

class DesktopServices final : public DesktopSeam {
  public:
    bool openUrl(const QUrl& url) override;
};

}  // namespace sondar
