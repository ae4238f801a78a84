// The main window's menus, tool buttons and the tree's context menu. Commands whose features
// arrive later exist already, disabled, so the window's layout is final.
#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>

#include "workbench/dialogs/about_box.h"
#include "workbench/core/analyse/tree_commands.h"
#include "workbench/core/commands/other_commands.h"
#include "workbench/core/printing/print_tree_flow.h"
#include "workbench/dialogs/qt_tree_print_target.h"
#include "workbench/main/clipboard_link.h"
#include "workbench/main/desktop_services.h"
#include "workbench/main/gui_seams.h"
#include "workbench/main/main_form.h"
#include "workbench/main/parameter_tree_model.h"
#include "workbench/main/parameter_tree_view.h"
#include "workbench/main/window_menu.h"

namespace sondar {

QAction* TMainForm::addCommand(QMenu* menu, const QString& objectName, const QString& text,
                               const QKeySequence& shortcut, bool enabled) {
    QAction* action = menu->addAction(text);
    action->setObjectName(objectName);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    action->setEnabled(enabled);
    return action;
}

void TMainForm::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* openWorkspace =
        addCommand(file, QStringLiteral("FileOpenWorkspace"), tr("&Open Workspace..."),
                   QKeySequence(Qt::CTRL | Qt::Key_O), true);
    QAction* saveWorkspace =
        addCommand(file, QStringLiteral("FileSaveWorkspace"), tr("&Save Workspace..."),
                   QKeySequence(Qt::CTRL | Qt::Key_S), true);
    connect(openWorkspace, &QAction::triggered, this,
            [this] { core_->workspaceFiles().openWorkspace(); });
    connect(saveWorkspace, &QAction::triggered, this,
            [this] { core_->workspaceFiles().saveWorkspace(); });
    recentWorkspacesMenu_ = file->addMenu(tr("&Recent Workspaces..."));
    recentWorkspacesMenu_->setObjectName(QStringLiteral("RecentWorkspaces"));
    recentWorkspacesMenu_->setToolTipsVisible(true);
    // The submenu shows only while it lists something, decided as the File menu opens.
    connect(file, &QMenu::aboutToShow, this, [this] {
        recentWorkspacesMenu_->menuAction()->setVisible(!core_->recentWorkspaces().isEmpty());
    });
    file->addSeparator();
    QAction* exit = addCommand(file, QStringLiteral("FileExit"), tr("E&xit"), {}, true);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    favoritesMenu_ = menuBar()->addMenu(tr("F&avorites"));
    favoritesMenu_->setObjectName(QStringLiteral("FavoritesMenu"));
    favoritesMenu_->setToolTipsVisible(true);
    QAction* addFavorite =
        addCommand(favoritesMenu_, QStringLiteral("FavoritesAdd"),
                   tr("Add Current WSDL To Favorites"), QKeySequence(Qt::CTRL | Qt::Key_F), true);
    connect(addFavorite, &QAction::triggered, this, [this] { core_->favorites().addCurrent(); });
    favoritesMenu_->addSeparator();

    QMenu* tree = menuBar()->addMenu(tr("&Tree"));
    QAction* treeInvoke = addCommand(tree, QStringLiteral("TreeInvoke"), tr("Invoke"));
    QAction* treeSave =
        addCommand(tree, QStringLiteral("TreeSaveInput"), tr("Save Operation Input Values..."));
    connect(treeSave, &QAction::triggered, this,
            [this] { core_->inputFiles().saveInput(selectedNode(), false); });
    QAction* treeAdd =
        addCommand(tree, QStringLiteral("TreeAddArrayElement"), tr("Add New Input Array Element"));
    connect(treeInvoke, &QAction::triggered, this, &TMainForm::InvokeClick);
    connect(treeAdd, &QAction::triggered, this, &TMainForm::AddArrayElementClick);
    tree->addSeparator();
    QAction* clearInput =
        addCommand(tree, QStringLiteral("ClearAllInput"), tr("Clear ALL Input Values"), {}, true);
    QAction* clearOutput =
        addCommand(tree, QStringLiteral("ClearAllOutput"), tr("Clear ALL Output Values"), {}, true);
    tree->addSeparator();
    QAction* expand = addCommand(tree, QStringLiteral("ExpandTree"), tr("Expand Tree"), {}, true);
    QAction* collapse =
        addCommand(tree, QStringLiteral("CollapseTree"), tr("Collapse Tree"), {}, true);
    tree->addSeparator();
    QAction* printTree = addCommand(tree, QStringLiteral("TreePrint"), tr("&Print Tree"), {}, true);
    connect(printTree, &QAction::triggered, this, [this] { PrintTreeClick(false); });
    connect(clearInput, &QAction::triggered, this,
            [this] { core_->treeCommands().clearAllValues(MessageDirection::Input); });
    connect(clearOutput, &QAction::triggered, this,
            [this] { core_->treeCommands().clearAllValues(MessageDirection::Output); });
    connect(expand, &QAction::triggered, this, [this] { core_->treeCommands().expandTree(); });
    connect(collapse, &QAction::triggered, this, [this] { core_->treeCommands().collapseTree(); });

