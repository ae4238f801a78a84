// "Analyze" against real peers on 127.0.0.1: the demo service and small WSDL documents. The
// tree's shape, the "Services:" box, the basic-authentication retry, every failure text in
// both modes, clearing values and the tree commands.
#include <gtest/gtest.h>

#include "examples/demo_service/demo_service.h"
#include "platform/com/activation.h"
#include "tests/support/http_servers.h"
#include "tests/workbench/support/workbench_harness.h"
#include "tests/workbench/support/wsdl_documents.h"
#include "workbench/core/tree/subtree_builder.h"

namespace sondar::test {
namespace {

class AnalyzeFlowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(harness_.comReady);
        ASSERT_EQ(harness_.start(), StartOutcome::Interactive);
    }
    TNVTreeNode* root() { return harness_.core.tree().root(); }

    // Declared first so it outlives the core: the engine's kept-alive connections close before
    // the server stops.
    WsdlDocuments documents_;
    nv::demo::DemoService demo_;
    CoreHarness harness_;
};

TEST_F(AnalyzeFlowTest, BuildsOneNodePerOperationWithInputAndOutputOwningTheirRecords) {
    ASSERT_TRUE(harness_.analyze(demo_.wsdlUrl()));

    ASSERT_NE(root(), nullptr);
    EXPECT_EQ(root()->caption(), "Operations");
    EXPECT_EQ(root()->kind(), NodeKind::Root);
    EXPECT_EQ(harness_.view.services, QStringList({"DemoService"}));
    EXPECT_EQ(harness_.view.toolTip, "Right click to see WSDL documentation.");
    const QStringList operations = childCaptions(root());
    EXPECT_EQ(operations, harness_.core.state().operationNames);
    EXPECT_TRUE(operations.contains("EchoString"));
    EXPECT_TRUE(operations.contains("GetPerson"));
    for (int n = 0; n < root()->childCount(); ++n) {
        TNVTreeNode* op = root()->child(n);
        EXPECT_EQ(op->kind(), NodeKind::Operation);
        EXPECT_EQ(op->operationDocIndex(), 2 * n + 1);
        ASSERT_EQ(childCaptions(op), QStringList({"Input", "Output"}))
            << op->caption().toStdString();
        EXPECT_NE(op->child(0)->messageArray(), nullptr);
        EXPECT_NE(op->child(1)->messageArray(), nullptr);
    }
    // Every field node points into its message's array, in record order.
    TNVTreeNode* input = nodeAt(root(), "GetPerson/Input");
    ASSERT_NE(input, nullptr);
    ASSERT_TRUE(input->hasChildren());
    EXPECT_EQ(input->firstChild()->message().get(), input->messageArray()->at(0).get());

    EXPECT_EQ(harness_.status.texts,
              QStringList({"Analyzing...reading WSDL", "Analyzing...processing WSDL",
                           "Analyzing... Successful"}));
    EXPECT_EQ(harness_.status.depth, 0) << "the wait cursor is gone afterwards";
    EXPECT_EQ(harness_.status.maxDepth, 1);
    EXPECT_TRUE(harness_.core.state().treeExists);
    EXPECT_TRUE(harness_.view.treeCommandsEnabled);
    EXPECT_EQ(harness_.view.gridResets, 1);
    EXPECT_EQ(harness_.core.history().entries(),
              QStringList({QString::fromStdString(demo_.wsdlUrl())}));
    EXPECT_TRUE(harness_.messages.shown.isEmpty())
        << harness_.messages.shown.join("|").toStdString();
}

TEST_F(AnalyzeFlowTest, OneOperationExpandsDownToTheFirstSimpleFieldAndOpensItsEditor) {
    ASSERT_TRUE(harness_.analyze(documents_.url("/single.wsdl")));
    TNVTreeNode* op = nodeAt(root(), "PlaceOrder");
    ASSERT_NE(op, nullptr);
    TNVTreeNode* street = nodeAt(op, "Input/Order/ShipTo/Street");
    ASSERT_NE(street, nullptr) << childCaptions(nodeAt(op, "Input")).join(",").toStdString();
    const std::vector<TNVTreeNode*> expected{root(), op, nodeAt(op, "Input"),
                                             nodeAt(op, "Input/Order"),
                                             nodeAt(op, "Input/Order/ShipTo")};
    EXPECT_EQ(harness_.view.expanded, expected);
    EXPECT_EQ(harness_.view.editorOpenedOn, street);
    // The boolean and the repeated element of the same message.
    TNVTreeNode* express = nodeAt(op, "Input/Order/Express");
    ASSERT_NE(express, nullptr);
    EXPECT_EQ(*express->firstChild()->enumList(), QStringList({"true", "false"}));
    EXPECT_NE(nodeAt(op, "Input/Order/Item [1]"), nullptr);
}

