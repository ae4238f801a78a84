#include "workbench/main/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolTip>
#include <QTreeView>
#include <QVBoxLayout>

#include "workbench/core/commands/other_commands.h"
#include "workbench/core/session/app_info.h"
#include "workbench/core/tree/documentation_text.h"
#include "workbench/dialogs/about_box.h"
#include "workbench/dialogs/basic_auth_dialog.h"
#include "workbench/dialogs/data_selector.h"
#include "workbench/dialogs/friendly_name_dialog.h"
#include "workbench/dialogs/log_file_viewer.h"
#include "workbench/dialogs/print_dialog_seam.h"
#include "workbench/dialogs/soap_msg_viewer.h"
#include "workbench/dialogs/window_positions.h"
#include "workbench/main/choice_list.h"
#include "workbench/main/desktop_services.h"
#include "workbench/main/gui_seams.h"
#include "workbench/main/parameter_tree_model.h"
#include "workbench/main/parameter_tree_view.h"

namespace sondar {

namespace {

// The grid's size counting its fixed heading row and column, which the table's own headers
// show: cell (1,1) of the grid is the table's cell (0,0).
constexpr int kGridColumns = 27;
constexpr int kGridRows = 65;
constexpr int kHeadingWidth = 30;

}  // namespace

TMainForm::TMainForm(QWidget* parent, const Clock* clock)
    : QMainWindow(parent), clock_(clock ? *clock : systemClock_) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(appinfo::applicationTitle());
    setWindowIcon(QIcon(QStringLiteral(":/images/sondar.png")));
    messages_ = std::make_unique<GuiMessages>(this);
    status_ = std::make_unique<GuiStatus>(statusBar());
    basicAuthDialog_ = new TBasicAuthDialog(this);
    credentials_ = std::make_unique<DialogCredentials>(basicAuthDialog_);
    fileDialogs_ = std::make_unique<GuiFileDialogs>(this);
    friendlyNameDialog_ = new TFriendlyNameDlg(*messages_, this);
    nameDialogs_ = std::make_unique<DialogNames>(friendlyNameDialog_);
    printDialogs_ = std::make_unique<QtPrintDialogs>();
    choiceList_ = std::make_unique<InPlaceChoiceList>();
    core_ = std::make_unique<WorkbenchCore>(
        WorkbenchSeams{*this, *messages_, *status_, *credentials_, clock_, fileDialogs_.get(),
                       nameDialogs_.get()});
    desktop_ = std::make_unique<DesktopServices>();
    otherCommands_ = std::make_unique<OtherCommands>(core_->context(), *desktop_);
    buildControls();
    buildMenus();
    buildToolBar();
    wireTreeEditing();
}

TMainForm::~TMainForm() {
    forgetEditedNodes();
    // The model observes the core's tree: detach it before the tree goes.
    treeView_->setModel(nullptr);
    delete model_;
    model_ = nullptr;
}

StartOutcome TMainForm::FormCreate(const LaunchInfo& launch) {
    const StartOutcome outcome = core_->formCreate(launch);
    if (outcome != StartOutcome::Interactive) {
        shutdown_ = true;
        return outcome;
    }
    restoreWindowPosition(this, objectName());
    createSideWindows();
    wsdlHistoryChanged();
    rebuildRecentWorkspacesMenu();
    rebuildFavoritesMenu();
    grid_->verticalHeader()->setFixedWidth(kHeadingWidth);
    return outcome;
}

