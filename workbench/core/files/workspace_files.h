// "&Save Workspace..." and "&Open Workspace...": the whole working state in one file, and
// the recent-workspaces list they keep.
#pragma once

#include <QStringList>

#include "workbench/core/seams/file_dialog_seam.h"
#include "workbench/core/session/workbench_context.h"

namespace sondar {

class TCIOMessage;

class WorkspaceFiles {
  public:
    WorkspaceFiles(WorkbenchContext& context, TCIOMessage& factory, QStringList& recent)
        : ctx_(context), factory_(factory), recent_(recent) {}
    void setFileDialogs(FileDialogSeam* files) { files_ = files; }

    bool saveWorkspace();
    // From a dialog, or the given path (a recent-workspaces entry).
    bool openWorkspace(const QString& path = QString());

    // Puts `path` on top of the recent workspaces (moving it when it is there).
    void addRecent(const QString& path);

  private:
    bool openFile(const QString& path);
    void failOpen(const QString& message);

    WorkbenchContext& ctx_;
    TCIOMessage& factory_;
    QStringList& recent_;
    FileDialogSeam* files_ = nullptr;
};

}  // namespace sondar
