// The real main window's memory, driven with QTest (offscreen) over a private registry: the
// options dialog and what it stores (including a proxy and time-outs the next analyse uses),
// favourites, the WSDL history, recent workspaces, the Window menu, window positions, and what
// a close writes for the next start.
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "platform/com/activation.h"
#include "platform/registry/registry.h"
#include "tests/support/http_servers.h"
#include "tests/support/registry_sandbox.h"
#include "tests/workbench/support/workbench_harness.h"
#include "tests/workbench/support/wsdl_documents.h"
#include "workbench/core/favorites/favorites.h"
#include "workbench/core/options/options_storing.h"
#include "workbench/dialogs/friendly_name_dialog.h"
#include "workbench/dialogs/log_file_viewer.h"
#include "workbench/dialogs/options_form.h"
#include "workbench/dialogs/soap_msg_viewer.h"
#include "workbench/main/desktop_services.h"
#include "workbench/main/gui_seams.h"
#include "workbench/main/main_form.h"
#include "workbench/main/parameter_tree_model.h"
#include "workbench/main/parameter_tree_view.h"
#include "workbench/resources/resources_init.h"

using namespace sondar;
using nv::registry::Hive;
using nv::registry::Key;
using nv::registry::Status;

namespace {


bool keyExists(const char16_t* path) {
    Key key;
    return Key::open(Hive::CurrentUser, path, nv::registry::Access::Read, key) == Status::Ok;
}

QStringList captions(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* a : actions)
        if (!a->isSeparator())
            texts.append(a->text());
    return texts;
}

}  // namespace

class RememberedStateTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void historyCountIsCheckedBeforeTheDialogCloses();
    void loweringTheHistoryCountTrimsTheListAtOnce();
    void uddiSitesAreStoredAsListed();
    void cancelLeavesTheRegistryAsItWas();
    void theNextAnalyseGoesThroughTheProxySetInTheDialog();
    void aResponseTimeoutEndsAStalledLoad();
    void favoritesAreListedSortedAndWorkFromTheMenu();
    void theHistoryKeepsTheMostRecentLocations();
    void recentWorkspacesAreShortenedAndMoveUpWhenReopened();
    void theWindowMenuFollowsTheToolWindows();
    void whatACloseWritesTheNextStartReads();
    void aPositionOffEveryScreenOpensOnThePrimaryScreen();

  private:
    void startForm();
    // Opens the options dialog and runs `act` while it is shown.
    void withOptionsDialog(const std::function<void(TOptionsForm*)>& act);
    void analyze(const QString& location);
    static void setHistoryCount(TOptionsForm* dialog, const QString& text);
    static void click(QWidget* dialog, const char* button);

    std::unique_ptr<nv::test::RegistrySandbox> registry_;
    std::unique_ptr<test::WsdlDocuments> documents_;
    std::unique_ptr<TMainForm> form_;
    QList<QUrl> opened_;
};

