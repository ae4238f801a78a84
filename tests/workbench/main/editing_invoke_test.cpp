// Filling in values and invoking through the real main window (offscreen): the value editor,
// the in-place choice list, the date picker, new array elements, dropped values, the context
// menu, invoking with F10, the result views and the viewers.
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTableWidget>
#include <QtTest>

#include "platform/com/activation.h"
#include "tests/support/registry_sandbox.h"
#include "tests/workbench/support/workbench_harness.h"
#include "tests/workbench/support/wsdl_documents.h"
#include "workbench/dialogs/data_selector.h"
#include "workbench/dialogs/log_file_viewer.h"
#include "workbench/dialogs/soap_msg_viewer.h"
#include "workbench/main/choice_list.h"
#include "workbench/main/gui_seams.h"
#include "workbench/main/main_form.h"
#include "workbench/main/parameter_tree_model.h"
#include "workbench/main/parameter_tree_view.h"
#include "workbench/resources/resources_init.h"

using namespace sondar;

class EditingInvokeTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void expandingAFieldOpensItsValueForTyping();
    void enumerationsArePickedFromTheInPlaceList();
    void dateTimesArePickedWithTheDataSelector();
    void arraysGrowFromTheContextMenuAndValuesCanBeDropped();
    void theContextMenuEnablesWhatApplies();
    void aDoubleClickExpandsTheWholeBranch();
    void f10InvokesAndTheResultViewsShowTheAnswer();
    void theViewersShowTheCallAndTheLog();
    void inputValuesAreSavedAndRestoredFromTheMenus();
    void workspacesAreSavedAndReopenedFromTheFileMenu();

  private:
    TNVTreeNode* node(const QString& path) {
        return test::nodeAt(form_->core().tree().root(), path);
    }
    QModelIndex indexOf(const QString& path) { return form_->treeModel()->indexOf(node(path)); }

    std::unique_ptr<nv::test::RegistrySandbox> registry_;
    std::unique_ptr<test::WsdlDocuments> documents_;
    test::FixedClock clock_;
    std::unique_ptr<TMainForm> form_;
};

void EditingInvokeTest::initTestCase() {
    initResources();
    QVERIFY(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    documents_ = std::make_unique<test::WsdlDocuments>();
}

void EditingInvokeTest::init() {
    registry_ = std::make_unique<nv::test::RegistrySandbox>();
    QVERIFY(test::registerComponentServer());
    GuiMessages::setScripted(true);
    form_ = std::make_unique<TMainForm>(nullptr, &clock_);
    QCOMPARE(form_->FormCreate(LaunchInfo{{}, QString::fromStdString(registry_->dir()), {}}),
             StartOutcome::Interactive);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    // A window activated later would take the focus from an open value editor, closing it.
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    QTest::keyClicks(form_->locationBox()->lineEdit(), documents_->url("/orders.wsdl").c_str());
    QTest::keyClick(form_->locationBox()->lineEdit(), Qt::Key_Return);
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Analyzing... Successful"));
}

void EditingInvokeTest::cleanup() {
    form_.reset();
    registry_.reset();
}

void EditingInvokeTest::cleanupTestCase() {
    documents_.reset();
    CoUninitialize();
}

void EditingInvokeTest::expandingAFieldOpensItsValueForTyping() {
    // The user expands the field with the keyboard: its value opens for typing.
    for (const char* path : {"PlaceOrder", "PlaceOrder/Input", "PlaceOrder/Input/PlaceOrder"})
        form_->treeView()->expand(indexOf(path));
    form_->treeView()->setFocus();
    form_->treeView()->setCurrentIndex(indexOf("PlaceOrder/Input/PlaceOrder/customer"));
    QTest::keyClick(form_->treeView(), Qt::Key_Right);
    QTRY_VERIFY(form_->treeView()->isEditing());
    QCOMPARE(form_->treeModel()->nodeFromIndex(form_->treeView()->currentIndex()),
             node("PlaceOrder/Input/PlaceOrder/customer")->firstChild());
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QTest::keyClicks(editor, "Ada Lovelace");
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits on its next turn of the event loop.
    QTRY_VERIFY(!form_->treeView()->isEditing());
    TNVTreeNode* customer = node("PlaceOrder/Input/PlaceOrder/customer");
    QCOMPARE(customer->firstChild()->caption(), QString("Ada Lovelace"));
    QCOMPARE(customer->message().theData(), QString("Ada Lovelace"));

    // Outputs are read-only; expanding an output field opens nothing.
    const QModelIndex accepted = indexOf("PlaceOrder/Output/PlaceOrderResponse/accepted");
    form_->treeView()->expand(accepted);
    QCoreApplication::processEvents();
    QVERIFY(!form_->treeView()->isEditing());
    QVERIFY(!(form_->treeModel()->flags(form_->treeModel()->index(0, 0, accepted)) &
              Qt::ItemIsEditable));
}

void EditingInvokeTest::enumerationsArePickedFromTheInPlaceList() {
    form_->treeView()->finishEditing();
    const QModelIndex value =
        form_->treeModel()->index(0, 0, indexOf("PlaceOrder/Input/PlaceOrder/priority"));
    form_->treeView()->setCurrentIndex(value);
    QComboBox* list = form_->choiceList().widget();
    QVERIFY(list);
    QVERIFY(list->isVisible());
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->itemText(2), QString("Very High"));
    QCOMPARE(list->maxVisibleItems(), 8);
    QVERIFY(list->width() >= 115);
    // Next to the node's text, never over it.
    QVERIFY(list->x() > form_->treeView()->visualRect(value).right());
    QTest::keyClick(list, Qt::Key_End);
    QCOMPARE(node("PlaceOrder/Input/PlaceOrder/priority")->firstChild()->caption(),
             QString("Very High"));
    QCOMPARE(node("PlaceOrder/Input/PlaceOrder/priority")->message().theData(),
             QString("Very High"));
    // Another selection removes the list.
    form_->treeView()->setCurrentIndex(indexOf("PlaceOrder/Input/PlaceOrder/customer"));
    QTRY_VERIFY(!form_->choiceList().widget());
}