void TMainForm::buildControls() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 0);

    auto* locationRow = new QHBoxLayout;
    auto* wsdlLabel = new QLabel(tr("WSDL:"), central);
    locationBox_ = new QComboBox(central);
    locationBox_->setObjectName(QStringLiteral("WSDLLocation"));
    locationBox_->setEditable(true);
    locationBox_->setInsertPolicy(QComboBox::NoInsert);
    locationBox_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    locationBox_->lineEdit()->setPlaceholderText(
        tr("WSDL location, e.g. http://host/service?wsdl"));
    wsdlLabel->setBuddy(locationBox_);
    analyzeButton_ = new QPushButton(tr("Analyze"), central);
    analyzeButton_->setObjectName(QStringLiteral("AnalyzeButton"));
    analyzeButton_->setDefault(true);
    auto* servicesLabel = new QLabel(tr("Services:"), central);
    servicesBox_ = new QComboBox(central);
    servicesBox_->setObjectName(QStringLiteral("ServicesBox"));
    servicesBox_->setMinimumContentsLength(18);
    servicesBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    servicesBox_->setContextMenuPolicy(Qt::CustomContextMenu);
    servicesLabel->setBuddy(servicesBox_);
    locationRow->addWidget(wsdlLabel);
    locationRow->addWidget(locationBox_, 1);
    locationRow->addWidget(analyzeButton_);
    locationRow->addSpacing(12);
    locationRow->addWidget(servicesLabel);
    locationRow->addWidget(servicesBox_);
    layout->addLayout(locationRow);

    mainSplitter_ = new QSplitter(Qt::Horizontal, central);
    treeView_ = new ParameterTreeView(mainSplitter_);
    treeView_->setObjectName(QStringLiteral("TreeView"));
    treeView_->setContextMenuPolicy(Qt::CustomContextMenu);
    model_ = new ParameterTreeModel(core_->tree(), core_->editor(), this);
    treeView_->setModel(model_);
    mainSplitter_->addWidget(treeView_);
    buildResultViews(mainSplitter_);
    mainSplitter_->setStretchFactor(0, 2);
    mainSplitter_->setStretchFactor(1, 3);
    layout->addWidget(mainSplitter_, 1);
    setCentralWidget(central);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    resize(1100, 720);

    connect(analyzeButton_, &QPushButton::clicked, this, &TMainForm::AnalyzeButtonClick);
    connect(locationBox_->lineEdit(), &QLineEdit::returnPressed, this,
            &TMainForm::AnalyzeButtonClick);
    // An edited location no longer matches the tree: saving a workspace needs an analyse.
    connect(locationBox_->lineEdit(), &QLineEdit::textEdited, this,
            [this] { core_->state().locationEdited = true; });
    // So does a location chosen from the history list.
    connect(locationBox_, &QComboBox::textActivated, this,
            [this] { core_->state().locationEdited = true; });
    connect(servicesBox_, &QComboBox::activated, this, &TMainForm::ServicesBoxSelect);
    connect(treeView_, &ParameterTreeView::customContextMenuRequested, this,
            &TMainForm::TreeViewContextPopup);
    connect(servicesBox_, &QComboBox::customContextMenuRequested, this,
            &TMainForm::ShowServiceDocumentation);
    treeView_->viewport()->installEventFilter(this);
    buildLocationContextMenu();
}

void TMainForm::showHint(const QString& text, const QPoint& globalTopLeft, QWidget* owner) {
    if (text.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    // Rich text wraps, keeping the hint narrow; the line breaks of the text stay.
    QToolTip::showText(globalTopLeft, Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal), owner);
}

