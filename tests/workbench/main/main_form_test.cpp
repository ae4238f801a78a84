// The real main window driven with QTest (offscreen): typing a location and pressing
// "Analyze", the services box, the tree the view shows, the authentication dialog, the tree
// commands, and what the first close writes.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>
#include <QtTest>

#include "examples/demo_service/demo_service.h"
#include "platform/com/activation.h"
#include "platform/registry/registry.h"
#include "tests/support/registry_sandbox.h"
#include "tests/workbench/support/workbench_harness.h"
#include "tests/workbench/support/wsdl_documents.h"
#include "workbench/dialogs/basic_auth_dialog.h"
#include "workbench/dialogs/print_dialog_seam.h"
#include "workbench/main/desktop_services.h"
#include "workbench/main/gui_seams.h"
#include "workbench/main/main_form.h"
#include "workbench/main/parameter_tree_model.h"
#include "workbench/main/parameter_tree_view.h"
#include "workbench/resources/resources_init.h"

using namespace sondar;

class MainFormTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void typingALocationAndPressingAnalyzeShowsTheOperations();
    void oneOperationOpensAtItsFirstSimpleField();
    void choosingAnotherServiceAnalysesAgain();
    void theBasicAuthenticationDialogSuppliesCredentials();
    void failuresAreShownAsMessages();
    void expandAndCollapseTheWholeTree();
    void clearFromTheTreeMenuRebuildsOneOperation();
    void analysesASpyneService();
    void firstCloseWritesTheDefaults();
    void printsTheTreeOrTheSelectedNode();
    void showWsdlHelpAndCreateLink();

  private:
    void analyze(const QString& location);
    bool expanded(const TNVTreeNode* node) const;

    std::unique_ptr<nv::test::RegistrySandbox> registry_;
    std::unique_ptr<test::WsdlDocuments> documents_;
    std::unique_ptr<nv::demo::DemoService> demo_;
    std::unique_ptr<TMainForm> form_;
};

void MainFormTest::initTestCase() {
    initResources();
    QVERIFY(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    documents_ = std::make_unique<test::WsdlDocuments>();
    demo_ = std::make_unique<nv::demo::DemoService>();
}

void MainFormTest::init() {
    registry_ = std::make_unique<nv::test::RegistrySandbox>();
    QVERIFY(test::registerComponentServer());
    GuiMessages::setScripted(true);
    DialogCredentials::scriptedAnswer() = nullptr;
    form_ = std::make_unique<TMainForm>();
    QCOMPARE(form_->FormCreate(LaunchInfo{{}, QString::fromStdString(registry_->dir()), {}}),
             StartOutcome::Interactive);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    // A window activated later would take the focus from an open value editor, closing it.
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
}

void MainFormTest::cleanup() {
    form_.reset();
    registry_.reset();
}

void MainFormTest::cleanupTestCase() {
    demo_.reset();
    documents_.reset();
    CoUninitialize();
}

void MainFormTest::analyze(const QString& location) {
    QLineEdit* edit = form_->locationBox()->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, location);
    QTest::mouseClick(form_->analyzeButton(), Qt::LeftButton);
}

bool MainFormTest::expanded(const TNVTreeNode* node) const {
    return form_->treeView()->isExpanded(form_->treeModel()->indexOf(node));
}

void MainFormTest::typingALocationAndPressingAnalyzeShowsTheOperations() {
    analyze(QString::fromStdString(demo_->wsdlUrl()));
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Analyzing... Successful"));
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QCOMPARE(form_->servicesBox()->count(), 1);
    QCOMPARE(form_->servicesBox()->currentText(), QString("DemoService"));
    QCOMPARE(form_->servicesBox()->toolTip(), QString("Right click to see WSDL documentation."));

    ParameterTreeModel* model = form_->treeModel();
    QCOMPARE(model->rowCount(), 1);
    const QModelIndex root = model->index(0, 0);
    QCOMPARE(root.data().toString(), QString("Operations"));
    QVERIFY(form_->treeView()->isExpanded(root));
    const QStringList names = form_->core().state().operationNames;
    QCOMPARE(model->rowCount(root), names.size());
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(model->index(i, 0, root).data().toString(), names[i]);
    QVERIFY(!model->index(0, 0, root).data(Qt::DecorationRole).value<QIcon>().isNull());
    QVERIFY(form_->action("TreeInputClear")->isEnabled());
    // The history box now offers the location.
    QCOMPARE(form_->locationBox()->itemText(0), QString::fromStdString(demo_->wsdlUrl()));
    QCOMPARE(form_->resultGrid()->currentRow(), 0);
    QCOMPARE(form_->resultGrid()->currentColumn(), 0);

    // Enter in the location box analyses as well.
    GuiMessages::recorded().clear();
    form_->locationBox()->lineEdit()->clear();
    QTest::keyClicks(form_->locationBox()->lineEdit(),
                     documents_->url("/two-services.wsdl").c_str());
    QTest::keyClick(form_->locationBox()->lineEdit(), Qt::Key_Return);
    QCOMPARE(form_->servicesBox()->count(), 2);
}

