#include "workbench/core/session/workbench_core.h"

#include <QDir>
#include <QLocale>

#include "workbench/core/batch/batch_run.h"

namespace sondar {

QString batchTimestamp(const QDateTime& when) {
    const QLocale locale = QLocale::system();
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), QLocale::LongFormat);
}

WorkbenchCore::WorkbenchCore(WorkbenchSeams seams)
    : seams_(seams),
      prompts_(seams_.credentials, state_),
      context_{state_,      tree_,           control_,      history_,
               seams_.view, seams_.messages, seams_.status, prompts_},
      analyzer_(context_),
      treeCommands_(context_),
      editor_(context_, messageFactory_),
      invoker_(context_, seams_.clock),
      inputFiles_(context_, editor_, treeCommands_),
      outputFiles_(context_),
      workspaceFiles_(context_, messageFactory_, recentWorkspaces_),
      favorites_(context_, analyzer_, seams_.names) {
    inputFiles_.setFileDialogs(seams_.files);
    outputFiles_.setFileDialogs(seams_.files);
    workspaceFiles_.setFileDialogs(seams_.files);
}

StartOutcome WorkbenchCore::formCreate(const LaunchInfo& launch) {
    BatchState& batch = state_.batch;
    batch = BatchState{};
    const qsizetype count = launch.parameters.size();
    state_.programFolder = launch.programFolder;
    if (count >= 1) {
        batch.batchMode = true;
        if (count != 4 && count != 5) {
            batch.reason = QStringLiteral("Incorrect number of parameters.");
            batch.shutdownRequested = true;
        }
    }
    lock_ = std::make_unique<ProcessLock>(QStringLiteral("NorvaleSondar"));

    // Relative files of a batch command line are meant from where the program was started,
    // not from the working directory it is about to move to.
    QStringList parameters = launch.parameters;
    const QDir launchDir(launch.launchDirectory.isEmpty() ? QDir::currentPath()
                                                          : launch.launchDirectory);
    if (!batch.shutdownRequested && count >= 4) {
        parameters[3] = QDir::cleanPath(launchDir.absoluteFilePath(parameters[3]));
        if (count >= 5)
            parameters[4] = QDir::cleanPath(launchDir.absoluteFilePath(parameters[4]));
    }

    readStartupValues();

    if (batch.batchMode) {
        BatchRun run(*this);
        const bool logOpened = run.openLog(parameters);
        if (!logOpened || batch.shutdownRequested) {
            exitCode_ = 1;
            if (batch.shutdownRequested && logOpened)
                seams_.messages.showMessage(
                    QStringLiteral("        The Sondar will now shut down.     "));
            return batch.shutdownRequested ? StartOutcome::ShutdownRequested
                                           : StartOutcome::BatchFinished;
        }
        exitCode_ = run.run(parameters) ? 0 : 1;
        return StartOutcome::BatchFinished;
    }

    prompts_.install();
    history_.setMaxCount(state_.options.maxWsdlHistory);
    history_.load();
    recentWorkspaces_ = readNumberedList(registry_keys::kWorkSpaceMru, u"WorkSpace");
    return StartOutcome::Interactive;
}

void WorkbenchCore::readStartupValues() {
    Options& options = state_.options;
    QString workingDirectory = readWorkingDirectoryValue();
    if (workingDirectory.isEmpty())
        workingDirectory = defaultWorkingDirectory(state_.programFolder);
    // Always used as a prefix that a file name is appended to.
    workingDirectory.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!workingDirectory.endsWith(QLatin1Char('/')))
        workingDirectory += QLatin1Char('/');
    options.workingDirectory = workingDirectory;
    QDir().mkpath(workingDirectory);
    QDir::setCurrent(workingDirectory);

    readOptions(options, [this](const QString& server, const QString& stored) {
        try {
            return control_.DecryptPassword(server, stored);
        } catch (const std::exception&) {
            return QString();
        }
    });
}

void WorkbenchCore::formClose() {
    if (state_.batch.shutdownRequested)
        return;
    seams_.view.removeChoiceList();
    state_.serviceArray.clear();
    state_.operationArray.clear();
    if (state_.batch.batchMode)
        return;
    writeOptions(state_.options);
    history_.save();
    writeNumberedList(registry_keys::kWorkSpaceMru, u"WorkSpace", recentWorkspaces_);
    state_.knowledgeBaseHits.clear();
}

}  // namespace sondar