void RememberedStateTest::initTestCase() {
    initResources();
    QVERIFY(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    documents_ = std::make_unique<test::WsdlDocuments>();
}

void RememberedStateTest::init() {
    registry_ = std::make_unique<nv::test::RegistrySandbox>();
    QVERIFY(test::registerComponentServer());
    GuiMessages::setScripted(true);
    GuiMessages::recorded().clear();
    DialogNames::scriptedAnswers().clear();
    DialogNames::recordedTitles().clear();
    opened_.clear();
    DesktopServices::scriptedOpener() = [this](const QUrl& url) {
        opened_.append(url);
        return true;
    };
    startForm();
}

void RememberedStateTest::startForm() {
    form_ = std::make_unique<TMainForm>();
    QCOMPARE(form_->FormCreate(LaunchInfo{{}, QString::fromStdString(registry_->dir()), {}}),
             StartOutcome::Interactive);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void RememberedStateTest::cleanup() {
    form_.reset();
    registry_.reset();
    DesktopServices::scriptedOpener() = nullptr;
}

void RememberedStateTest::cleanupTestCase() {
    documents_.reset();
    CoUninitialize();
}

void RememberedStateTest::withOptionsDialog(const std::function<void(TOptionsForm*)>& act) {
    bool ran = false;
    QTimer::singleShot(0, this, [&] {
        TOptionsForm* dialog = form_->optionsForm();
        QTRY_VERIFY(dialog->isVisible());
        act(dialog);
        ran = true;
        if (dialog->isVisible())
            dialog->reject();  // a failed check must not leave the test waiting
    });
    form_->action("ToolsOptions")->trigger();
    QVERIFY(ran);
}

void RememberedStateTest::setHistoryCount(TOptionsForm* dialog, const QString& text) {
    QLineEdit* edit = dialog->findChild<QAbstractSpinBox*>("HistoryCount")->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void RememberedStateTest::click(QWidget* dialog, const char* button) {
    QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
}

void RememberedStateTest::analyze(const QString& location) {
    QLineEdit* edit = form_->locationBox()->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, location);
    QTest::mouseClick(form_->analyzeButton(), Qt::LeftButton);
}

void RememberedStateTest::historyCountIsCheckedBeforeTheDialogCloses() {
    withOptionsDialog([this](TOptionsForm* dialog) {
        QCOMPARE(dialog->findChild<QTabWidget*>("OptionsPages")->currentIndex(), 0);
        for (const char* refused : {"4", "51"}) {
            setHistoryCount(dialog, refused);
            click(dialog, "OKBtn");
            QVERIFY(dialog->isVisible());
            QCOMPARE(GuiMessages::recorded().back(),
                     QString("WSDL history count must be between 5 and 50."));
        }
        setHistoryCount(dialog, "x");
        click(dialog, "OKBtn");
        QVERIFY(dialog->isVisible());
        QCOMPARE(GuiMessages::recorded().back(), QString("WSDL history count is not valid."));
        // The up/down steps stay within the range whatever was typed.
        setHistoryCount(dialog, "50");
        QTest::keyClick(dialog->findChild<QAbstractSpinBox*>("HistoryCount"), Qt::Key_Up);
        QCOMPARE(dialog->findChild<QAbstractSpinBox*>("HistoryCount")->text(), QString("50"));
        click(dialog, "OKBtn");
        QVERIFY(!dialog->isVisible());
    });
    QCOMPARE(form_->core().state().options.maxWsdlHistory, 50);
    // The General values wait for the close.
    QVERIFY(!keyExists(u"Software\\Norvale\\Sondar\\Options\\General"));

    withOptionsDialog([this](TOptionsForm* dialog) {
        setHistoryCount(dialog, "5");
        click(dialog, "OKBtn");
        QVERIFY(!dialog->isVisible());
    });
    QCOMPARE(form_->core().state().options.maxWsdlHistory, 5);
}

void RememberedStateTest::loweringTheHistoryCountTrimsTheListAtOnce() {
    QStringList fifteen;
    for (int i = 0; i < 15; ++i)
        fifteen.append(QString("http://host/s%1?wsdl").arg(i));
    form_->core().history().setEntries(fifteen);
    form_->wsdlHistoryChanged();
    QCOMPARE(form_->locationBox()->count(), 15);
    withOptionsDialog([this](TOptionsForm* dialog) {
        QCOMPARE(dialog->findChild<QAbstractSpinBox*>("HistoryCount")->text(), QString("15"));
        // The knowledge-base display follows its search box; the log page is taken over too.
        auto* search = dialog->findChild<QCheckBox*>("SearchKnowledgeBase");
        auto* show = dialog->findChild<QCheckBox*>("ShowKnowledgeBase");
        QVERIFY(!search->isChecked());
        QVERIFY(!show->isEnabled());
        search->click();
        QVERIFY(show->isEnabled());
        dialog->findChild<QCheckBox*>("WriteInputValues")->click();
        setHistoryCount(dialog, "5");
        click(dialog, "OKBtn");
    });
    QCOMPARE(form_->locationBox()->count(), 5);
    QCOMPARE(form_->locationBox()->itemText(4), QString("http://host/s4?wsdl"));
    QVERIFY(form_->core().state().options.searchKnowledgeBaseOnAnalyze);
    QVERIFY(!form_->core().state().options.writeInputValues);
}

void RememberedStateTest::uddiSitesAreStoredAsListed() {
    storeUddiSites({{"Old", "http://old/inquire"}});
    withOptionsDialog([this](TOptionsForm* dialog) {
        auto* table = dialog->findChild<QTableWidget*>("UddiSites");
        QCOMPARE(table->rowCount(), 1);
        table->selectRow(0);
        click(dialog, "DeleteSite");
        QCOMPARE(table->rowCount(), 0);
        click(dialog, "OKBtn");
    });
    QVERIFY(keyExists(registry_keys::kUddiSites));
    QVERIFY(readUddiSites().isEmpty());

    withOptionsDialog([this](TOptionsForm* dialog) {
        auto* table = dialog->findChild<QTableWidget*>("UddiSites");
        click(dialog, "AddSite");
        click(dialog, "AddSite");  // an unedited new row is not added twice
        QCOMPARE(table->rowCount(), 1);
        click(dialog, "OKBtn");
    });
    QCOMPARE(readUddiSites(), UddiSiteList({{"<site name>", "<url>"}}));

    withOptionsDialog([this](TOptionsForm* dialog) {
        auto* table = dialog->findChild<QTableWidget*>("UddiSites");
        click(dialog, "AddSite");
        table->item(0, 0)->setText("Mine");
        table->item(0, 1)->setText("http://mine/inquire");
        // A second row may not take a name the list has.
        click(dialog, "AddSite");
        table->setCurrentCell(1, 0);
        table->item(1, 0)->setText("Mine");
        QCOMPARE(GuiMessages::recorded().back(),
                 QString("A UDDI site with this name is already in the list."));
        QCOMPARE(table->item(1, 0)->text(), QString("<site name>"));
        click(dialog, "OKBtn");
    });
    QCOMPARE(readUddiSites(), UddiSiteList({{"Mine", "http://mine/inquire"},
                                            {"<site name>", "<url>"}}));
}

void RememberedStateTest::cancelLeavesTheRegistryAsItWas() {
    const std::string hive = nv::test::readFile(nv::registry::hiveFilePath(Hive::CurrentUser));
    withOptionsDialog([this](TOptionsForm* dialog) {
        auto* useProxy = dialog->findChild<QCheckBox*>("UseProxy");
        auto* server = dialog->findChild<QLineEdit*>("ProxyServer");
        QVERIFY(!server->isEnabled());
        useProxy->click();
        QVERIFY(server->isEnabled());
        QTest::keyClicks(server, "proxy.example");
        setHistoryCount(dialog, "9");
        click(dialog, "CancelBtn");
        QVERIFY(!dialog->isVisible());
    });
    QCOMPARE(nv::test::readFile(nv::registry::hiveFilePath(Hive::CurrentUser)), hive);
    QCOMPARE(form_->core().state().options.maxWsdlHistory, 15);

    withOptionsDialog([this](TOptionsForm* dialog) {
        // Shown again as stored; unticked, the proxy texts are still stored as typed.
        QVERIFY(!dialog->findChild<QCheckBox*>("UseProxy")->isChecked());
        QCOMPARE(dialog->findChild<QLineEdit*>("ProxyServer")->text(), QString());
        QCOMPARE(dialog->findChild<QAbstractSpinBox*>("HistoryCount")->text(), QString("15"));
        dialog->findChild<QCheckBox*>("UseProxy")->click();
        QTest::keyClicks(dialog->findChild<QLineEdit*>("ProxyServer"), "proxy.example");
        QTest::keyClicks(dialog->findChild<QLineEdit*>("ProxyPort"), "3128");
        dialog->findChild<QCheckBox*>("UseProxy")->click();
        dialog->findChild<QSpinBox*>("ConnectTimeout")->setValue(12);
        click(dialog, "OKBtn");
    });
    QCOMPARE(test::registryText(registry_keys::kInternet, "ProxyServer"), QString("proxy.example"));
    QCOMPARE(test::registryText(registry_keys::kInternet, "ProxyPort"), QString("3128"));
    QCOMPARE(form_->core().state().options.internet.connectTimeout, 12);

    // Help opens the options page of the help shipped beside the program.
    form_->core().state().programFolder = QStringLiteral(NV_BUILD_PROGRAM_FOLDER);
    withOptionsDialog([this](TOptionsForm* dialog) {
        click(dialog, "HelpBtn");
        QVERIFY(dialog->isVisible());
        click(dialog, "CancelBtn");
    });
    QCOMPARE(opened_.size(), 1);
    QVERIFY(opened_.front().isLocalFile());
    QVERIFY(QFileInfo::exists(opened_.front().toLocalFile()));
    QVERIFY(QFile(opened_.front().toLocalFile()).open(QIODevice::ReadOnly));
    QVERIFY(opened_.front().toLocalFile().endsWith("options.html"));
}

void RememberedStateTest::theNextAnalyseGoesThroughTheProxySetInTheDialog() {
    nv::test::ForwardProxy proxy(std::string("pu:pp"));
    // A name only the proxy can reach: without it the analyse cannot succeed.
    const QString location = QString::fromStdString(documents_->url("/single.wsdl"))
                                 .replace("127.0.0.1", "wsdl-host.invalid");
    withOptionsDialog([&](TOptionsForm* dialog) {
        dialog->findChild<QCheckBox*>("UseProxy")->click();
        QTest::keyClicks(dialog->findChild<QLineEdit*>("ProxyServer"), "127.0.0.1");
        QTest::keyClicks(dialog->findChild<QLineEdit*>("ProxyPort"),
                         QString::number(proxy.port()));
        QTest::keyClicks(dialog->findChild<QLineEdit*>("ProxyUsername"), "pu");
        QTest::keyClicks(dialog->findChild<QLineEdit*>("ProxyPassword"), "pp");
        click(dialog, "OKBtn");
    });
    QVERIFY(test::registryText(registry_keys::kInternet, "ProxyPassword") != "pp");
    analyze(location);
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Analyzing... Successful"));
    QVERIFY(proxy.requests() > 0);
    QVERIFY(proxy.requestLines().front().find("wsdl-host.invalid") != std::string::npos);
    QCOMPARE(QString::fromStdString(proxy.authorizations().back()),
             QString::fromStdString("Basic " + nv::test::base64("pu:pp")));

    // Switched off again, the same location is out of reach.
    withOptionsDialog([&](TOptionsForm* dialog) {
        dialog->findChild<QCheckBox*>("UseProxy")->click();
        click(dialog, "OKBtn");
    });
    const int before = proxy.requests();
    analyze(location);
    QVERIFY(form_->statusBar()->currentMessage() != QString("Analyzing... Successful"));
    QCOMPARE(proxy.requests(), before);
}

void RememberedStateTest::aResponseTimeoutEndsAStalledLoad() {
    // Reads the request and never answers (for at most half a minute).
    nv::test::RawServer stalled([](int fd, const std::atomic<bool>& stopping) {
        nv::test::readHead(fd);
        for (int i = 0; i < 300 && !stopping; ++i)
            QThread::msleep(100);
    });
    withOptionsDialog([&](TOptionsForm* dialog) {
        dialog->findChild<QSpinBox*>("ResponseTimeout")->setValue(1);
        click(dialog, "OKBtn");
    });
    analyze(QString::fromStdString(stalled.url("/slow.wsdl")));
    QVERIFY(form_->statusBar()->currentMessage() != QString("Analyzing... Successful"));
    QVERIFY2(GuiMessages::recorded().join('\n').contains("timed out", Qt::CaseInsensitive),
             qPrintable(GuiMessages::recorded().join('\n')));
}

void RememberedStateTest::favoritesAreListedSortedAndWorkFromTheMenu() {
    QMenu* menu = form_->favoritesMenu();
    const QString single = QString::fromStdString(documents_->url("/single.wsdl"));
    const QString orders = QString::fromStdString(documents_->url("/orders.wsdl"));
    form_->locationBox()->setEditText(single);
    DialogNames::scriptedAnswers() = {QString("a")};
    QTest::keySequence(form_.get(), QKeySequence(Qt::CTRL | Qt::Key_F));
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Favorite Added"));
    form_->locationBox()->setEditText(orders);
    DialogNames::scriptedAnswers() = {QString("B")};
    form_->action("FavoritesAdd")->trigger();
    form_->locationBox()->setEditText("http://elsewhere/x?wsdl");
    DialogNames::scriptedAnswers() = {QString("Tom & Jerry")};
    form_->action("FavoritesAdd")->trigger();
    QCOMPARE(DialogNames::recordedTitles().front(), QString("Add WSDL to favorites menu."));
    QCOMPARE(captions(menu->actions()),
             QStringList({"Add Current WSDL To Favorites", "B", "Tom && Jerry", "a"}));
    QCOMPARE(menu->actions()[2]->toolTip(), orders);

    // "Analyze" of "B" analyses its location as typed there.
    QMenu* b = menu->actions()[2]->menu();
    QCOMPARE(captions(b->actions()), QStringList({"Select", "Analyze", "Rename", "Delete"}));
    b->actions()[1]->trigger();
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Analyzing... Successful"));
    QCOMPARE(form_->locationBox()->currentText(), orders);

    // Renamed through the real name dialog; the name with "&" is found by its stored name.
    QMenu* tom = menu->actions()[3]->menu();
    QTimer::singleShot(0, this, [this] {
        auto* dialog = form_->findChild<TFriendlyNameDlg*>();
        QTRY_VERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QString("Rename Favorite"));
        QCOMPARE(dialog->name(), QString("Tom & Jerry"));
        auto* edit = dialog->findChild<QLineEdit*>("FriendlyName");
        edit->clear();
        QTest::keyClicks(edit, "Tom and Jerry");
        QTest::mouseClick(dialog->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    });
    tom->actions()[2]->trigger();
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Favorite Renamed"));
    QCOMPARE(captions(menu->actions()),
             QStringList({"Add Current WSDL To Favorites", "B", "Tom and Jerry", "a"}));
    QCOMPARE(test::registryText(registry_keys::kFavorites, "Tom and Jerry"),
             QString("http://elsewhere/x?wsdl"));

    // "Select" puts the location into the box; "Delete" removes the entry at once.
    menu->actions()[4]->menu()->actions()[0]->trigger();
    QCOMPARE(form_->locationBox()->currentText(), single);
    QVERIFY(form_->core().state().locationEdited);
    QCOMPARE(menu->actions()[3]->menu()->actions()[4]->text(), QString("Delete"));
    menu->actions()[3]->menu()->actions()[4]->trigger();
    QCOMPARE(captions(menu->actions()), QStringList({"Add Current WSDL To Favorites", "B", "a"}));
    QCOMPARE(test::registryText(registry_keys::kFavorites, "Tom and Jerry"), QString("<no value>"));

    // The location box's own context menu adds too.
    form_->locationBox()->setEditText("http://fourth/?wsdl");
    QLineEdit* edit = form_->locationBox()->lineEdit();
    emit edit->customContextMenuRequested(QPoint(4, 4));
    QAction* addFromBox = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* popup = qobject_cast<QMenu*>(w); popup && popup->isVisible())
            if (QAction* a = popup->findChild<QAction*>("LocationAddFavorite"))
                addFromBox = a;
    QVERIFY(addFromBox);
    QCOMPARE(addFromBox->text(), QString("Add To Favorites"));
    DialogNames::scriptedAnswers() = {QString("Fourth")};
    addFromBox->trigger();
    QCOMPARE(test::registryText(registry_keys::kFavorites, "Fourth"), QString("http://fourth/?wsdl"));
    addFromBox->parentWidget()->close();
}

void RememberedStateTest::theHistoryKeepsTheMostRecentLocations() {
    form_->core().state().options.maxWsdlHistory = 5;
    form_->core().history().setMaxCount(5);
    const QString base = QString::fromStdString(documents_->url("/single.wsdl"));
    for (int i = 1; i <= 6; ++i) {
        analyze(base + QString("?n=%1").arg(i));
        QCOMPARE(form_->statusBar()->currentMessage(), QString("Analyzing... Successful"));
    }
    QComboBox* box = form_->locationBox();
    QCOMPARE(box->count(), 5);
    QCOMPARE(box->itemText(0), base + "?n=6");
    QCOMPARE(box->itemText(4), base + "?n=2");
    // The oldest one again, typed in other letters: moved up and shown as stored.
    QString typed = base + "?N=2";
    typed.replace("http://", "HTTP://");
    analyze(typed);
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Analyzing... Successful"));
    QCOMPARE(box->count(), 5);
    QCOMPARE(box->itemText(0), base + "?n=2");
    QCOMPARE(box->currentText(), base + "?n=2");

    form_->action("ToolsClearHistory")->trigger();
    QCOMPARE(box->count(), 0);
    QCOMPARE(form_->statusBar()->currentMessage(), QString("WSDL History Cleared"));
}

void RememberedStateTest::recentWorkspacesAreShortenedAndMoveUpWhenReopened() {
    analyze(QString::fromStdString(documents_->url("/single.wsdl")));
    const QString dir = QString::fromStdString(registry_->dir());
    QVERIFY(dir.size() < 40);
    const QString longPath = dir + QString(61 - dir.size() - 4, 'w') + ".nws";
    QCOMPARE(longPath.size(), 61);
    const QString shortPath = dir + "short.nws";
    GuiFileDialogs::scriptedPaths() = {longPath, shortPath};
    form_->action("FileSaveWorkspace")->trigger();
    form_->action("FileSaveWorkspace")->trigger();
    QMenu* recent = form_->findChild<QMenu*>("RecentWorkspaces");
    QStringList texts = captions(recent->actions());
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts[0], "1 " + shortPath);
    QVERIFY2(texts[1].startsWith("2 /...") && texts[1].endsWith("www.nws"), qPrintable(texts[1]));
    QCOMPARE(recent->actions()[1]->toolTip(), longPath);

    recent->actions()[1]->trigger();
    QCOMPARE(form_->statusBar()->currentMessage(), QString("Workspace Opened"));
    texts = captions(recent->actions());
    QVERIFY(texts[0].startsWith("1 /..."));
    QCOMPARE(texts[1], "2 " + shortPath);
}