void MainFormTest::oneOperationOpensAtItsFirstSimpleField() {
    analyze(QString::fromStdString(documents_->url("/single.wsdl")));
    TNVTreeNode* root = form_->core().tree().root();
    TNVTreeNode* street = test::nodeAt(root, "PlaceOrder/Input/Order/ShipTo/Street");
    QVERIFY(street);
    for (const char* path : {"PlaceOrder", "PlaceOrder/Input", "PlaceOrder/Input/Order",
                             "PlaceOrder/Input/Order/ShipTo"})
        QVERIFY2(expanded(test::nodeAt(root, path)), path);
    QVERIFY(!expanded(test::nodeAt(root, "PlaceOrder/Output")));
    QTRY_VERIFY(form_->treeView()->isEditing());
    QCOMPARE(form_->treeModel()->nodeFromIndex(form_->treeView()->currentIndex()),
             street->firstChild());
    // The value's editor is open, ready for typing.
    QTRY_VERIFY(form_->treeView()->isEditing());
    QVERIFY(form_->treeView()->isAncestorOf(QApplication::focusWidget()));
}

void MainFormTest::choosingAnotherServiceAnalysesAgain() {
    analyze(QString::fromStdString(documents_->url("/two-services.wsdl")));
    QComboBox* services = form_->servicesBox();
    QCOMPARE(services->currentText(), QString("Greeter"));
    QSignalSpy activated(services, &QComboBox::activated);
    services->setFocus();
    QTest::keyClick(services, Qt::Key_Down);
    QCOMPARE(activated.count(), 1);
    QCOMPARE(services->currentText(), QString("Leaver"));
    QCOMPARE(form_->core().state().currentService, QString("Leaver"));
    QCOMPARE(test::childCaptions(form_->core().tree().root()), QStringList({"Bye", "Wave"}));
    QCOMPARE(form_->treeModel()->rowCount(form_->treeModel()->index(0, 0)), 2);

    // Its documentation opens below the box on request.
    form_->action("ToolsServiceDoc")->trigger();
    QTRY_VERIFY(QToolTip::isVisible());
    QVERIFY(QToolTip::text().contains("No documentation provided in WSDL."));
}

void MainFormTest::theBasicAuthenticationDialogSuppliesCredentials() {
    // The real dialog, answered as a user would.
    QTimer::singleShot(0, this, [] {
        auto* dialog = qobject_cast<TBasicAuthDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QString("Basic Authentication Data"));
        QTest::keyClicks(dialog->findChild<QLineEdit*>("UserName"), "u");
        QTest::keyClicks(dialog->findChild<QLineEdit*>("Password"), "p");
        QTest::mouseClick(dialog->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    });
    analyze(QString::fromStdString(documents_->url("/secret.wsdl")));
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Analyzing... Successful"));
    QCOMPARE(form_->core().state().basicAuth.password, QString("p"));
    QVERIFY(GuiMessages::recorded().isEmpty());
}