void TMainForm::ShowServiceDocumentation() {
    const QString text = serviceDocumentation(servicesBox_->currentIndex(),
                                              servicesBox_->currentText(), core_->state());
    showHint(text,
             servicesBox_->mapToGlobal(QPoint(servicesBox_->width() / 2, servicesBox_->height())),
             servicesBox_);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == treeView_->viewport() && event->type() == QEvent::ToolTip) {
        const QPoint at = static_cast<QHelpEvent*>(event)->pos();
        const QModelIndex index = treeView_->indexAt(at);
        const QString text = nodeDocumentation(model_->nodeFromIndex(index), core_->state());
        showHint(text, treeView_->viewport()->mapToGlobal(treeView_->visualRect(index).topRight()),
                 treeView_->viewport());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

QString TMainForm::locationText() const {
    return locationBox_->currentText();
}

void TMainForm::setLocationText(const QString& text) {
    locationBox_->setEditText(text);
}

QString TMainForm::serviceBoxText() const {
    return servicesBox_->currentText();
}

void TMainForm::setServices(const QStringList& names, int selectedIndex, const QString& toolTip) {
    const QSignalBlocker block(servicesBox_);
    servicesBox_->clear();
    servicesBox_->addItems(names);
    servicesBox_->setCurrentIndex(names.isEmpty() ? -1 : selectedIndex);
    servicesBox_->setToolTip(toolTip);
}

void TMainForm::wsdlHistoryChanged() {
    const QString text = locationBox_->currentText();
    const QSignalBlocker block(locationBox_);
    locationBox_->clear();
    locationBox_->addItems(core_->history().entries());
    locationBox_->setEditText(text);
}

void TMainForm::expandNode(TNVTreeNode* node) {
    treeView_->expand(model_->indexOf(node));
}

void TMainForm::expandAllBelow(TNVTreeNode* node) {
    programmaticExpand_ = true;
    treeView_->expandRecursively(model_->indexOf(node));
    programmaticExpand_ = false;
}

void TMainForm::collapseAllBelow(TNVTreeNode* node) {
    forEachNode(node, [this](TNVTreeNode* n) {
        if (n->hasChildren())
            treeView_->collapse(model_->indexOf(n));
    });
}

void TMainForm::setTreeVisible(bool visible) {
    treeView_->setUpdatesEnabled(visible);
    treeView_->setVisible(visible);
}

void TMainForm::openFieldEditor(TNVTreeNode* field) {
    treeView_->setFocus();
    const QModelIndex fieldIndex = model_->indexOf(field);
    if (treeView_->isExpanded(fieldIndex))
        TreeViewExpanded(fieldIndex);
    else
        treeView_->expand(fieldIndex);  // the expand handler opens the value's editor
}

void TMainForm::selectNode(TNVTreeNode* node) {
    const QModelIndex index = model_->indexOf(node);
    programmaticExpand_ = true;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        treeView_->expand(up);
    programmaticExpand_ = false;
    treeView_->setCurrentIndex(index);
    treeView_->scrollTo(index);
}

void TMainForm::endEditing() {
    treeView_->finishEditing();
}

void TMainForm::removeChoiceList() {
    choiceList_->remove();
    QToolTip::hideText();
}

void TMainForm::setTreeCommandsEnabled(bool enabled) {
    for (const char* name : {"TreeInputClear", "TreeOutputClear", "TreeInvoke", "ToolsInvoke",
                             "TreeSaveInput", "TreePopupInvoke", "TreeAddArrayElement",
                             "TreeInputAddElement", "ToolsShowSoap", "TreeDisplayGrid"})
        if (QAction* a = action(QString::fromLatin1(name)))
            a->setEnabled(enabled);
}

void TMainForm::resetResultGrid() {
    ResultGrid& cells = core_->state().resultGrid;
    cells.clear();
    cells.resize(2, 2);
    cells.resize(kGridColumns, kGridRows);
    grid_->clearContents();
    grid_->setColumnCount(1);
    grid_->setRowCount(1);
    grid_->setColumnCount(kGridColumns - 1);
    grid_->setRowCount(kGridRows - 1);
    grid_->setCurrentCell(0, 0);
}

QAction* TMainForm::action(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

TNVTreeNode* TMainForm::selectedNode() const {
    return model_->nodeFromIndex(treeView_->currentIndex());
}

void TMainForm::AnalyzeButtonClick() {
    core_->analyzer().analyze();
}

void TMainForm::ServicesBoxSelect(int index) {
    core_->analyzer().serviceChanged(index, servicesBox_->itemText(index));
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!shutdown_) {
        if (logViewer_)
            core_->state().options.logViewerFont = logViewer_->currentFontSetting();
        if (soapViewer_)
            core_->state().options.soapViewerFont = soapViewer_->currentFontSetting();
        core_->formClose();
        if (!core_->state().batch.batchMode)
            saveWindowPositions();
    }
    event->accept();
}

}  // namespace sondar
