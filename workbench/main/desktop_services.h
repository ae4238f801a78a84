// The desktop's default programs for the core's DesktopSeam: web addresses go to the
// browser, files to the program registered for their type.
#pragma once

#include <functional>

#include "workbench/core/seams/desktop_seam.h"

namespace sondar {

class DesktopServices final : public DesktopSeam {
  public:
    bool openUrl(const QUrl& url) override;

    // Test hook: while set, addresses go to it instead of the desktop.
    static std::function<bool(const QUrl&)>& scriptedOpener();
};

}  // namespace sondar