void EditingInvokeTest::dateTimesArePickedWithTheDataSelector() {
    form_->treeView()->finishEditing();
    form_->treeView()->expand(indexOf("PlaceOrder/Input/PlaceOrder/due"));
    TPopupForm1* selector = form_->dataSelector();
    QTRY_VERIFY(selector->isVisible());
    TNVTreeNode* due = node("PlaceOrder/Input/PlaceOrder/due");
    QCOMPARE(selector->node(), due->firstChild());
    QVERIFY2(!form_->treeView()->isEditing(), "no text editor for a date-time");
    auto* picker = selector->findChild<QDateTimeEdit*>("DateTimePicker1");
    QVERIFY(picker);
    QCOMPARE(picker->date(), QDate::currentDate());
    picker->setDateTime(QDateTime(QDate(2004, 5, 6), QTime(0, 0)));
    QCOMPARE(due->firstChild()->caption(), QString("2004-05-06T00:00:00"));
    QCOMPARE(due->message().theData(), QString("2004-05-06T00:00:00"));
    QVERIFY(due->firstChild()->DatePicked);
}

void EditingInvokeTest::arraysGrowFromTheContextMenuAndValuesCanBeDropped() {
    form_->treeView()->finishEditing();
    form_->treeView()->setCurrentIndex(indexOf("PlaceOrder/Input/PlaceOrder/line [1]"));
    form_->action("TreeInputAddElement")->setEnabled(true);
    form_->action("TreeInputAddElement")->trigger();
    QVERIFY(node("PlaceOrder/Input/PlaceOrder/line [2]"));
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Analyzing... Successful"));
    const QModelIndex current = form_->treeView()->currentIndex();
    QCOMPARE(current.data().toString(), QString("line"));
    QCOMPARE(current.parent().data().toString(), QString("line [2]"));

    // A value dragged from any tree lands in an input value as if typed.
    auto mime = std::make_unique<QMimeData>();
    mime->setText("SKU-42");
    const QModelIndex sku =
        form_->treeModel()->index(0, 0, indexOf("PlaceOrder/Input/PlaceOrder/line [2]/line/sku"));
    QVERIFY(form_->treeModel()->canDropMimeData(mime.get(), Qt::CopyAction, -1, 0, sku));
    form_->treeModel()->dropMimeData(mime.get(), Qt::CopyAction, -1, 0, sku);
    QCOMPARE(node("PlaceOrder/Input/PlaceOrder/line [2]/line/sku")->message().theData(),
             QString("SKU-42"));
    // Never onto an output value or a field node.
    const QModelIndex output =
        form_->treeModel()->index(0, 0, indexOf("PlaceOrder/Output/PlaceOrderResponse/accepted"));
    QVERIFY(!form_->treeModel()->canDropMimeData(mime.get(), Qt::CopyAction, -1, 0, output));
    QVERIFY(!form_->treeModel()->canDropMimeData(mime.get(), Qt::CopyAction, -1, 0,
                                                 indexOf("PlaceOrder/Input/PlaceOrder/customer")));
}

