// Saving and restoring input values: the commands of the window ("Save", "Restore", their ALL
// forms) and the batch run's restore, with their dialogs, statuses and messages.
#pragma once

#include "workbench/core/seams/file_dialog_seam.h"
#include "workbench/core/session/workbench_context.h"

namespace sondar {

class TreeCommands;
class TreeEditor;

class InputFiles {
  public:
    InputFiles(WorkbenchContext& context, TreeEditor& editor, TreeCommands& commands)
        : ctx_(context), editor_(editor), commands_(commands) {}

    // Not owned; without one (a batch run) nothing is saved or restored interactively.
    void setFileDialogs(FileDialogSeam* files) { files_ = files; }

    // "Save" (the selected node's operation) or "Save ALL".
    bool saveInput(TNVTreeNode* selected, bool allOperations);
    // "Restore" or "Restore ALL", from a file the user picks.
    bool restoreInput(TNVTreeNode* selected, bool allOperations);
    // The batch run's restore into `operation` from `path`; failures become the batch reason.
    bool restoreForBatch(TNVTreeNode* operation, const QString& path);

  private:
    bool restoreFile(const QString& path, const std::vector<TNVTreeNode*>& operations,
                     bool allOperations);
    std::vector<TNVTreeNode*> allOperations() const;
    QString workingDirectory() const { return ctx_.state.options.workingDirectory; }

    WorkbenchContext& ctx_;
    TreeEditor& editor_;
    TreeCommands& commands_;
    FileDialogSeam* files_ = nullptr;
};

}  // namespace sondar
