// The main window's side of a call: invoking, the result grid and text view, the SOAP and log
// viewers, and the tool windows in the Window menu.
#include <algorithm>

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableWidget>
#include <QUrl>

#include "workbench/core/commands/other_commands.h"
#include "workbench/dialogs/about_box.h"
#include "workbench/dialogs/data_selector.h"
#include "workbench/dialogs/friendly_name_dialog.h"
#include "workbench/dialogs/log_file_viewer.h"
#include "workbench/dialogs/options_form.h"
#include "workbench/dialogs/print_dialog_seam.h"
#include "workbench/dialogs/soap_msg_viewer.h"
#include "workbench/main/desktop_services.h"
#include "workbench/main/gui_seams.h"
#include "workbench/main/main_form.h"
#include "workbench/main/parameter_tree_view.h"
#include "workbench/dialogs/window_positions.h"
#include "workbench/main/window_menu.h"

namespace sondar {

namespace {

constexpr int kMaxValueColumnWidth = 200;
constexpr int kHeadingWidth = 30;

}  // namespace

void TMainForm::buildResultViews(QWidget* parent) {
    resultViews_ = new QStackedWidget(parent);
    resultViews_->setObjectName(QStringLiteral("ResultViews"));
    const ResultGrid& cells = core_->state().resultGrid;
    grid_ = new QTableWidget(cells.rowCount() - 1, cells.columnCount() - 1, resultViews_);
    grid_->setObjectName(QStringLiteral("ResultGrid"));
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    textView_ = new QPlainTextEdit(resultViews_);
    textView_->setObjectName(QStringLiteral("TextView"));
    textView_->setReadOnly(true);
    textView_->setLineWrapMode(QPlainTextEdit::NoWrap);
    resultViews_->addWidget(grid_);
    resultViews_->addWidget(textView_);

    // The same context menu on both views.
    resultsContextMenu_ = new QMenu(this);
    resultsContextMenu_->setObjectName(QStringLiteral("ResultsPopup"));
    QAction* grid = addCommand(resultsContextMenu_, QStringLiteral("PopupGridView"),
                               tr("&Grid View"), {}, true);
    QAction* text = addCommand(resultsContextMenu_, QStringLiteral("PopupTextView"),
                               tr("&Text View"), {}, true);
    grid->setCheckable(true);
    grid->setChecked(true);
    text->setCheckable(true);
    QAction* clear = addCommand(resultsContextMenu_, QStringLiteral("PopupClearTextView"),
                                tr("Clear Text View"));
    resultsContextMenu_->addSeparator();
    QMenu* saveToFile = resultsContextMenu_->addMenu(tr("Save to File..."));
    saveToFile->setObjectName(QStringLiteral("PopupSaveToFile"));
    QAction* columns =
        addCommand(saveToFile, QStringLiteral("PopupSaveColumns"), tr("Column order"), {}, true);
    QAction* rows =
        addCommand(saveToFile, QStringLiteral("PopupSaveRows"), tr("Row order"), {}, true);
    connect(columns, &QAction::triggered, this,
            [this] { core_->outputFiles().saveGrid(GridOrder::Columns); });
    connect(rows, &QAction::triggered, this,
            [this] { core_->outputFiles().saveGrid(GridOrder::Rows); });
    QAction* exportExcel = addCommand(resultsContextMenu_, QStringLiteral("PopupExportExcel"),
                                      tr("E&xport to Excel..."), {}, true);
    QAction* saveExcel = addCommand(resultsContextMenu_, QStringLiteral("PopupSaveExcel"),
                                    tr("&Save as Excel File..."), {}, true);
    connect(exportExcel, &QAction::triggered, this, [this] { core_->outputFiles().exportExcel(); });
    connect(saveExcel, &QAction::triggered, this, [this] { core_->outputFiles().saveExcel(); });
    core_->outputFiles().setFileOpener(
        [this](const QString& path) { return desktop_->openUrl(QUrl::fromLocalFile(path)); });
    connect(grid, &QAction::triggered, this, &TMainForm::ShowGridView);
    connect(text, &QAction::triggered, this, &TMainForm::ShowTextView);
    connect(clear, &QAction::triggered, this, [this] { core_->invoker().clearTextView(); });
    for (QWidget* view : {static_cast<QWidget*>(grid_), static_cast<QWidget*>(textView_)}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
            resultsContextMenu_->popup(view->mapToGlobal(at));
        });
    }
}

bool TMainForm::gridViewShown() const {
    return resultViews_->currentWidget() == grid_;
}

void TMainForm::ShowGridView() {
    if (gridViewShown()) {
        action(QStringLiteral("GridView"))->setChecked(true);
        action(QStringLiteral("PopupGridView"))->setChecked(true);
        return;
    }
    resultViews_->setCurrentWidget(grid_);
    findChild<QMenu*>(QStringLiteral("PopupSaveToFile"))->setEnabled(true);
    for (const char* name : {"ExportExcel", "SaveExcel", "PopupExportExcel", "PopupSaveExcel"})
        action(QString::fromLatin1(name))->setEnabled(true);
    for (const char* name : {"GridView", "PopupGridView"})
        action(QString::fromLatin1(name))->setChecked(true);
    for (const char* name : {"TextViewMode", "PopupTextView"})
        action(QString::fromLatin1(name))->setChecked(false);
    for (const char* name : {"ClearTextView", "PopupClearTextView"})
        action(QString::fromLatin1(name))->setEnabled(false);
}

