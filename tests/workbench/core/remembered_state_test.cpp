// What the workbench remembers between runs: favourites, the WSDL history, recent workspace
// captions, stored window positions, and what the options dialog stores when confirmed.
#include <gtest/gtest.h>

#include "platform/registry/registry.h"
#include "tests/workbench/support/workbench_harness.h"
#include "tests/workbench/support/wsdl_documents.h"
#include "workbench/core/favorites/favorites.h"
#include "workbench/core/files/recent_workspaces.h"
#include "workbench/core/options/options_storing.h"

namespace sondar::test {
namespace {

using nv::registry::Hive;
using nv::registry::Key;
using nv::registry::Status;

QStringList favoriteNames() {
    QStringList names;
    for (const Favorite& f : readFavorites())
        names.append(f.name);
    return names;
}


class FavoritesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(harness.comReady);
        ASSERT_EQ(harness.start(), StartOutcome::Interactive);
    }
    FavoritesFlow& favorites() { return harness.core.favorites(); }
    // Adds the location under `name` through the dialog.
    void add(const QString& location, const QString& name) {
        harness.view.location = location;
        harness.names.answers.push_back(name);
        favorites().addCurrent();
    }
    CoreHarness harness;
};

TEST_F(FavoritesTest, AreListedInCharacterCodeOrderAndKeptAsTyped) {
    add("http://a/", "a");
    add("http://b/", "B");
    add("http://c/", "Zeta & co");  // stored as typed; only menus escape it
    add("http://d/", "_under");
    EXPECT_EQ(favoriteNames(), QStringList({"B", "Zeta & co", "_under", "a"}));
    EXPECT_EQ(registryText(registry_keys::kFavorites, "Zeta & co"), "http://c/");
    EXPECT_EQ(harness.status.last(), "Favorite Added");
    EXPECT_EQ(harness.names.asked.front(), "Add WSDL to favorites menu. | http://a/");
    EXPECT_EQ(harness.view.favoriteUpdates, 4);
}

TEST_F(FavoritesTest, AddingRefusesEmptyLocationsAndTakenNames) {
    harness.view.location = "   ";
    favorites().addCurrent();
    EXPECT_EQ(harness.status.last(), "No WSDL");
    EXPECT_EQ(harness.messages.shown.back(), "     No WSDL location to add to favorites.     ");
    EXPECT_TRUE(harness.names.asked.isEmpty());

    add("http://one/", "Mine");
    // A taken name is explained and asked again until a free one or Cancel.
    harness.view.location = " http://two/ ";
    harness.names.answers = {QString("Mine"), QString("Mine"), QString("Other")};
    favorites().addCurrent();
    EXPECT_EQ(harness.messages.shown.count("Favorite with this name already exists"), 2);
    EXPECT_EQ(registryText(registry_keys::kFavorites, "Other"), "http://two/") << "trimmed";
    EXPECT_EQ(registryText(registry_keys::kFavorites, "Mine"), "http://one/");

    harness.view.location = "http://three/";
    harness.names.answers = {QString("Mine"), std::nullopt};
    favorites().addCurrent();
    EXPECT_EQ(harness.status.last(), "Favorite Cancelled");
    EXPECT_EQ(readFavorites().size(), 2);

    // Cancel at the first dialog does nothing at all.
    const QString before = harness.status.last();
    harness.names.answers = {std::nullopt};
    favorites().addCurrent();
    EXPECT_EQ(harness.status.last(), before);
    EXPECT_EQ(readFavorites().size(), 2);
}

TEST_F(FavoritesTest, AddingAnExistingLocationOffersToRenameIt) {
    add("http://one/", "First");
    add("http://two/", "Second");
    harness.view.location = "http://one/";
    harness.names.answers = {QString("Renamed")};
    favorites().addCurrent();
    EXPECT_EQ(harness.status.last(), "Favorite Already Exists");
    EXPECT_EQ(harness.names.asked.back(), "WSDL already exists in Favorites menu. | First");
    EXPECT_EQ(readFavorites(),
              QList<Favorite>({{"Renamed", "http://one/"}, {"Second", "http://two/"}}));

    // Renaming onto another favourite's name would lose that one: refused.
    harness.names.answers = {QString("Second")};
    favorites().addCurrent();
    EXPECT_EQ(harness.messages.shown.back(), "Favorite with this name already exists");
    EXPECT_EQ(registryText(registry_keys::kFavorites, "Second"), "http://two/");
    EXPECT_EQ(readFavorites().size(), 2);
}