void RememberedStateTest::theWindowMenuFollowsTheToolWindows() {
    analyze(QString::fromStdString(documents_->url("/orders.wsdl")));
    const QString mainCaption = form_->windowMenu()->actions().front()->text();
    form_->treeView()->setCurrentIndex(form_->treeModel()->index(
        1, 0, form_->treeModel()->index(0, 0)));  // Ping
    form_->action("ToolsInvoke")->trigger();
    form_->action("ToolsShowSoap")->trigger();
    QTRY_VERIFY(form_->soapViewer()->isVisible());
    form_->action("ToolsViewLog")->trigger();
    QTRY_VERIFY(form_->logViewer()->isVisible());
    const QString soapCaption = form_->soapViewer()->windowTitle();
    const QString logCaption = form_->logViewer()->windowTitle();
    QCOMPARE(captions(form_->windowMenu()->actions()),
             QStringList({mainCaption, soapCaption, logCaption}));

    form_->soapViewer()->move(40, 50);
    form_->soapViewer()->close();
    QCOMPARE(captions(form_->windowMenu()->actions()), QStringList({mainCaption, logCaption}));
    QVERIFY(parseFormPosition(readFormPosition("SoapMsgViewer")));
    QCOMPARE(parseFormPosition(readFormPosition("SoapMsgViewer"))->left, 40);
    form_->action("ToolsShowSoap")->trigger();
    QCOMPARE(captions(form_->windowMenu()->actions()),
             QStringList({mainCaption, logCaption, soapCaption}));
    // Choosing an entry brings a minimised window back.
    form_->logViewer()->showMinimized();
    form_->windowMenu()->actions()[1]->trigger();
    QTRY_VERIFY(!form_->logViewer()->isMinimized());
}

