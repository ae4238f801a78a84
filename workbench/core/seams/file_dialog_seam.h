// File choosers behind a seam: the windows show dialogs, tests answer with paths, a batch run
// never asks. An empty result means the user cancelled.
#pragma once

#include <QString>

namespace sondar {

class FileDialogSeam {
  public:
    virtual ~FileDialogSeam() = default;
    virtual QString getOpenFileName(const QString& caption, const QString& directory,
                                    const QString& filter) = 0;
    virtual QString getSaveFileName(const QString& caption, const QString& directory,
                                    const QString& filter) = 0;
};

}  // namespace sondar