    QMenu* dataMenu = menuBar()->addMenu(tr("&Data"));
    QMenu* view = dataMenu->addMenu(tr("View"));
    QAction* gridView = addCommand(view, QStringLiteral("GridView"), tr("&Grid View"), {}, true);
    QAction* textView =
        addCommand(view, QStringLiteral("TextViewMode"), tr("&Text View"), {}, true);
    gridView->setCheckable(true);
    gridView->setChecked(true);
    textView->setCheckable(true);
    QAction* exportExcel =
        addCommand(view, QStringLiteral("ExportExcel"), tr("E&xport to Excel..."), {}, true);
    QAction* saveExcel =
        addCommand(view, QStringLiteral("SaveExcel"), tr("&Save as Excel File..."), {}, true);
    connect(exportExcel, &QAction::triggered, this, [this] { core_->outputFiles().exportExcel(); });
    connect(saveExcel, &QAction::triggered, this, [this] { core_->outputFiles().saveExcel(); });
    QAction* clearText =
        addCommand(dataMenu, QStringLiteral("ClearTextView"), tr("Clear Text View"));
    connect(gridView, &QAction::triggered, this, &TMainForm::ShowGridView);
    connect(textView, &QAction::triggered, this, &TMainForm::ShowTextView);
    connect(clearText, &QAction::triggered, this, [this] { core_->invoker().clearTextView(); });
    QAction* createLink =
        addCommand(dataMenu, QStringLiteral("CreateLink"), tr("Create Link"), {}, true);
    connect(createLink, &QAction::triggered, this, [this] {
        const TNVTreeNode* operation = operationOf(selectedNode());
        if (otherCommands_->createLink(operation ? operation->caption() : QString()))
            copyOleClipboardToDesktop();
    });

    QMenu* tools = menuBar()->addMenu(tr("T&ools"));
    QAction* toolsInvoke = addCommand(tools, QStringLiteral("ToolsInvoke"),
                                      tr("Invoke Web Service"), QKeySequence(Qt::Key_F10));
    QAction* showSoap = addCommand(tools, QStringLiteral("ToolsShowSoap"), tr("Show SOAP Message"),
                                   QKeySequence(Qt::CTRL | Qt::Key_M));
    QAction* viewLog = addCommand(tools, QStringLiteral("ToolsViewLog"), tr("View Log File..."),
                                  QKeySequence(Qt::CTRL | Qt::Key_L), true);
    connect(toolsInvoke, &QAction::triggered, this, &TMainForm::InvokeClick);
    connect(showSoap, &QAction::triggered, this, &TMainForm::ShowSoapClick);
    connect(viewLog, &QAction::triggered, this, &TMainForm::ViewLogFileClick);
    QAction* showWsdl = addCommand(tools, QStringLiteral("ToolsShowWsdl"), tr("Show WSDL"),
                                   QKeySequence(Qt::CTRL | Qt::Key_W), true);
    connect(showWsdl, &QAction::triggered, this, [this] { otherCommands_->showWsdl(); });
    QAction* serviceDoc = addCommand(tools, QStringLiteral("ToolsServiceDoc"),
                                     tr("View WSDL Service Documentation"), {}, true);
    connect(serviceDoc, &QAction::triggered, this, &TMainForm::ShowServiceDocumentation);
    QAction* clearHistory = addCommand(tools, QStringLiteral("ToolsClearHistory"),
                                       tr("Clear WSDL History"), {}, true);
    connect(clearHistory, &QAction::triggered, this, &TMainForm::ClearWsdlHistoryClick);
    tools->addSeparator();
    addCommand(tools, QStringLiteral("ToolsKnowledgeBase"), tr("Knowledge Base..."),
               QKeySequence(Qt::CTRL | Qt::Key_K));
    addCommand(tools, QStringLiteral("ToolsUddi"), tr("UDDI Browser..."),
               QKeySequence(Qt::CTRL | Qt::Key_U));
    tools->addSeparator();
    QAction* options =
        addCommand(tools, QStringLiteral("ToolsOptions"), tr("&Options..."), {}, true);
    connect(options, &QAction::triggered, this, &TMainForm::OptionsClick);

