// The main window's display-free half: start-up (options, working directory, batch log), the
// units that do the work (analyse, tree commands, batch run), and what is written at close.
// TMainForm owns one and shows its state; a batch run owns one with a headless view.
#pragma once

#include <memory>

#include <QString>
#include <QStringList>

#include "workbench/core/analyse/analyze_flow.h"
#include "workbench/core/analyse/tree_commands.h"
#include "workbench/core/editing/tree_editor.h"
#include "workbench/core/favorites/favorites.h"
#include "workbench/core/files/input_files.h"
#include "workbench/core/files/output_files.h"
#include "workbench/core/files/workspace_files.h"
#include "workbench/core/invoke/invoke_flow.h"
#include "workbench/core/seams/clock.h"
#include "workbench/core/session/process_lock.h"
#include "workbench/core/session/workbench_context.h"

namespace sondar {

// How the program was started.
struct LaunchInfo {
    QStringList parameters;   // without the program name
    QString programFolder;    // ends in "/"
    QString launchDirectory;  // the current directory at start, for relative parameters
};

enum class StartOutcome {
    Interactive,        // show the main window
    ShutdownRequested,  // wrong parameter count: end without further windows
    BatchFinished,      // the batch run is over: end the program
};

struct WorkbenchSeams {
    MainView& view;
    MessageSeam& messages;
    StatusSeam& status;
    CredentialsSeam& credentials;
    const Clock& clock;
    FileDialogSeam* files = nullptr;  // none in a batch run
    NameDialogSeam* names = nullptr;  // none in a batch run
};

class WorkbenchCore {
  public:
    explicit WorkbenchCore(WorkbenchSeams seams);
    WorkbenchCore(const WorkbenchCore&) = delete;
    WorkbenchCore& operator=(const WorkbenchCore&) = delete;

    // The main window's creation: parameters, lock, working directory, options, and in a
    // batch run the whole run. Interactive window placement is the window's own business.
    StartOutcome formCreate(const LaunchInfo& launch);
    // What an interactive close writes: options and fonts, WSDL history, recent workspaces,
    // each group on its own (a failing group does not stop the others). Nothing after a
    // shutdown or in a batch run.
    void formClose();

    // 0 after a successful batch run, 1 after one that did not complete or a wrong
    // parameter count.
    int exitCode() const { return exitCode_; }

    MainState& state() { return state_; }
    TNVTree& tree() { return tree_; }
    TCNVWSControl& control() { return control_; }
    TCIOMessage& messageFactory() { return messageFactory_; }
    WsdlHistory& history() { return history_; }
    QStringList& recentWorkspaces() { return recentWorkspaces_; }
    WorkbenchContext& context() { return context_; }
    AnalyzeFlow& analyzer() { return analyzer_; }
    TreeCommands& treeCommands() { return treeCommands_; }
    TreeEditor& editor() { return editor_; }
    InvokeFlow& invoker() { return invoker_; }
    InputFiles& inputFiles() { return inputFiles_; }
    OutputFiles& outputFiles() { return outputFiles_; }
    WorkspaceFiles& workspaceFiles() { return workspaceFiles_; }
    FavoritesFlow& favorites() { return favorites_; }
    const Clock& clock() const { return seams_.clock; }

  private:
    void readStartupValues();
    void runBatch();

    WorkbenchSeams seams_;
    MainState state_;
    TNVTree tree_;
    TCNVWSControl control_;
    TCIOMessage messageFactory_;
    WsdlHistory history_;
    AuthenticationPrompts prompts_;
    QStringList recentWorkspaces_;
    WorkbenchContext context_;
    AnalyzeFlow analyzer_;
    TreeCommands treeCommands_;
    TreeEditor editor_;
    InvokeFlow invoker_;
    InputFiles inputFiles_;
    OutputFiles outputFiles_;
    WorkspaceFiles workspaceFiles_;
    FavoritesFlow favorites_;
    std::unique_ptr<ProcessLock> lock_;
    int exitCode_ = 0;
};

// Date and time as the batch log writes them: the locale's short date and long time.
QString batchTimestamp(const QDateTime& when);

}  // namespace sondar