TEST_F(FavoritesTest, RenameDeleteSelectAndAnalyze) {
    WsdlDocuments documents;
    const QString location = QString::fromStdString(documents.url("/single.wsdl"));
    add(location, "Single");
    harness.names.answers = {QString("Single")};
    favorites().rename("Single");
    EXPECT_EQ(harness.status.last(), "Name not changed");
    harness.names.answers = {std::nullopt};
    favorites().rename("Single");
    EXPECT_EQ(harness.status.last(), "Name not changed");
    harness.names.answers = {QString("One operation")};
    favorites().rename("Single");
    EXPECT_EQ(harness.status.last(), "Favorite Renamed");
    EXPECT_EQ(harness.names.asked.back(), "Rename Favorite | Single");
    EXPECT_EQ(favoriteNames(), QStringList({"One operation"}));

    harness.view.location = "something else";
    harness.core.state().locationEdited = false;
    EXPECT_TRUE(favorites().select("One operation"));
    EXPECT_EQ(harness.view.location, location);
    EXPECT_TRUE(harness.core.state().locationEdited) << "the tree no longer matches the box";
    EXPECT_FALSE(favorites().select("Gone"));

    harness.view.location.clear();
    EXPECT_TRUE(favorites().analyze("One operation"));
    EXPECT_EQ(harness.status.last(), "Analyzing... Successful");
    EXPECT_TRUE(harness.core.state().treeExists);
    EXPECT_EQ(harness.core.history().entries().front(), location);

    favorites().remove("One operation");
    EXPECT_TRUE(readFavorites().isEmpty());
}

TEST(WsdlHistoryRules, KeepsTheMostRecentAndMatchesWithoutRegardToCase) {
    WsdlHistory history;
    history.setMaxCount(5);
    for (int i = 1; i <= 6; ++i)
        history.add(QString("http://host/Service%1?wsdl").arg(i));
    EXPECT_EQ(history.entries().size(), 5);
    EXPECT_EQ(history.entries().front(), "http://host/Service6?wsdl");
    EXPECT_EQ(history.entries().back(), "http://host/Service2?wsdl");
    // The oldest kept one typed in other letters moves up and keeps its stored text.
    EXPECT_EQ(history.add("HTTP://HOST/service2?WSDL"), "http://host/Service2?wsdl");
    EXPECT_EQ(history.entries().front(), "http://host/Service2?wsdl");
    EXPECT_EQ(history.entries().size(), 5);

    Options options;
    GeneralOptions general = generalOptionsOf(options);
    general.maxWsdlHistory = 3;
    general.writeOutputValues = false;
    takeOverGeneralOptions(general, options, history);
    EXPECT_EQ(history.entries().size(), 3);
    EXPECT_EQ(history.maxCount(), 3);
    EXPECT_EQ(options.maxWsdlHistory, 3);
    EXPECT_FALSE(options.writeOutputValues);
}

TEST(RecentWorkspaceCaptions, ShortenLongPathsAndNumberThem) {
    const QString sixty = "/home/user/" + QString(45, 'w') + ".nws";
    ASSERT_EQ(sixty.size(), 60);
    EXPECT_EQ(shortenedWorkspacePath(sixty), sixty);
    const QString sixtyOne = "/home/users/" + QString(45, 'w') + ".nws";
    ASSERT_EQ(sixtyOne.size(), 61);
    // The last 58 characters start inside "home"; the caption continues after its "/".
    EXPECT_EQ(shortenedWorkspacePath(sixtyOne), "/...users/" + QString(45, 'w') + ".nws");
    const QString windows = "C:\\Documents and Settings\\me\\Workspaces\\" + QString(25, 'x') + ".nws";
    ASSERT_GT(windows.size(), 60);
    EXPECT_EQ(shortenedWorkspacePath(windows), "C:...me\\Workspaces\\" + QString(25, 'x') + ".nws");
    EXPECT_EQ(recentWorkspaceCaption(3, "/tmp/a.nws"), "3 /tmp/a.nws");
    // Very long names: the caption stops at 64 characters.
    const QString longName = "/w/" + QString(80, 'n');
    EXPECT_EQ(recentWorkspaceCaption(12, longName).size(), 64);
    EXPECT_TRUE(recentWorkspaceCaption(12, longName).startsWith("12 /..."));
}