void MainFormTest::failuresAreShownAsMessages() {
    analyze("");
    QCOMPARE(GuiMessages::recorded(),
             QStringList({"Please enter a WSDL location to analyze first."}));
    GuiMessages::recorded().clear();
    analyze(QString::fromStdString(documents_->url("/no-operations.wsdl")));
    QCOMPARE(GuiMessages::recorded().size(), 1);
    QVERIFY(GuiMessages::recorded()[0].startsWith("     Error: "));
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Could Not Retrieve Operations"));
    QCOMPARE(form_->treeModel()->rowCount(form_->treeModel()->index(0, 0)), 0);
    GuiMessages::recorded().clear();
    analyze(QString::fromStdString(documents_->url("/missing.wsdl")));
    QCOMPARE(GuiMessages::recorded().size(), 1);
    QVERIFY(GuiMessages::recorded()[0].startsWith("     Error: "));
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Analyzing...failed"));
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void MainFormTest::expandAndCollapseTheWholeTree() {
    form_->action("ExpandTree")->trigger();
    QCOMPARE(
        GuiMessages::recorded(),
        QStringList({"Web services tree has no entries. Try connecting to a Web service first."}));
    analyze(QString::fromStdString(demo_->wsdlUrl()));
    form_->action("ExpandTree")->trigger();
    int collapsed = 0;
    forEachNode(form_->core().tree().root(), [&](TNVTreeNode* n) {
        if (n->hasChildren() && !expanded(n))
            ++collapsed;
    });
    QCOMPARE(collapsed, 0);
    QVERIFY(form_->treeView()->isVisible());
    QCOMPARE(form_->statusBar()->currentMessage(), QString());
    form_->action("CollapseTree")->trigger();
    QVERIFY(!expanded(form_->core().tree().root()));
}

void MainFormTest::clearFromTheTreeMenuRebuildsOneOperation() {
    analyze(QString::fromStdString(documents_->url("/single.wsdl")));
    TNVTreeNode* root = form_->core().tree().root();
    TNVTreeNode* street = test::nodeAt(root, "PlaceOrder/Input/Order/ShipTo/Street");
    street->message().setTheData("Elm St");
    form_->treeView()->setCurrentIndex(form_->treeModel()->indexOf(street));
    form_->action("TreeInputClear")->trigger();
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Clear Successful"));
    TNVTreeNode* rebuilt = test::nodeAt(root, "PlaceOrder/Input/Order/ShipTo/Street");
    QVERIFY(rebuilt);
    QVERIFY(rebuilt->message().theData() != "Elm St");
    // The view follows the rebuilt rows.
    const QModelIndex input = form_->treeModel()->indexOf(test::nodeAt(root, "PlaceOrder/Input"));
    QCOMPARE(form_->treeModel()->rowCount(input), 1);
    QCOMPARE(form_->treeModel()->index(0, 0, input).data().toString(), QString("Order"));
}

void MainFormTest::analysesASpyneService() {
    QProcess spyne;
    spyne.start("/usr/bin/python3", {QStringLiteral(NV_SPYNE_SCRIPT), "0", "--exit-with-stdin"});
    if (!spyne.waitForStarted(5000))
        QSKIP("python3 is not available");
    QString line;
    for (int i = 0; i < 100 && !line.contains('\n'); ++i) {
        spyne.waitForReadyRead(100);
        line += QString::fromUtf8(spyne.readAllStandardOutput());
    }
    if (line.startsWith("MISSING"))
        QSKIP("spyne is not installed");
    QVERIFY2(line.startsWith("PORT "), qPrintable(line));
    const QString url = QString("http://127.0.0.1:%1/?wsdl").arg(line.mid(5).trimmed());
    analyze(url);
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Analyzing... Successful"));
    QVERIFY(form_->core().state().operationNames.size() > 1);
    QVERIFY(GuiMessages::recorded().isEmpty());

    // Grow SumIntegers' array to three elements, fill them in through the view and invoke.
    TNVTreeNode* input = test::nodeAt(form_->core().tree().root(), "SumIntegers/Input");
    QVERIFY(input);
    TNVTreeNode* array = nullptr;
    forEachNode(input, [&array](TNVTreeNode* n) {
        if (!array && n->message() && n->message().isArray())
            array = n;
    });
    QVERIFY(array);
    const QString arrayName = array->message().fieldName();
    for (int count = 1; count < 3; ++count) {
        QVERIFY(form_->core().editor().addArrayElement(array));
        array = nullptr;
        forEachNode(input, [&](TNVTreeNode* n) {
            if (!array && n->caption() == QString("%1 [%2]").arg(arrayName).arg(count + 1))
                array = n;
        });
        QVERIFY(array);
    }
    QCOMPARE(array->childCount(), 3);
    for (int i = 0; i < 3; ++i) {
        const QModelIndex value =
            form_->treeModel()->index(0, 0, form_->treeModel()->indexOf(array->child(i)));
        QVERIFY(form_->treeModel()->setData(value, QString::number(i + 1)));
    }
    form_->treeView()->setCurrentIndex(form_->treeModel()->indexOf(input));
    form_->action("ToolsInvoke")->trigger();
    QVERIFY2(form_->statusBar()->currentMessage().startsWith("Invocation Successful - "),
             qPrintable(GuiMessages::recorded().join("|")));
    QVERIFY(form_->core().state().textLines.join("\n").contains("= 6"));
    spyne.closeWriteChannel();
    if (!spyne.waitForFinished(5000))
        spyne.kill();
}

void MainFormTest::firstCloseWritesTheDefaults() {
    analyze(QString::fromStdString(demo_->wsdlUrl()));
    form_->close();
    nv::registry::Key key;
    QCOMPARE(nv::registry::Key::open(nv::registry::Hive::CurrentUser,
                                     u"Software\\Norvale\\Sondar\\Options\\General",
                                     nv::registry::Access::Read, key),
             nv::registry::Status::Ok);
    std::uint32_t history = 0;
    QCOMPARE(key.getDword(u"MaxWSDLHistory", history), nv::registry::Status::Ok);
    QCOMPARE(history, 15u);
    QCOMPARE(QString::fromStdU16String([&] {
                 std::u16string position;
                 nv::registry::Key forms;
                 nv::registry::Key::open(nv::registry::Hive::CurrentUser,
                                         u"Software\\Norvale\\Sondar\\Forms",
                                         nv::registry::Access::Read, forms);
                 forms.getString(u"MainForm", position);
                 return position;
             }())
                 .split(',')
                 .size(),
             4);
    nv::registry::Key typed;
    QCOMPARE(nv::registry::Key::open(nv::registry::Hive::CurrentUser,
                                     u"Software\\Norvale\\Sondar\\TypedWSDL",
                                     nv::registry::Access::Read, typed),
             nv::registry::Status::Ok);
    std::u16string first;
    QCOMPARE(typed.getString(u"wsdl0", first), nv::registry::Status::Ok);
    QCOMPARE(QString::fromStdU16String(first), QString::fromStdString(demo_->wsdlUrl()));
}

void MainFormTest::printsTheTreeOrTheSelectedNode() {
    form_->action("TreePrint")->trigger();
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Print Canceled"));
    QCOMPARE(GuiMessages::recorded().back(),
             QString("You must first analyze a Web service before you can print it."));

    const QString location = QString::fromStdString(documents_->url("/single.wsdl"));
    analyze(location);
    const QString pdf = QString::fromStdString(registry_->dir()) + "tree.pdf";
    QtPrintDialogs::scriptPdfOutput(pdf);
    form_->action("TreePrint")->trigger();
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Print Successful"));
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    QVERIFY(text.waitForFinished(20000));
    const QString whole = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(whole.contains("WSDL: " + location), qPrintable(whole));
    QVERIFY(whole.contains("- [OPERATIONS] Operations"));
    QVERIFY(whole.contains("     - [OPERATION] "));

    // From the context menu, "Print node and children" starts at the selected node.
    TNVTreeNode* output = test::nodeAt(form_->core().tree().root(), "PlaceOrder/Output");
    QVERIFY(output);
    form_->treeView()->setCurrentIndex(form_->treeModel()->indexOf(output));
    QFile::remove(pdf);
    form_->action("TreePopupPrintNode")->trigger();
    QtPrintDialogs::clearScript();
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Print Successful"));
    text.start("pdftotext", {"-layout", pdf, "-"});
    QVERIFY(text.waitForFinished(20000));
    const QString part = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(part.contains("- [OUTPUT] Output"), qPrintable(part));
    QVERIFY(part.contains("[DATA TYPE] boolean"));
    QVERIFY(!part.contains("[OPERATION]"));
}

void MainFormTest::showWsdlHelpAndCreateLink() {
    QList<QUrl> opened;
    DesktopServices::scriptedOpener() = [&opened](const QUrl& url) {
        opened.append(url);
        return true;
    };
    form_->locationBox()->setEditText("  http://me:pw@wsdl.example/service?wsdl ");
    form_->action("ToolsShowWsdl")->trigger();
    QCOMPARE(opened.back(), QUrl("http://wsdl.example/service?wsdl"));
    form_->locationBox()->setEditText("");
    form_->action("ToolsShowWsdl")->trigger();
    QCOMPARE(GuiMessages::recorded().back(), QString("          No WSDL specified.          "));
    QCOMPARE(opened.size(), 1);
    form_->action("HelpVisit")->trigger();
    QVERIFY(opened.back().host().endsWith(".example"));
    DesktopServices::scriptedOpener() = nullptr;

    // Create Link: what the component server offers lands on the desktop clipboard.
    analyze(QString::fromStdString(documents_->url("/single.wsdl")));
    QGuiApplication::clipboard()->clear();
    form_->action("CreateLink")->trigger();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data);
    QCOMPARE(data->text(), QString("A whole bunch of text strings"));
    QVERIFY(data->formats().size() >= 3);
}

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