void TMainForm::ShowTextView() {
    if (!gridViewShown()) {
        action(QStringLiteral("TextViewMode"))->setChecked(true);
        action(QStringLiteral("PopupTextView"))->setChecked(true);
        return;
    }
    resultViews_->setCurrentWidget(textView_);
    findChild<QMenu*>(QStringLiteral("PopupSaveToFile"))->setEnabled(false);
    for (const char* name : {"ExportExcel", "SaveExcel", "PopupExportExcel", "PopupSaveExcel"})
        action(QString::fromLatin1(name))->setEnabled(false);
    for (const char* name : {"TextViewMode", "PopupTextView"})
        action(QString::fromLatin1(name))->setChecked(true);
    for (const char* name : {"GridView", "PopupGridView"})
        action(QString::fromLatin1(name))->setChecked(false);
    for (const char* name : {"ClearTextView", "PopupClearTextView"})
        action(QString::fromLatin1(name))->setEnabled(true);
    textView_->verticalScrollBar()->setValue(textView_->verticalScrollBar()->maximum());
}

void TMainForm::resultViewsChanged() {
    const ResultGrid& cells = core_->state().resultGrid;
    // The table's own headers are the grid's fixed heading row and column.
    grid_->clearContents();
    grid_->setColumnCount(cells.columnCount() - 1);
    grid_->setRowCount(cells.rowCount() - 1);
    for (int column = 1; column < cells.columnCount(); ++column)
        for (int row = 1; row < cells.rowCount(); ++row) {
            const QString text = cells.cell(column, row);
            if (!text.isEmpty())
                grid_->setItem(row - 1, column - 1, new QTableWidgetItem(text));
        }
    grid_->resizeColumnsToContents();
    grid_->resizeRowsToContents();
    for (int column = 1; column < cells.columnCount(); ++column)
        if (cells.columnHasText(column))
            grid_->setColumnWidth(column - 1,
                                  std::min(grid_->columnWidth(column - 1), kMaxValueColumnWidth));
    grid_->verticalHeader()->setFixedWidth(kHeadingWidth);
    grid_->setCurrentCell(0, 0);

    textView_->setPlainText(core_->state().textLines.join(QLatin1Char('\n')));
    textView_->verticalScrollBar()->setValue(textView_->verticalScrollBar()->maximum());
}

void TMainForm::createSideWindows() {
    aboutBox_ = new TAboutBox(this);
    soapViewer_ = new TSoapMsgViewer(*messages_, *fileDialogs_, *printDialogs_, this);
    soapViewer_->setObjectName(QStringLiteral("SoapMsgViewer"));
    soapViewer_->setWindowFlag(Qt::Window);
    soapViewer_->setWorkingDirectory(core_->state().options.workingDirectory);
    restoreWindowPosition(soapViewer_, soapViewer_->objectName());
    logViewer_ = new TLogFileViewer(*messages_, *fileDialogs_, *printDialogs_, this);
    logViewer_->setObjectName(QStringLiteral("LogFileViewer"));
    logViewer_->setWindowFlag(Qt::Window);
    logViewer_->setWorkingDirectory(core_->state().options.workingDirectory);
    restoreWindowPosition(logViewer_, logViewer_->objectName());
    optionsForm_ = new TOptionsForm(*messages_, this);
    optionsForm_->setHelpOpener([this](int topic) { otherCommands_->openHelpTopic(topic); });
    dataSelector_ = new TPopupForm1(core_->tree(), this);
}

void TMainForm::addToWindowMenu(QWidget* window) {
    windowList_->add(window);
}

void TMainForm::InvokeClick() {
    // The status must be on screen before the window blocks for the call.
    core_->invoker().invoke(selectedNode());
}

void TMainForm::ShowSoapClick() {
    core_->invoker().showSoapMessages(selectedNode());
}

void TMainForm::showSoapMessages(const QString& request, const QString& response) {
    if (!soapViewer_)
        return;
    soapViewer_->showMessages(request, response);
    soapViewer_->show();
    soapViewer_->raise();
    addToWindowMenu(soapViewer_);
}

void TMainForm::ViewLogFileClick() {
    if (!logViewer_)
        return;
    WaitCursor wait(*status_);
    status_->setStatus(QStringLiteral("Viewing Log File..."));
    switch (logViewer_->loadLogFile()) {
        case TLogFileViewer::LoadResult::Loaded:
            logViewer_->show();
            logViewer_->raise();
            addToWindowMenu(logViewer_);
            status_->setStatus(QStringLiteral("View Log File Successful"));
            break;
        case TLogFileViewer::LoadResult::Missing:
            messages_->showMessage(QStringLiteral("       Log file has no entries.       "));
            status_->setStatus(QStringLiteral("Log File Has No Entries"));
            break;
        case TLogFileViewer::LoadResult::Failed:
            status_->setStatus(QStringLiteral("View Log File Failed"));
            messages_->showMessage(QStringLiteral("       Could not load log file.       "));
            break;
    }
}

}  // namespace sondar