void EditingInvokeTest::theContextMenuEnablesWhatApplies() {
    form_->treeView()->finishEditing();
    const auto openOn = [this](const QString& path) {
        const QModelIndex at = indexOf(path);
        form_->treeView()->scrollTo(at);
        form_->TreeViewContextPopup(form_->treeView()->visualRect(at).center());
        auto* popup = form_->findChild<QMenu*>("TreePopup");
        popup->hide();
    };
    openOn("PlaceOrder");
    QVERIFY(form_->action("TreeInputClear")->isEnabled());
    QVERIFY(form_->action("TreeOutputClear")->isEnabled());
    QVERIFY(form_->action("TreeDisplayGrid")->isEnabled());
    QVERIFY(!form_->action("TreeInputAddElement")->isEnabled());
    QVERIFY(!form_->action("TreeInputClearAll")->isEnabled());
    openOn("PlaceOrder/Input/PlaceOrder/line [1]");
    QVERIFY(form_->action("TreeInputAddElement")->isEnabled());
    QVERIFY(!form_->action("TreeInputClear")->isEnabled());
    openOn("");  // the root
    QVERIFY(form_->action("TreeInputClearAll")->isEnabled());
    QVERIFY(form_->action("TreeOutputClearAll")->isEnabled());
    QVERIFY(!form_->action("TreeDisplayGrid")->isEnabled());
}

void EditingInvokeTest::aDoubleClickExpandsTheWholeBranch() {
    for (const char* path : {"PlaceOrder", "PlaceOrder/Input", "PlaceOrder/Input/PlaceOrder"})
        form_->treeView()->expand(indexOf(path));
    const QModelIndex package = indexOf("PlaceOrder/Input/PlaceOrder/package");
    QVERIFY(!form_->treeView()->isExpanded(package));
    form_->treeView()->scrollTo(package);
    QTest::mouseDClick(form_->treeView()->viewport(), Qt::LeftButton, {},
                       form_->treeView()->visualRect(package).center());
    QVERIFY(form_->treeView()->isExpanded(package));
    QVERIFY(form_->treeView()->isExpanded(indexOf("PlaceOrder/Input/PlaceOrder/package/label")));
    QCOMPARE(form_->treeView()->currentIndex(), package);
}

void EditingInvokeTest::f10InvokesAndTheResultViewsShowTheAnswer() {
    form_->treeView()->expand(indexOf("PlaceOrder/Input/PlaceOrder/customer"));
    QTRY_VERIFY(form_->treeView()->isEditing());
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QTest::keyClicks(editor, "Lin");
    const QDateTime begin(QDate(2004, 5, 6), QTime(13, 45, 0));
    clock_.script = {begin, begin, begin.addMSecs(1500), begin.addSecs(2)};
    QTest::keyClick(form_->treeView(), Qt::Key_F10);
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Invocation Successful - 1.5 Seconds"));
    QVERIFY2(documents_->lastOrder().find(">Lin<") != std::string::npos, "the open edit was sent");
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(form_->treeView()->isExpanded(indexOf("PlaceOrder/Output")));

    QTableWidget* grid = form_->resultGrid();
    QVERIFY(form_->gridViewShown());
    QCOMPARE(grid->item(0, 0)->text(), QString("accepted"));
    QCOMPARE(grid->item(0, 1)->text(), QString("sku"));
    QCOMPARE(grid->item(3, 1)->text(), QString("C-3"));
    QCOMPARE(grid->item(3, 2)->text(), QString("3"));
    QCOMPARE(grid->columnCount(), 26);
    QCOMPARE(grid->rowCount(), 64);
    QVERIFY(grid->columnWidth(1) <= 200);
    QVERIFY(!form_->action("ClearTextView")->isEnabled());

    form_->action("TextViewMode")->trigger();
    QVERIFY(!form_->gridViewShown());
    QVERIFY(form_->action("ClearTextView")->isEnabled());
    QVERIFY(form_->action("PopupTextView")->isChecked());
    QVERIFY(form_->textView()->toPlainText().contains("sku = C-3"));
    form_->action("ClearTextView")->trigger();
    QCOMPARE(form_->textView()->toPlainText(), QString());
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Text View Cleared"));
    form_->action("PopupGridView")->trigger();
    QVERIFY(form_->gridViewShown());
    QVERIFY(form_->action("GridView")->isChecked());
}