TEST_F(AnalyzeFlowTest, ChangingTheServiceAnalysesAgainAndKeepsItSelected) {
    const std::string url = documents_.url("/two-services.wsdl");
    ASSERT_TRUE(harness_.analyze(url));
    EXPECT_EQ(harness_.view.services, QStringList({"Greeter", "Leaver"}));
    EXPECT_EQ(harness_.view.selected, 0);
    EXPECT_EQ(childCaptions(root()), QStringList({"Hello"}));
    // One documentation entry per service (the engine hands out services without any).
    EXPECT_EQ(harness_.core.state().serviceDocumentation.size(), 2);

    // The same service again does nothing.
    harness_.status.texts.clear();
    EXPECT_FALSE(harness_.core.analyzer().serviceChanged(0, "Greeter"));
    EXPECT_TRUE(harness_.status.texts.isEmpty());

    harness_.view.selected = 1;
    ASSERT_TRUE(harness_.core.analyzer().serviceChanged(1, "Leaver"));
    EXPECT_EQ(harness_.view.selected, 1);
    EXPECT_EQ(harness_.core.state().currentService, "Leaver");
    EXPECT_EQ(childCaptions(root()), QStringList({"Bye", "Wave"}));

    // Another location starts again at the first service.
    ASSERT_TRUE(harness_.analyze(demo_.wsdlUrl()));
    EXPECT_EQ(harness_.view.selected, 0);
}

TEST_F(AnalyzeFlowTest, UnauthorizedDocumentsAskForCredentialsAndTryOnceMore) {
    harness_.credentials.answer = Credentials{"u", "p"};
    ASSERT_TRUE(harness_.analyze(documents_.url("/secret.wsdl")));
    EXPECT_EQ(harness_.credentials.asked, 1);
    EXPECT_EQ(harness_.core.state().basicAuth.userName, "u");
    EXPECT_NE(nodeAt(root(), "PlaceOrder"), nullptr);
    EXPECT_GE(documents_.refusedRequests(), 1);
}

TEST_F(AnalyzeFlowTest, CancelledCredentialsStillTryOnceThenReportTheFailure) {
    ASSERT_FALSE(harness_.analyze(documents_.url("/secret.wsdl")));
    EXPECT_EQ(harness_.credentials.asked, 1);
    ASSERT_EQ(harness_.messages.shown.size(), 1);
    const QString shown = harness_.messages.shown.front();
    EXPECT_TRUE(shown.startsWith("     Error: ")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("     "));
    EXPECT_TRUE(shown.contains("Unauthorized") || shown.contains("401")) << shown.toStdString();
    EXPECT_EQ(harness_.status.last(), "Analyzing...failed");
}

TEST_F(AnalyzeFlowTest, InteractiveFailuresShowTheirMessagesAndStatuses) {
    ASSERT_FALSE(harness_.analyze("   "));
    EXPECT_EQ(harness_.messages.shown,
              QStringList({"Please enter a WSDL location to analyze first."}));
    EXPECT_TRUE(harness_.status.texts.isEmpty()) << "nothing was started";

    nv::test::RefusedPort refused;
    harness_.messages.shown.clear();
    ASSERT_FALSE(
        harness_.analyze("http://127.0.0.1:" + std::to_string(refused.port()) + "/x?wsdl"));
    ASSERT_EQ(harness_.messages.shown.size(), 1);
    EXPECT_TRUE(harness_.messages.shown[0].startsWith("     Error: "));
    EXPECT_GT(harness_.messages.shown[0].trimmed().size(), QString("Error:").size());
    EXPECT_EQ(harness_.status.last(), "Analyzing...failed");
    EXPECT_TRUE(harness_.core.state().currentWsdl.isEmpty());
    EXPECT_TRUE(harness_.core.state().currentService.isEmpty());
    EXPECT_FALSE(harness_.core.state().treeExists);

    // The engine refuses to list a service without operations.
    harness_.messages.shown.clear();
    ASSERT_FALSE(harness_.analyze(documents_.url("/no-operations.wsdl")));
    ASSERT_EQ(harness_.messages.shown.size(), 1);
    EXPECT_TRUE(harness_.messages.shown[0].startsWith("     Error: "));
    EXPECT_TRUE(harness_.messages.shown[0].contains("Idle")) << "the engine names the service";
    EXPECT_TRUE(harness_.messages.shown[0].endsWith("     "));
    EXPECT_EQ(harness_.status.last(), "Could Not Retrieve Operations");
    ASSERT_NE(root(), nullptr);
    EXPECT_FALSE(root()->hasChildren()) << "the root stays alone";
}

