// Invoking against real peers: the output subtree, the grid and text view, the log entry, the
// elapsed time, faults, authentication, and the SOAP messages of a call.
#include <gtest/gtest.h>

#include <QFile>

#include "examples/demo_service/demo_service.h"
#include "tests/workbench/support/workbench_harness.h"
#include "tests/workbench/support/wsdl_documents.h"
#include "workbench/core/invoke/invocation_log.h"
#include "workbench/core/invoke/result_display.h"

namespace sondar::test {
namespace {

class Invoking : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(harness_.comReady);
        ASSERT_EQ(harness_.start(), StartOutcome::Interactive);
    }
    TNVTreeNode* root() { return harness_.core.tree().root(); }
    QStringList logLines() {
        QFile file(harness_.core.invoker().logFilePath());
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
        if (!lines.isEmpty() && lines.back().isEmpty())
            lines.removeLast();
        return lines;
    }
    // A call that takes 1.5 seconds by the harness's clock.
    void scriptOneAndAHalfSeconds() {
        const QDateTime begin(QDate(2004, 5, 6), QTime(13, 45, 0));
        harness_.clock.script = {begin, begin, begin.addMSecs(1500), begin.addSecs(2)};
    }

    WsdlDocuments documents_;
    nv::demo::DemoService demo_;
    CoreHarness harness_;
};

TEST_F(Invoking, AnAnswerFillsTheTreeTheGridTheTextViewAndTheLog) {
    ASSERT_TRUE(harness_.analyze(documents_.url("/orders.wsdl")));
    TNVTreeNode* op = nodeAt(root(), "PlaceOrder");
    harness_.core.editor().commitValue(nodeAt(op, "Input/PlaceOrder/customer")->firstChild(),
                                       "Ada");
    harness_.view.location = "http://example/orders?wsdl";
    scriptOneAndAHalfSeconds();

    ASSERT_TRUE(harness_.core.invoker().invoke(op));
    EXPECT_EQ(harness_.status.last(), "Invocation Successful - 1.5 Seconds");
    EXPECT_NE(documents_.lastOrder().find(">Ada<"), std::string::npos) << documents_.lastOrder();

    // The output subtree, rebuilt from the answer: three elements of the array.
    TNVTreeNode* lines = nodeAt(op, "Output/PlaceOrderResponse/line [3]");
    ASSERT_NE(lines, nullptr)
        << childCaptions(nodeAt(op, "Output/PlaceOrderResponse")).join(",").toStdString();
    EXPECT_EQ(nodeAt(lines->child(2), "sku")->firstChild()->caption(), "C-3");

    // The grid: one column per field name, the array's elements in rows below.
    const ResultGrid& grid = harness_.core.state().resultGrid;
    EXPECT_EQ(grid.cell(1, 1), "accepted");
    EXPECT_EQ(grid.cell(1, 2), "true");
    EXPECT_EQ(grid.cell(2, 1), "sku");
    EXPECT_EQ(grid.cell(3, 1), "qty");
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(grid.cell(2, 2 + row), QString("%1-%2").arg(QChar('A' + row)).arg(row + 1));
        EXPECT_EQ(grid.cell(3, 2 + row), QString::number(row + 1));
    }
    EXPECT_EQ(grid.cell(2, 5), "");
    EXPECT_EQ(grid.columnCount(), 27);
    EXPECT_EQ(grid.rowCount(), 65);
    EXPECT_EQ(harness_.core.state().textLines,
              QStringList({"", "accepted = true", "sku = A-1", "qty = 1", "sku = B-2", "qty = 2",
                           "sku = C-3", "qty = 3"}));
    EXPECT_GE(harness_.view.resultUpdates, 1);

    const QStringList log = logLines();
    ASSERT_GE(log.size(), 10) << log.join("\n").toStdString();
    EXPECT_EQ(log[0], "BEGIN: " + logTimestamp(QDateTime(QDate(2004, 5, 6), QTime(13, 45, 0))));
    EXPECT_EQ(log[1], "WSDL: http://example/orders?wsdl");
    EXPECT_EQ(log[2], "SERVICE: Orders");
    EXPECT_EQ(log[3], "OPERATION: PlaceOrder");
    EXPECT_EQ(log[4], "");
    EXPECT_EQ(log[5], "INPUT DATA");
    EXPECT_TRUE(log.contains("customer = Ada"));
    EXPECT_TRUE(log.contains("OUTPUT DATA"));
    EXPECT_TRUE(log.contains("sku = C-3"));
    EXPECT_EQ(log[log.size() - 4],
              "END: " + logTimestamp(QDateTime(QDate(2004, 5, 6), QTime(13, 45, 2))));
    EXPECT_EQ(log[log.size() - 3], "ELAPSED TIME: 1.5 Seconds");
    EXPECT_EQ(log[log.size() - 2], QString(62, '-'));
    EXPECT_EQ(log.back(), "");
}

