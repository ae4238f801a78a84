// A DesktopSeam that records what would have been opened, and answers as scripted.
#pragma once

#include <QList>
#include <QUrl>

#include "workbench/core/seams/desktop_seam.h"

namespace sondar::test {

class RecordingDesktop final : public DesktopSeam {
  public:
    bool openUrl(const QUrl& url) override {
        opened.append(url);
        return answer;
    }
    QList<QUrl> opened;
    // What openUrl answers: false plays a desktop with no program for the address.
    bool answer = true;
};

}  // namespace sondar::test
