// What the main window knows between commands: the start-up state, the analysed location and
// service, the engine's lists, the knowledge-base hits, and the batch run's progress.
#pragma once

#include <QString>
#include <QStringList>

#include "workbench/core/invoke/result_grid.h"
#include "workbench/core/seams/credentials_seam.h"
#include "workbench/core/session/options.h"

namespace sondar {

struct BatchState {
    bool batchMode = false;
    bool shutdownRequested = false;
    bool stillGood = false;
    QString reason;
    QString logPath;
    QString wsdl, service, operation, inputFile;
    // The first failure of a run becomes its reason; later ones are ignored.
    void fail(const QString& why) {
        stillGood = false;
        if (reason.isEmpty())
            reason = why;
    }
};

struct MainState {
    QString programFolder;  // ends in "/"
    Options options;
    BatchState batch;

    QString currentWsdl;  // as last analysed, trimmed
    QString previousWsdl;
    QString currentService;
    int selectedServiceIndex = 0;
    QStringList serviceArray;    // name, documentation, name, ...
    QStringList operationArray;  // name, documentation, name, ...
    QStringList operationNames;
    QStringList serviceDocumentation;
    QStringList knowledgeBaseHits;  // name=value
    bool knowledgeBaseFound = false;
    QString lastEngineError;
    bool treeExists = false;
    // Cleared while values are restored from a file: selection changes then open no choice
    // list, the date picker stays closed and a rebuilt subtree selects nothing.
    bool treeInteraction = true;

    // The result views: the grid, and the text view's lines (kept until cleared).
    ResultGrid resultGrid;
    QStringList textLines;
    // The operation whose output the grid shows (stored in workspaces); empty for none.
    QString gridOperation;
    // The location box was edited since the last analyse or workspace open.
    bool locationEdited = false;
    Credentials basicAuth;  // what the user last gave the basic-authentication dialog
};

}  // namespace sondar