TEST_F(Invoking, WithBothLogOptionsOffTheEntryHoldsNoValues) {
    harness_.core.state().options.writeInputValues = false;
    harness_.core.state().options.writeOutputValues = false;
    ASSERT_TRUE(harness_.analyze(documents_.url("/orders.wsdl")));
    scriptOneAndAHalfSeconds();
    ASSERT_TRUE(harness_.core.invoker().invoke(nodeAt(root(), "PlaceOrder/Input")));
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 9) << log.join("\n").toStdString();
    EXPECT_TRUE(log[0].startsWith("BEGIN: "));
    EXPECT_TRUE(log[1].startsWith("WSDL: "));
    EXPECT_TRUE(log[2].startsWith("SERVICE: "));
    EXPECT_EQ(log[3], "OPERATION: PlaceOrder");
    EXPECT_EQ(log[4], "");
    EXPECT_TRUE(log[5].startsWith("END: "));
    EXPECT_EQ(log[6], "ELAPSED TIME: 1.5 Seconds");
    EXPECT_EQ(log[7], QString(62, '-'));
    EXPECT_EQ(log[8], "");
}

TEST_F(Invoking, AFaultIsReportedLoggedAndLeavesBlankOutputs) {
    ASSERT_TRUE(harness_.analyze(demo_.wsdlUrl()));
    TNVTreeNode* fail = nodeAt(root(), "Fail");
    harness_.core.editor().commitValue(nodeAt(fail, "Input/Fail/message")->firstChild(), "boom");
    EXPECT_FALSE(harness_.core.invoker().invoke(fail));
    EXPECT_EQ(harness_.status.last(), "Could Not Invoke");
    ASSERT_EQ(harness_.messages.shown.size(), 1);
    EXPECT_TRUE(harness_.messages.shown[0].startsWith("     Error: "));
    EXPECT_TRUE(harness_.messages.shown[0].endsWith("     "));
    // The service's fault detail, as the engine reports it.
    EXPECT_TRUE(harness_.messages.shown[0].contains("Fail always answers with a fault"))
        << harness_.messages.shown[0].toStdString();
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 6) << log.join("\n").toStdString();
    EXPECT_EQ(log[3], "OPERATION: Fail");
    EXPECT_EQ(log[4], "*** DID NOT COMPLETE: ERROR ***");
    EXPECT_EQ(log[5], "");
    EXPECT_EQ(harness_.status.depth, 0);

    // In a batch run the same failure is the run's reason.
    harness_.core.state().batch.batchMode = true;
    harness_.core.state().batch.stillGood = true;
    harness_.messages.shown.clear();
    EXPECT_FALSE(harness_.core.invoker().invoke(fail));
    EXPECT_EQ(harness_.core.state().batch.reason, "Could Not Invoke");
    EXPECT_TRUE(harness_.messages.shown.isEmpty());
}

TEST_F(Invoking, AnUnauthorizedCallAsksOnceForCredentialsAndRetries) {
    ASSERT_TRUE(harness_.analyze(demo_.wsdlUrl()));
    harness_.credentials.answer = Credentials{"demo", "demo"};
    ASSERT_TRUE(harness_.core.invoker().invoke(nodeAt(root(), "GetSecret")))
        << harness_.messages.shown.join("|").toStdString();
    EXPECT_EQ(harness_.credentials.asked, 1);
    EXPECT_EQ(nodeAt(root(), "GetSecret/Output/GetSecretResponse/user")->firstChild()->caption(),
              "demo");
}

TEST_F(Invoking, NothingSelectedCancelsAndTheSoapMessagesShowTheCall) {
    EXPECT_FALSE(harness_.core.invoker().invoke(nullptr));
    EXPECT_EQ(harness_.status.last(), "Invoke Canceled");
    EXPECT_EQ(harness_.messages.shown,
              QStringList({"You must first select the operation on the tree you wish to invoke."}));
    EXPECT_FALSE(harness_.core.invoker().showSoapMessages(nullptr));
    EXPECT_EQ(harness_.messages.shown.back(), "You must first select an operation on the tree.");

    ASSERT_TRUE(harness_.analyze(documents_.url("/orders.wsdl")));
    TNVTreeNode* op = nodeAt(root(), "PlaceOrder");
    harness_.core.editor().commitValue(nodeAt(op, "Input/PlaceOrder/customer")->firstChild(),
                                       "Lin");
    ASSERT_TRUE(harness_.core.invoker().invoke(op));
    ASSERT_TRUE(harness_.core.invoker().showSoapMessages(nodeAt(op, "Output")));
    EXPECT_TRUE(harness_.view.soapRequest.contains(">Lin<"));
    EXPECT_TRUE(harness_.view.soapResponse.contains("C-3"));
    EXPECT_EQ(harness_.status.last(), "View SOAP Message Successful");

    // "Display data in grid" starts below the Output node's first child.
    harness_.core.state().textLines.clear();
    harness_.core.invoker().displayDataInGrid(op);
    EXPECT_EQ(harness_.core.state().resultGrid.cell(1, 1), "accepted");
    harness_.core.invoker().clearTextView();
    EXPECT_TRUE(harness_.core.state().textLines.isEmpty());
    EXPECT_EQ(harness_.status.last(), "Text View Cleared");
}