    QMenu* marketplace = menuBar()->addMenu(tr("&Marketplace"));
    addCommand(marketplace, QStringLiteral("MarketShow"), tr("Show Services"),
               QKeySequence(Qt::CTRL | Qt::Key_X));
    addCommand(marketplace, QStringLiteral("MarketPublish"), tr("Publish your Web service"));

    windowMenu_ = menuBar()->addMenu(tr("&Window"));
    windowMenu_->setObjectName(QStringLiteral("WindowMenu"));
    windowList_ = new WindowMenu(windowMenu_, this);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    QAction* helpContents = addCommand(help, QStringLiteral("HelpContents"), tr("Sondar Help"),
                                       QKeySequence(Qt::CTRL | Qt::Key_H), true);
    connect(helpContents, &QAction::triggered, this, [this] { otherCommands_->helpContents(); });
    QAction* tutorial = addCommand(help, QStringLiteral("HelpTutorial"),
                                   tr("&Getting Started Tutorial..."), {}, true);
    connect(tutorial, &QAction::triggered, this, [this] { otherCommands_->tutorial(); });
    QAction* visit =
        addCommand(help, QStringLiteral("HelpVisit"), tr("&Visit Norvale Website"), {}, true);
    connect(visit, &QAction::triggered, this, [this] { otherCommands_->visitWebsite(); });
    QAction* feedback =
        addCommand(help, QStringLiteral("HelpFeedback"), tr("Product &Feedback"), {}, true);
    connect(feedback, &QAction::triggered, this, [this] { otherCommands_->productFeedback(); });
    help->addSeparator();
    QAction* about = addCommand(help, QStringLiteral("HelpAbout"), tr("About..."), {}, true);
    connect(about, &QAction::triggered, this, [this] {
        if (aboutBox_)
            aboutBox_->exec();
    });