TEST_F(AnalyzeFlowTest, BatchFailuresBecomeTheReasonAndShowNothing) {
    harness_.core.state().batch.batchMode = true;
    harness_.core.state().batch.stillGood = true;
    harness_.core.state().batch.service = "Idle";
    ASSERT_FALSE(harness_.analyze(documents_.url("/no-operations.wsdl")));
    EXPECT_EQ(harness_.core.state().batch.reason, "Could not retrieve operations");
    EXPECT_FALSE(harness_.core.state().batch.stillGood);

    harness_.core.state().batch = BatchState{true, false, true, {}, {}, {}, "Nope", {}, {}};
    ASSERT_FALSE(harness_.analyze(documents_.url("/two-services.wsdl")));
    EXPECT_EQ(harness_.core.state().batch.reason, "Could not retrieve operations");

    nv::test::RefusedPort refused;
    harness_.core.state().batch = BatchState{true, false, true, {}, {}, {}, "Greeter", {}, {}};
    ASSERT_FALSE(harness_.analyze("http://127.0.0.1:" + std::to_string(refused.port()) + "/x"));
    EXPECT_TRUE(harness_.core.state().batch.reason.startsWith("Error: "))
        << harness_.core.state().batch.reason.toStdString();
    EXPECT_TRUE(harness_.messages.shown.isEmpty());
    EXPECT_EQ(harness_.view.gridResets, 0) << "a batch run touches no window";
}

TEST(AnalyzeWithoutServer, NamesTheRegistrationFixWhenTheServerIsNotRegistered) {
    nv::test::RegistrySandbox emptyRegistry;
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    {
        RecordingView view;
        ScriptedMessages messages;
        RecordingStatus status;
        ScriptedCredentials credentials;
        FixedClock clock;
        WorkbenchCore core(WorkbenchSeams{view, messages, status, credentials, clock});
        view.location = "http://127.0.0.1:1/x?wsdl";
        EXPECT_FALSE(core.analyzer().analyze());
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_TRUE(messages.shown[0].contains("Class not registered"))
            << messages.shown[0].toStdString();
        EXPECT_TRUE(messages.shown[0].contains("nvregsvr register"));
        EXPECT_EQ(status.last(), "Analyzing...failed");
    }
    CoUninitialize();
}

TEST_F(AnalyzeFlowTest, ClearingValuesRebuildsFromTheEngineAfterConfirmation) {
    ASSERT_TRUE(harness_.analyze(documents_.url("/single.wsdl")));
    TNVTreeNode* input = nodeAt(root(), "PlaceOrder/Input");
    TNVTreeNode* street = nodeAt(input, "Order/ShipTo/Street");
    street->message().setTheData("Main St");
    const IOMessageArray* before = input->messageArray();

    harness_.messages.answers = {MessageAnswer::No};
    harness_.core.treeCommands().clearAllValues(MessageDirection::Input);
    EXPECT_EQ(harness_.messages.asked, QStringList({"Clear input values for ALL operations?"}));
    EXPECT_EQ(harness_.status.last(), "Clear Canceled");
    EXPECT_EQ(nodeAt(input, "Order/ShipTo/Street")->message().theData(), "Main St");

    harness_.messages.answers = {MessageAnswer::Yes};
    harness_.core.treeCommands().clearAllValues(MessageDirection::Input);
    EXPECT_EQ(harness_.status.last(), "Clear Successful");
    TNVTreeNode* rebuilt = nodeAt(input, "Order/ShipTo/Street");
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_NE(rebuilt->message().theData(), "Main St");
    // The message node holds the array the new fields point into: what is typed now is sent.
    EXPECT_NE(input->messageArray(), before);
    bool found = false;
    for (std::size_t i = 0; i < input->messageArray()->size(); ++i)
        found = found || input->messageArray()->at(i).get() == rebuilt->message().get();
    EXPECT_TRUE(found);

    // The tree menu's "Clear" on one operation asks nothing.
    harness_.messages.asked.clear();
    harness_.core.treeCommands().clearOperationValues(rebuilt, MessageDirection::Output);
    EXPECT_TRUE(harness_.messages.asked.isEmpty());
    EXPECT_EQ(harness_.status.last(), "Clear Successful");
}

TEST_F(AnalyzeFlowTest, TreeCommandsOnAnEmptyTreeExplainWhatIsMissing) {
    harness_.core.treeCommands().clearAllValues(MessageDirection::Output);
    harness_.core.treeCommands().expandTree();
    harness_.core.treeCommands().collapseTree();
    EXPECT_EQ(
        harness_.messages.shown,
        QStringList({"     Please connect to a Web service first.     ",
                     "Web services tree has no entries. Try connecting to a Web service first.",
                     "Web services tree has no entries. Try connecting to a Web service first."}));
    EXPECT_TRUE(harness_.messages.asked.isEmpty());
}

TEST_F(AnalyzeFlowTest, HistoryKeepsTheStoredSpellingOfALocation) {
    harness_.core.history().setMaxCount(2);
    harness_.core.history().setEntries({"http://a/", "HTTP://B/"});
    EXPECT_EQ(harness_.core.history().add("http://b/"), "HTTP://B/");
    EXPECT_EQ(harness_.core.history().entries(), QStringList({"HTTP://B/", "http://a/"}));
    EXPECT_EQ(harness_.core.history().add("http://c/"), "http://c/");
    EXPECT_EQ(harness_.core.history().entries(), QStringList({"http://c/", "HTTP://B/"}));
}

}  // namespace
}  // namespace sondar::test