TEST_F(Invoking, HeaderAndNumberFieldsAreSentAndEchoed) {
    ASSERT_TRUE(harness_.analyze(demo_.wsdlUrl()));
    TNVTreeNode* session = nodeAt(root(), "GetSessionInfo");
    harness_.core.editor().commitValue(
        nodeAt(session, "Input/SessionHeader/sessionId")->firstChild(), "s-77");
    ASSERT_TRUE(harness_.core.invoker().invoke(session));
    EXPECT_EQ(nodeAt(session, "Output/SessionEcho/sessionId")->firstChild()->caption(), "s-77");
    EXPECT_EQ(
        nodeAt(session, "Output/GetSessionInfoResponse/sessionKnown")->firstChild()->caption(),
        "true");

    TNVTreeNode* add = nodeAt(root(), "Add");
    harness_.core.editor().commitValue(nodeAt(add, "Input/a")->firstChild(), "40");
    harness_.core.editor().commitValue(nodeAt(add, "Input/b")->firstChild(), "2");
    ASSERT_TRUE(harness_.core.invoker().invoke(add))
        << harness_.messages.shown.join("|").toStdString();
    ASSERT_TRUE(nodeAt(add, "Output")->hasChildren());
    EXPECT_EQ(nodeAt(add, "Output")->firstChild()->firstChild()->caption(), "42");
}

// A SOAP-encoded array grown in the tree is sent as one array of all its items and comes
// back whole.
TEST_F(Invoking, AnEncodedArrayGrownInTheTreeIsSentWhole) {
    ASSERT_TRUE(harness_.analyze(demo_.wsdlUrl()));
    TNVTreeNode* echo = nodeAt(root(), "EchoStringArray");
    ASSERT_NE(echo, nullptr);
    TNVTreeNode* input = nodeAt(echo, "Input");
    // The input's array node, found by the count its caption shows.
    const auto arrayOf = [input](int count) {
        TNVTreeNode* found = nullptr;
        const QString suffix = QString("[%1]").arg(count);
        forEachNode(input, [&](TNVTreeNode* n) {
            if (!found && n->caption().endsWith(suffix))
                found = n;
        });
        return found;
    };
    ASSERT_NE(arrayOf(1), nullptr) << childCaptions(input).join(",").toStdString();
    ASSERT_TRUE(harness_.core.editor().addArrayElement(arrayOf(1)));
    ASSERT_NE(arrayOf(2), nullptr);
    ASSERT_TRUE(harness_.core.editor().addArrayElement(arrayOf(2)));
    TNVTreeNode* three = arrayOf(3);
    ASSERT_NE(three, nullptr);
    QStringList words = {"alpha", "beta", "gamma"};
    int next = 0;
    forEachNode(three, [&](TNVTreeNode* n) {
        if (n->kind() == NodeKind::Value && next < words.size())
            harness_.core.editor().commitValue(n, words[next++]);
    });
    ASSERT_EQ(next, 3);
    ASSERT_TRUE(harness_.core.invoker().invoke(echo))
        << harness_.messages.shown.join("|").toStdString();
    QStringList answered;
    forEachNode(nodeAt(echo, "Output"), [&](TNVTreeNode* n) {
        if (n->kind() == NodeKind::Value)
            answered.append(n->caption());
    });
    EXPECT_EQ(answered, words);
}

TEST(ResultDisplay, ElapsedTimesAreShortDecimalSeconds) {
    EXPECT_EQ(elapsedText(1500), "1.5 Seconds");
    EXPECT_EQ(elapsedText(2000), "2 Seconds");
    EXPECT_EQ(elapsedText(1234), "1.23 Seconds");
    EXPECT_EQ(elapsedText(1236), "1.24 Seconds");
    EXPECT_EQ(elapsedText(0), "0 Seconds");
    EXPECT_EQ(elapsedText(5), "0.01 Seconds");
}

TEST(ResultDisplay, ManyFieldsGrowTheGridAndDropTheSpareColumn) {
    TNVTreeNode output(NodeKind::OutputMessage, "Output");
    for (int i = 0; i < 30; ++i) {
        TNVTreeNode* field = output.appendChild(
            std::make_unique<TNVTreeNode>(NodeKind::SimpleField, QString("f%1").arg(i)));
        field->appendChild(std::make_unique<TNVTreeNode>(NodeKind::Value, QString::number(i)));
    }
    ResultGrid grid;
    QStringList lines;
    displayValues(&output, grid, lines);
    EXPECT_EQ(grid.columnCount(), 31) << "the fixed column and thirty fields";
    EXPECT_EQ(grid.cell(30, 1), "f29");
    EXPECT_EQ(grid.cell(30, 2), "29");
    EXPECT_EQ(grid.rowCount(), 65);
    EXPECT_EQ(lines.size(), 30);
}

}  // namespace
}  // namespace sondar::test
