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
class QTableWidget;
class QTreeView;

namespace sondar {

class TAboutBox;
class TBasicAuthDialog;
class TFriendlyNameDlg;

class DialogCredentials;
class GuiMessages;
class GuiStatus;
class ParameterTreeModel;

class TMainForm final : public QMainWindow, public MainView {
    Q_OBJECT

  public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Start-up (and, with four or five parameters, the batch run). The caller shows the
    // window only for StartOutcome::Interactive.
    StartOutcome FormCreate(const LaunchInfo& launch);

    WorkbenchCore& core() { return *core_; }
    GuiStatus& statusSeam() { return *status_; }
    QTreeView* treeView() const { return treeView_; }
    ParameterTreeModel* treeModel() const { return model_; }
    QComboBox* locationBox() const { return locationBox_; }
    QComboBox* servicesBox() const { return servicesBox_; }
    QPushButton* analyzeButton() const { return analyzeButton_; }
    QTableWidget* resultGrid() const { return grid_; }
    TAboutBox* aboutBox() const { return aboutBox_; }
    // The action of a menu entry or tool button by its object name.
    QAction* action(const QString& objectName) const;

    // MainView
    QString locationText() const override;
    void setLocationText(const QString& text) override;
    QString serviceBoxText() const override;
    void setServices(const QStringList& names, int selectedIndex, const QString& toolTip) override;
    void wsdlHistoryChanged() override;
    void removeChoiceList() override {}
    void expandNode(TNVTreeNode* node) override;
    void collapseNode(TNVTreeNode* node) override;
    void expandAllBelow(TNVTreeNode* node) override;
    void collapseAllBelow(TNVTreeNode* node) override;
    void setTreeVisible(bool visible) override;
    void openFieldEditor(TNVTreeNode* field) override;
    void setTreeCommandsEnabled(bool enabled) override;
    void resetResultGrid() override;

  public slots:
    void AnalyzeButtonClick();
    void ServicesBoxSelect(int index);
    void TreeViewContextPopup(const QPoint& position);
    // The selected service's documentation in a hint below the "Services:" box.
    void ShowServiceDocumentation();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void buildMenus();
    void buildToolBar();
    QAction* addCommand(QMenu* menu, const QString& objectName, const QString& text,
                        const QKeySequence& shortcut = {}, bool enabled = false);
    void restorePosition();
    void savePosition();
    void rebuildRecentWorkspacesMenu();
    TNVTreeNode* selectedNode() const;
    void showHint(const QString& text, const QPoint& globalTopLeft, QWidget* owner);

    SystemClock clock_;
    std::unique_ptr<GuiMessages> messages_;
    std::unique_ptr<GuiStatus> status_;
    std::unique_ptr<DialogCredentials> credentials_;
    std::unique_ptr<WorkbenchCore> core_;

    QComboBox* locationBox_ = nullptr;
    QPushButton* analyzeButton_ = nullptr;
    QComboBox* servicesBox_ = nullptr;
    QTreeView* treeView_ = nullptr;
    ParameterTreeModel* model_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QPlainTextEdit* textView_ = nullptr;
    QSplitter* mainSplitter_ = nullptr;
    QMenu* recentWorkspacesMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QMenu* treeContextMenu_ = nullptr;

    TBasicAuthDialog* basicAuthDialog_ = nullptr;
    TAboutBox* aboutBox_ = nullptr;
    TFriendlyNameDlg* friendlyNameDialog_ = nullptr;
    bool shutdown_ = false;
};

}  // namespace sondar