void EditingInvokeTest::theViewersShowTheCallAndTheLog() {
    form_->action("ToolsViewLog")->trigger();
    QCOMPARE(GuiMessages::recorded(), QStringList({"       Log file has no entries.       "}));
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Log File Has No Entries"));

    form_->treeView()->setCurrentIndex(indexOf("PlaceOrder"));
    form_->action("ToolsInvoke")->trigger();
    QTest::keyClick(form_.get(), Qt::Key_M, Qt::ControlModifier);
    QTRY_VERIFY(form_->soapViewer()->isVisible());
    QVERIFY(form_->soapViewer()->inputView()->toPlainText().contains("PlaceOrder"));
    QVERIFY(form_->soapViewer()->outputView()->toPlainText().contains("C-3"));
    QCOMPARE(form_->statusBar()->currentMessage(), QString("View SOAP Message Successful"));
    QVERIFY(form_->action("Window_SoapMsgViewer"));

    form_->action("ToolsViewLog")->trigger();
    QVERIFY(form_->logViewer()->isVisible());
    QVERIFY(form_->logViewer()->view()->toPlainText().contains("OPERATION: PlaceOrder"));
    QCOMPARE(form_->statusBar()->currentMessage(), QString("View Log File Successful"));
}

void EditingInvokeTest::inputValuesAreSavedAndRestoredFromTheMenus() {
    form_->treeView()->expand(indexOf("PlaceOrder/Input/PlaceOrder/customer"));
    QTRY_VERIFY(form_->treeView()->isEditing());
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QTest::keyClicks(editor, "Kept");
    const QString path = QString::fromStdString(registry_->dir()) + "inputs.xml";
    GuiFileDialogs::scriptedPaths() = {path, path};
    form_->treeView()->setCurrentIndex(indexOf("PlaceOrder"));
    form_->action("TreeSaveInput")->trigger();
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Save Successful"));
    form_->action("ClearAllInput")->trigger();  // scripted: the question is answered No
    GuiMessages::queueAnswer(MessageAnswer::Yes);
    form_->action("ClearAllInput")->trigger();
    QVERIFY(node("PlaceOrder/Input/PlaceOrder/customer")->firstChild()->caption() != "Kept");
    form_->action("RestoreInputButton")->trigger();
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Restore Successful"));
    QCOMPARE(node("PlaceOrder/Input/PlaceOrder/customer")->firstChild()->caption(),
             QString("Kept"));
}

void EditingInvokeTest::workspacesAreSavedAndReopenedFromTheFileMenu() {
    const QString path = QString::fromStdString(registry_->dir()) + "work.nws";
    GuiFileDialogs::scriptedPaths() = {path};
    form_->action("FileSaveWorkspace")->trigger();
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Workspace Saved"));
    auto* recent = form_->findChild<QMenu*>("RecentWorkspaces");
    QVERIFY(recent->isEnabled());
    QCOMPARE(recent->actions().size(), 1);
    QCOMPARE(recent->actions().front()->toolTip(), path);
    QVERIFY(recent->actions().front()->text().contains("work.nws"));

    // Typing in the location box makes the tree stale for a workspace.
    QTest::keyClicks(form_->locationBox()->lineEdit(), "x");
    form_->action("FileSaveWorkspace")->trigger();
    QCOMPARE(GuiMessages::recorded().back(),
             QString("The selected WSDL and Service must be Analyzed before saving workspace."));

    recent->actions().front()->trigger();
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Workspace Opened"));
    QCOMPARE(form_->locationBox()->currentText(),
             QString::fromStdString(documents_->url("/orders.wsdl")));
    QVERIFY(node("PlaceOrder/Input/PlaceOrder/line [1]"));
    QCOMPARE(form_->treeModel()->rowCount(form_->treeModel()->index(0, 0)), 2);
}

QTEST_MAIN(EditingInvokeTest)
#include "editing_invoke_test.moc"