TEST(StoredWindowPositions, ReadFourIntegersOrNothing) {
    const auto p = parseFormPosition("10,20,300,400");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->top, 10);
    EXPECT_EQ(p->left, 20);
    EXPECT_EQ(p->height, 300);
    EXPECT_EQ(p->width, 400);
    EXPECT_TRUE(parseFormPosition("-8,-8,700,1000"));
    EXPECT_FALSE(parseFormPosition("10,20,300"));
    EXPECT_FALSE(parseFormPosition("10,20,x,400"));
    EXPECT_FALSE(parseFormPosition(""));
    // Each piece after a comma counts up to 15 characters.
    EXPECT_EQ(parseFormPosition("1,2,3," + QString(14, '0') + "45")->width, 4);
    EXPECT_EQ(formatFormPosition(*p), "10,20,300,400");
}

TEST(OptionsStoring, HistoryCountLimits) {
    EXPECT_EQ(historyCountProblem("4"), "WSDL history count must be between 5 and 50.");
    EXPECT_EQ(historyCountProblem("51"), "WSDL history count must be between 5 and 50.");
    EXPECT_EQ(historyCountProblem("5"), "");
    EXPECT_EQ(historyCountProblem("50"), "");
    EXPECT_EQ(historyCountProblem("1x"), "WSDL history count is not valid.");
    EXPECT_EQ(historyCountProblem(""), "WSDL history count is not valid.");
}

TEST(OptionsStoring, UddiSitesAreRewrittenInListOrder) {
    nv::test::RegistrySandbox registry;
    EXPECT_TRUE(readUddiSites().isEmpty());
    const UddiSiteList sites = {{"Zulu", "http://z/inquire"}, {"Alpha", "http://a/inquire"}};
    storeUddiSites(sites);
    EXPECT_EQ(readUddiSites(), sites);
    storeUddiSites({{"Only", "http://o/"}});
    EXPECT_EQ(readUddiSites(), UddiSiteList({{"Only", "http://o/"}}));
    // An empty list leaves the key, empty.
    storeUddiSites({});
    Key key;
    ASSERT_EQ(Key::open(Hive::CurrentUser, registry_keys::kUddiSites, nv::registry::Access::Read,
                        key),
              Status::Ok);
    std::uint32_t count = 9;
    ASSERT_EQ(key.valueCount(count), Status::Ok);
    EXPECT_EQ(count, 0u);
}

TEST(OptionsStoring, InternetValuesStoreTheScrambledPasswordAndBecomeCurrent) {
    CoreHarness harness;
    ASSERT_TRUE(harness.comReady);
    ASSERT_EQ(harness.start(), StartOutcome::Interactive);
    TCNVWSControl& control = harness.core.control();
    InternetSettings entered;
    entered.useProxy = false;  // the texts are stored all the same
    entered.proxyServer = "proxy.example";
    entered.proxyPort = "3128";
    entered.proxyUsername = "pu";
    entered.proxyPassword = "secret";
    entered.connectTimeout = 7;
    entered.responseTimeout = 999;
    InternetSettings& current = harness.core.state().options.internet;
    storeInternetSettings(entered, current, [&](const QString& server, const QString& password) {
        return control.EncryptPassword(server, password);
    });
    EXPECT_EQ(current.proxyServer, "proxy.example");
    EXPECT_EQ(current.proxyPassword, "secret");
    EXPECT_EQ(current.responseTimeout, 999);
    const char16_t* internet = registry_keys::kInternet;
    EXPECT_EQ(registryText(internet, "ProxyServer"), "proxy.example");
    EXPECT_EQ(registryText(internet, "ProxyPort"), "3128");
    const QString scrambled = registryText(internet, "ProxyPassword");
    EXPECT_NE(scrambled, "secret");
    EXPECT_EQ(control.DecryptPassword("proxy.example", scrambled), "secret");

    // The next start reads them back through the engine's unscrambling.
    Options read;
    readOptions(read, [&](const QString& server, const QString& stored) {
        return control.DecryptPassword(server, stored);
    });
    EXPECT_FALSE(read.internet.useProxy);
    EXPECT_EQ(read.internet.proxyUsername, "pu");
    EXPECT_EQ(read.internet.proxyPassword, "secret");
    EXPECT_EQ(read.internet.connectTimeout, 7);

    // A scrambler that fails ends the storing: what came before it stays, later values not.
    InternetSettings other = entered;
    other.proxyServer = "other.example";
    other.connectTimeout = 1;
    storeInternetSettings(other, current, [](const QString&, const QString&) -> QString {
        throw std::runtime_error("no engine");
    });
    EXPECT_EQ(registryText(internet, "ProxyServer"), "other.example");
    EXPECT_EQ(current.connectTimeout, 7);
}

}  // namespace
}  // namespace sondar::test