    treeContextMenu_ = new QMenu(this);
    treeContextMenu_->setObjectName(QStringLiteral("TreePopup"));
    QMenu* expandMenu = treeContextMenu_->addMenu(tr("Expand..."));
    expandMenu->setObjectName(QStringLiteral("TreePopupExpand"));
    QAction* expandOne = addCommand(expandMenu, QStringLiteral("ExpandItemOnly"),
                                    tr("Expand this item only"), {}, true);
    QAction* expandBelow = addCommand(expandMenu, QStringLiteral("ExpandItemAndChildren"),
                                      tr("Expand this item and all children"), {}, true);
    treeContextMenu_->addSeparator();
    QMenu* inputMenu = treeContextMenu_->addMenu(tr("Input..."));
    inputMenu->setObjectName(QStringLiteral("TreePopupInput"));
    QAction* inputClear = addCommand(inputMenu, QStringLiteral("TreeInputClear"), tr("Clear"));
    QAction* inputSave = addCommand(inputMenu, QStringLiteral("TreeInputSave"), tr("Save"));
    QAction* inputRestore =
        addCommand(inputMenu, QStringLiteral("TreeInputRestore"), tr("Restore"));
    QAction* inputClearAll =
        addCommand(inputMenu, QStringLiteral("TreeInputClearAll"), tr("Clear ALL"));
    QAction* inputSaveAll =
        addCommand(inputMenu, QStringLiteral("TreeInputSaveAll"), tr("Save ALL"));
    QAction* inputRestoreAll =
        addCommand(inputMenu, QStringLiteral("TreeInputRestoreAll"), tr("Restore ALL"));
    QAction* addElement =
        addCommand(inputMenu, QStringLiteral("TreeInputAddElement"), tr("Add new array element"));
    QMenu* outputMenu = treeContextMenu_->addMenu(tr("Output..."));
    outputMenu->setObjectName(QStringLiteral("TreePopupOutput"));
    QAction* outputClear = addCommand(outputMenu, QStringLiteral("TreeOutputClear"), tr("Clear"));
    QAction* outputClearAll =
        addCommand(outputMenu, QStringLiteral("TreeOutputClearAll"), tr("Clear ALL"));
    QAction* displayGrid =
        addCommand(outputMenu, QStringLiteral("TreeDisplayGrid"), tr("Display data in grid"));
    QAction* outputSave = addCommand(outputMenu, QStringLiteral("TreeOutputSave"), tr("Save"));
    QAction* outputSaveAll =
        addCommand(outputMenu, QStringLiteral("TreeOutputSaveAll"), tr("Save ALL"));
    QAction* outputSaveField =
        addCommand(outputMenu, QStringLiteral("TreeOutputSaveField"), tr("Save field to file"));
    QAction* viewResultFile =
        addCommand(outputMenu, QStringLiteral("TreeOutputViewFile"), tr("View result file"));
    connect(outputSave, &QAction::triggered, this,
            [this] { core_->outputFiles().saveOutput(selectedNode(), OutputScope::Operation); });
    connect(outputSaveAll, &QAction::triggered, this, [this] {
        core_->outputFiles().saveOutput(selectedNode(), OutputScope::AllOperations);
    });
    connect(outputSaveField, &QAction::triggered, this,
            [this] { core_->outputFiles().saveOutput(selectedNode(), OutputScope::Field); });
    connect(viewResultFile, &QAction::triggered, this, [this] {
        const QString path = core_->outputFiles().resultFilePath(selectedNode());
        if (!path.isEmpty())
            desktop_->openUrl(QUrl::fromLocalFile(path));
    });
    treeContextMenu_->addSeparator();
    QAction* popupInvoke =
        addCommand(treeContextMenu_, QStringLiteral("TreePopupInvoke"), tr("Invoke"), {}, true);
    QAction* popupPrint =
        addCommand(treeContextMenu_, QStringLiteral("TreePopupPrint"), tr("Print tree"), {}, true);
    QAction* popupPrintNode = addCommand(treeContextMenu_, QStringLiteral("TreePopupPrintNode"),
                                         tr("Print node and children"), {}, true);
    connect(popupPrint, &QAction::triggered, this, [this] { PrintTreeClick(false); });
    connect(popupPrintNode, &QAction::triggered, this, [this] { PrintTreeClick(true); });
    connect(expandOne, &QAction::triggered, this,
            [this] { core_->treeCommands().expandItemOnly(selectedNode()); });
    connect(expandBelow, &QAction::triggered, this,
            [this] { core_->treeCommands().expandItemAndChildren(selectedNode()); });
    connect(inputClear, &QAction::triggered, this, [this] {
        core_->treeCommands().clearOperationValues(selectedNode(), MessageDirection::Input);
    });
    connect(outputClear, &QAction::triggered, this, [this] {
        core_->treeCommands().clearOperationValues(selectedNode(), MessageDirection::Output);
    });
    connect(inputClearAll, &QAction::triggered, clearInput, &QAction::trigger);
    connect(outputClearAll, &QAction::triggered, clearOutput, &QAction::trigger);
    connect(addElement, &QAction::triggered, this, &TMainForm::AddArrayElementClick);
    connect(inputSave, &QAction::triggered, this,
            [this] { core_->inputFiles().saveInput(selectedNode(), false); });
    connect(inputRestore, &QAction::triggered, this,
            [this] { core_->inputFiles().restoreInput(selectedNode(), false); });
    connect(inputSaveAll, &QAction::triggered, this,
            [this] { core_->inputFiles().saveInput(selectedNode(), true); });
    connect(inputRestoreAll, &QAction::triggered, this,
            [this] { core_->inputFiles().restoreInput(selectedNode(), true); });
    connect(displayGrid, &QAction::triggered, this, [this] {
        core_->invoker().displayDataInGrid(selectedNode());
        ShowGridView();
    });
    connect(popupInvoke, &QAction::triggered, this, &TMainForm::InvokeClick);
    // Opening a menu ends the in-place list and the hint.
    for (QMenu* menu : menuBar()->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, &TMainForm::removeChoiceList);
}