void RememberedStateTest::whatACloseWritesTheNextStartReads() {
    const QString single = QString::fromStdString(documents_->url("/single.wsdl"));
    const QString orders = QString::fromStdString(documents_->url("/orders.wsdl"));
    analyze(single);
    analyze(orders);
    const QString workspace = QString::fromStdString(registry_->dir()) + "kept.nws";
    GuiFileDialogs::scriptedPaths() = {workspace};
    form_->action("FileSaveWorkspace")->trigger();
    DialogNames::scriptedAnswers() = {QString("Orders")};
    form_->action("FavoritesAdd")->trigger();
    withOptionsDialog([this](TOptionsForm* dialog) {
        setHistoryCount(dialog, "7");
        dialog->findChild<QCheckBox*>("ClearGridOnAnalyze")->click();
        click(dialog, "OKBtn");
    });
    form_->resize(700, 500);
    form_->move(30, 40);
    const QPoint corner = form_->pos();
    form_->close();
    form_.reset();

    QCOMPARE(test::registryText(u"Software\\Norvale\\Sondar\\TypedWSDL", "wsdl0"), orders);
    QCOMPARE(test::registryText(u"Software\\Norvale\\Sondar\\WorkSpaceMRU", "WorkSpace0"), workspace);

    startForm();
    QCOMPARE(form_->core().state().options.maxWsdlHistory, 7);
    QVERIFY(!form_->core().state().options.clearGridOnAnalyze);
    QCOMPARE(form_->locationBox()->count(), 2);
    QCOMPARE(form_->locationBox()->itemText(1), single);
    QCOMPARE(captions(form_->findChild<QMenu*>("RecentWorkspaces")->actions()),
             QStringList({"1 " + workspace}));
    QCOMPARE(captions(form_->favoritesMenu()->actions()),
             QStringList({"Add Current WSDL To Favorites", "Orders"}));
    QCOMPARE(form_->pos(), corner);
    QCOMPARE(form_->size(), QSize(700, 500));

    // The tool windows take their stored places when they are made.
    form_.reset();
    writeFormPosition("SoapMsgViewer", "60,70,300,500");
    writeFormPosition("LogFileViewer", "80,90,320,520");
    startForm();
    QCOMPARE(form_->soapViewer()->pos(), QPoint(70, 60));
    QCOMPARE(form_->soapViewer()->size(), QSize(500, 300));
    QCOMPARE(form_->logViewer()->pos(), QPoint(90, 80));
}

void RememberedStateTest::aPositionOffEveryScreenOpensOnThePrimaryScreen() {
    form_.reset();
    writeFormPosition("MainForm", "5000,9000,400,600");
    startForm();
    const QRect primary = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(primary.contains(form_->pos()));
    QCOMPARE(form_->size(), QSize(600, 400));

    // A stored text that is not four numbers leaves the design position.
    form_.reset();
    writeFormPosition("MainForm", "12,a,400,600");
    startForm();
    QCOMPARE(form_->size(), QSize(1100, 720));
}

QTEST_MAIN(RememberedStateTest)
#include "remembered_state_test.moc"
