// The main window: location box, "Analyze", "Services:" box, the parameter tree, the result
// grid and text view, menus and tool buttons, the status panel. A thin layer: the work is
// done by the core's units, the window shows their state and wires widgets to them.
#pragma once

#include <memory>

#include <QMainWindow>

#include "workbench/core/seams/clock.h"
#include "workbench/core/session/main_view.h"
#include "workbench/core/session/workbench_core.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTableWidget;
class QTreeView;

namespace sondar {

class TAboutBox;
class TBasicAuthDialog;
class TFriendlyNameDlg;
class TLogFileViewer;
class TOptionsForm;
class TPopupForm1;
class TSoapMsgViewer;

class DialogCredentials;
class DesktopServices;
class DialogNames;
class OtherCommands;
class WindowMenu;
class GuiFileDialogs;
class GuiMessages;
class GuiStatus;
class InPlaceChoiceList;
class ParameterTreeModel;
class ParameterTreeView;
class QtPrintDialogs;

class TMainForm final : public QMainWindow, public MainView {
    Q_OBJECT

  public:
    // `clock` (not owned, may be null for the system clock) times invocations and dates logs.
    explicit TMainForm(QWidget* parent = nullptr, const Clock* clock = nullptr);
    ~TMainForm() override;

    // Start-up (and, with four or five parameters, the batch run). The caller shows the
    // window only for StartOutcome::Interactive.
    StartOutcome FormCreate(const LaunchInfo& launch);

    WorkbenchCore& core() { return *core_; }
    OtherCommands& otherCommands() { return *otherCommands_; }
    GuiStatus& statusSeam() { return *status_; }
    ParameterTreeView* treeView() const { return treeView_; }
    ParameterTreeModel* treeModel() const { return model_; }
    QComboBox* locationBox() const { return locationBox_; }
    QComboBox* servicesBox() const { return servicesBox_; }
    QPushButton* analyzeButton() const { return analyzeButton_; }
    QTableWidget* resultGrid() const { return grid_; }
    QPlainTextEdit* textView() const { return textView_; }
    TAboutBox* aboutBox() const { return aboutBox_; }
    TLogFileViewer* logViewer() const { return logViewer_; }
    TSoapMsgViewer* soapViewer() const { return soapViewer_; }
    TPopupForm1* dataSelector() const { return dataSelector_; }
    TOptionsForm* optionsForm() const { return optionsForm_; }
    QMenu* favoritesMenu() const { return favoritesMenu_; }
    QMenu* windowMenu() const { return windowMenu_; }
    InPlaceChoiceList& choiceList() { return *choiceList_; }
    bool gridViewShown() const;
    // The action of a menu entry or tool button by its object name.
    QAction* action(const QString& objectName) const;

    // MainView
    QString locationText() const override;
    void setLocationText(const QString& text) override;
    QString serviceBoxText() const override;
    void setServices(const QStringList& names, int selectedIndex, const QString& toolTip) override;
    void wsdlHistoryChanged() override;
    void recentWorkspacesChanged() override { rebuildRecentWorkspacesMenu(); }
    void favoritesChanged() override { rebuildFavoritesMenu(); }
    void removeChoiceList() override;
    void expandNode(TNVTreeNode* node) override;
    void expandAllBelow(TNVTreeNode* node) override;
    void collapseAllBelow(TNVTreeNode* node) override;
    void setTreeVisible(bool visible) override;
    void openFieldEditor(TNVTreeNode* field) override;
    void setTreeCommandsEnabled(bool enabled) override;
    void resetResultGrid() override;
    void selectNode(TNVTreeNode* node) override;
    void endEditing() override;
    void resultViewsChanged() override;
    void showSoapMessages(const QString& request, const QString& response) override;

  public slots:
    void AnalyzeButtonClick();
    void ServicesBoxSelect(int index);
    void TreeViewContextPopup(const QPoint& position);
    // The selected service's documentation in a hint below the "Services:" box.
    void ShowServiceDocumentation();
    void InvokeClick();
    void ShowSoapClick();
    void ViewLogFileClick();
    void AddArrayElementClick();
    // Tools "Options...": the options dialog; a confirmed dialog's General and Log File
    // values become the window's own.
    void OptionsClick();
    void ClearWsdlHistoryClick();
    // The tree's listing through the print dialog: whole, or (with `nodeAndChildren`) from
    // the selected node down.
    void PrintTreeClick(bool nodeAndChildren);
    void ShowGridView();
    void ShowTextView();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void buildMenus();
    void buildToolBar();
    QAction* addCommand(QMenu* menu, const QString& objectName, const QString& text,
                        const QKeySequence& shortcut = {}, bool enabled = false);
    void rebuildRecentWorkspacesMenu();
    void rebuildFavoritesMenu();
    void buildLocationContextMenu();
    TNVTreeNode* selectedNode() const;
    void showHint(const QString& text, const QPoint& globalTopLeft, QWidget* owner);
    void buildResultViews(QWidget* parent);
    void createSideWindows();
    void addToWindowMenu(QWidget* window);
    // Positions of the main window and of the tool windows open now, at the main window's
    // close.
    void saveWindowPositions();

    // Editing in the tree.
    void wireTreeEditing();
    void TreeViewExpanded(const QModelIndex& index);
    void TreeViewChange(const QModelIndex& current);
    void TreeViewDblClick(const QModelIndex& index);
    void TreeViewClick(const QModelIndex& index);
    // Opens the editor of a value node: the date picker for date-times, else the text editor.
    void beginValueEdit(TNVTreeNode* valueNode);
    void updateTreeContextMenu(TNVTreeNode* node, bool overNode);
    void forgetEditedNodes();

    SystemClock systemClock_;
    const Clock& clock_;
    std::unique_ptr<GuiMessages> messages_;
    std::unique_ptr<GuiStatus> status_;
    std::unique_ptr<DialogCredentials> credentials_;
    std::unique_ptr<GuiFileDialogs> fileDialogs_;
    std::unique_ptr<DialogNames> nameDialogs_;
    std::unique_ptr<QtPrintDialogs> printDialogs_;
    std::unique_ptr<InPlaceChoiceList> choiceList_;
    std::unique_ptr<WorkbenchCore> core_;
    std::unique_ptr<DesktopServices> desktop_;
    std::unique_ptr<OtherCommands> otherCommands_;

    QComboBox* locationBox_ = nullptr;
    QPushButton* analyzeButton_ = nullptr;
    QComboBox* servicesBox_ = nullptr;
    ParameterTreeView* treeView_ = nullptr;
    ParameterTreeModel* model_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QPlainTextEdit* textView_ = nullptr;
    QStackedWidget* resultViews_ = nullptr;
    QMenu* resultsContextMenu_ = nullptr;
    QSplitter* mainSplitter_ = nullptr;
    QMenu* recentWorkspacesMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    WindowMenu* windowList_ = nullptr;
    QMenu* favoritesMenu_ = nullptr;
    QMenu* treeContextMenu_ = nullptr;

    TBasicAuthDialog* basicAuthDialog_ = nullptr;
    TAboutBox* aboutBox_ = nullptr;
    TFriendlyNameDlg* friendlyNameDialog_ = nullptr;
    TLogFileViewer* logViewer_ = nullptr;
    TSoapMsgViewer* soapViewer_ = nullptr;
    TPopupForm1* dataSelector_ = nullptr;
    TOptionsForm* optionsForm_ = nullptr;
    bool shutdown_ = false;
    // Set while the core expands nodes: only the user's expansions open value editors.
    bool programmaticExpand_ = false;
};

}  // namespace sondar