void TMainForm::buildToolBar() {
    QToolBar* bar = addToolBar(tr("Commands"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QStyle* s = style();
    auto button = [&](const QString& objectName, QStyle::StandardPixmap icon, const QString& text,
                      const QString& menuAction) {
        QAction* a = bar->addAction(s->standardIcon(icon), text);
        a->setObjectName(objectName);
        if (QAction* same = action(menuAction)) {
            a->setEnabled(same->isEnabled());
            connect(a, &QAction::triggered, same, &QAction::trigger);
            connect(same, &QAction::changed, a, [a, same] { a->setEnabled(same->isEnabled()); });
        }
    };
    button(QStringLiteral("InvokeButton"), QStyle::SP_MediaPlay, tr("Invoke Operation"),
           QStringLiteral("ToolsInvoke"));
    button(QStringLiteral("ShowSoapButton"), QStyle::SP_FileDialogContentsView, tr("Show SOAP"),
           QStringLiteral("ToolsShowSoap"));
    button(QStringLiteral("ViewLogButton"), QStyle::SP_FileDialogDetailedView, tr("View Log File"),
           QStringLiteral("ToolsViewLog"));
    bar->addSeparator();
    button(QStringLiteral("SaveInputButton"), QStyle::SP_DialogSaveButton, tr("Save Input"),
           QStringLiteral("TreeSaveInput"));
    QAction* restore =
        bar->addAction(s->standardIcon(QStyle::SP_DialogOpenButton), tr("Restore Input"));
    restore->setObjectName(QStringLiteral("RestoreInputButton"));
    connect(restore, &QAction::triggered, this,
            [this] { core_->inputFiles().restoreInput(selectedNode(), false); });
    button(QStringLiteral("ClearInputButton"), QStyle::SP_DialogResetButton, tr("Clear Input"),
           QStringLiteral("ClearAllInput"));
    button(QStringLiteral("ClearOutputButton"), QStyle::SP_DialogDiscardButton, tr("Clear Output"),
           QStringLiteral("ClearAllOutput"));
    button(QStringLiteral("PrintTreeButton"), QStyle::SP_ComputerIcon, tr("Print Tree"),
           QStringLiteral("TreePrint"));
    bar->addSeparator();
    button(QStringLiteral("ShowWsdlButton"), QStyle::SP_FileIcon, tr("Show WSDL"),
           QStringLiteral("ToolsShowWsdl"));
    button(QStringLiteral("OptionsButton"), QStyle::SP_FileDialogInfoView, tr("Options"),
           QStringLiteral("ToolsOptions"));
    button(QStringLiteral("HelpButton"), QStyle::SP_MessageBoxQuestion, tr("Help"),
           QStringLiteral("HelpContents"));
    button(QStringLiteral("AboutButton"), QStyle::SP_MessageBoxInformation, tr("About"),
           QStringLiteral("HelpAbout"));
    // The three commands used most keep their words; the rest show pictures with tool tips,
    // so the bar fits the window.
    bool pastFirstGroup = false;
    for (QAction* a : bar->actions()) {
        pastFirstGroup = pastFirstGroup || a->isSeparator();
        if (auto* tool = qobject_cast<QToolButton*>(bar->widgetForAction(a)); tool && pastFirstGroup)
            tool->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
}

void TMainForm::TreeViewContextPopup(const QPoint& position) {
    const QModelIndex at = treeView_->indexAt(position);
    if (at.isValid())
        treeView_->setCurrentIndex(at);
    updateTreeContextMenu(selectedNode(), at.isValid());
    treeContextMenu_->popup(treeView_->viewport()->mapToGlobal(position));
}

void TMainForm::PrintTreeClick(bool nodeAndChildren) {
    QtTreePrintTarget target(*printDialogs_, this);
    printTree({core_->tree(), selectedNode(), locationText(), serviceBoxText(), nodeAndChildren},
              target, *messages_, *status_);
}

}  // namespace sondar
