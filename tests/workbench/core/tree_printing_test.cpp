// "Print Tree" without a printer: the listing's lines (heading, indentation by level, labels,
// where a "node and children" listing stops) and the command's statuses, messages, wait cursor
// and print range, on hand-made trees and on the tree of an analysed service.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "tests/support/http_servers.h"
#include "tests/workbench/support/workbench_harness.h"
#include "workbench/core/printing/print_tree_flow.h"
#include "workbench/core/printing/tree_listing.h"
#include "workbench/core/printing/tree_print_target.h"
#include "workbench/core/tree/nv_tree.h"

namespace sondar::test {
namespace {

const QString kLocation = QStringLiteral("http://example.test/quotes.wsdl");
const QString kService = QStringLiteral("QuoteService");

TNVTreeNode* add(TNVTree& tree, TNVTreeNode* parent, NodeKind kind, const QString& caption) {
    return tree.appendChild(parent, std::make_unique<TNVTreeNode>(kind, caption));
}

// A field with its value and type nodes, as analyse builds it.
TNVTreeNode* addField(TNVTree& tree, TNVTreeNode* parent, NodeKind kind, const QString& name,
                      const QString& value, const QString& type) {
    TNVTreeNode* field = add(tree, parent, kind, name);
    add(tree, field, NodeKind::Value, value);
    add(tree, field, NodeKind::Type, type);
    return field;
}

// Two operations; the first has a structure holding a field and an attribute, a plain field
// after it, and an output field; the second has empty messages.
class QuoteTree {
  public:
    QuoteTree() {
        TNVTreeNode* root = tree.addRoot(
            std::make_unique<TNVTreeNode>(NodeKind::Root, QStringLiteral("Operations")));
        getQuote = add(tree, root, NodeKind::Operation, "GetQuote");
        TNVTreeNode* input = add(tree, getQuote, NodeKind::InputMessage, "Input");
        request = add(tree, input, NodeKind::Structure, "Request");
        symbol = addField(tree, request, NodeKind::SimpleField, "symbol", "ACME", "string");
        addField(tree, request, NodeKind::AttributeField, "currency", "USD", "string");
        addField(tree, input, NodeKind::SimpleField, "delayed", "", "boolean");
        TNVTreeNode* output = add(tree, getQuote, NodeKind::OutputMessage, "Output");
        addField(tree, output, NodeKind::SimpleField, "price", "12.5", "double");
        TNVTreeNode* ping = add(tree, root, NodeKind::Operation, "Ping");
        add(tree, ping, NodeKind::InputMessage, "Input");
        add(tree, ping, NodeKind::OutputMessage, "Output");
    }

    TNVTree tree;
    TNVTreeNode* getQuote = nullptr;
    TNVTreeNode* request = nullptr;
    TNVTreeNode* symbol = nullptr;
};

QStringList heading() {
    return {"WSDL: " + kLocation, "SERVICE: " + kService, ""};
}

TEST(TreeListing, WholeTreeIndentsFiveBlanksPerLevelWithTheLabelOfEachKind) {
    QuoteTree quotes;
    const QStringList nodes{
        "- [OPERATIONS] Operations",
        "     - [OPERATION] GetQuote",
        "          - [INPUT] Input",
        "               - [COMPLEX TYPE] Request",
        "                    - [FIELD] symbol",
        "                         - [DATA] ACME",
        "                         - [DATA TYPE] string",
        // Its own label, not the "[DATA TYPE]" of the line before.
        "                    - [ATTRIBUTE] currency",
        "                         - [DATA] USD",
        "                         - [DATA TYPE] string",
        "               - [FIELD] delayed",
        "                    - [DATA] ",
        "                    - [DATA TYPE] boolean",
        "          - [OUTPUT] Output",
        "               - [FIELD] price",
        "                    - [DATA] 12.5",
        "                    - [DATA TYPE] double",
        "     - [OPERATION] Ping",
        "          - [INPUT] Input",
        "          - [OUTPUT] Output",
    };
    EXPECT_EQ(treeListing(*quotes.tree.root(), kLocation, kService), heading() + nodes);
}

TEST(TreeListing, StartNodeListsOnlyItsSubtreeAtItsOwnLevel) {
    QuoteTree quotes;
    // A value node: that single line, indented by its level in the whole tree.
    EXPECT_EQ(treeListing(*quotes.symbol->child(0), kLocation, kService),
              heading() + QStringList{"                         - [DATA] ACME"});

    // A field followed by a sibling: stops before the sibling.
    EXPECT_EQ(treeListing(*quotes.symbol, kLocation, kService),
              heading() + QStringList({"                    - [FIELD] symbol",
                                       "                         - [DATA] ACME",
                                       "                         - [DATA TYPE] string"}));

    // A structure whose next nodes are an uncle ("delayed") and further up "Output" and "Ping":
    // none of them belong to it.
    const QStringList request = treeListing(*quotes.request, kLocation, kService);
    EXPECT_EQ(request.size(), 3 + 7);
    EXPECT_EQ(request[3], "               - [COMPLEX TYPE] Request");
    EXPECT_EQ(request.back(), "                         - [DATA TYPE] string");
    EXPECT_FALSE(request.join('\n').contains("delayed"));

    // An operation with a following operation.
    const QStringList operation = treeListing(*quotes.getQuote, kLocation, kService);
    EXPECT_EQ(operation[3], "     - [OPERATION] GetQuote");
    EXPECT_EQ(operation.back(), "                    - [DATA TYPE] double");
    EXPECT_FALSE(operation.join('\n').contains("Ping"));
}

// Answers the print dialog as scripted and keeps what it was asked to print.
class RecordingPrintTarget final : public TreePrintTarget {
  public:
    explicit RecordingPrintTarget(const RecordingStatus& status) : status_(status) {}

    std::optional<PrintRange> choosePrinter(PrintRange preselected) override {
        offered.push_back(preselected);
        waitWhileAsked = status_.depth > 0;
        if (throwOnChoose)
            throw std::runtime_error("no print service");
        return answer;
    }
    bool printLines(const QStringList& lines, const QString& title) override {
        printed.push_back(lines);
        titles.append(title);
        return printerWorks;
    }

    std::optional<PrintRange> answer = PrintRange::All;
    bool printerWorks = true;
    bool throwOnChoose = false;
    std::vector<PrintRange> offered;
    bool waitWhileAsked = false;
    std::vector<QStringList> printed;
    QStringList titles;

  private:
    const RecordingStatus& status_;
};

// Notes whether the wait cursor was still up when a message was shown.
class CursorCheckingMessages final : public MessageSeam {
  public:
    explicit CursorCheckingMessages(const RecordingStatus& status) : status_(status) {}
    void showMessage(const QString& text) override {
        shown.append(text);
        waitWhileShown = waitWhileShown || status_.depth > 0;
    }
    MessageAnswer ask(const QString&, MessageButtons) override {
        ADD_FAILURE() << "printing asks no questions";
        return MessageAnswer::No;
    }
    QStringList shown;
    bool waitWhileShown = false;

  private:
    const RecordingStatus& status_;
};

class PrintTreeFlow : public ::testing::Test {
  protected:
    PrintTreeOutcome print(const TNVTreeNode* selected, bool nodeAndChildren) {
        return printTree({quotes_.tree, selected, kLocation, kService, nodeAndChildren}, target_,
                         messages_, status_);
    }

    QuoteTree quotes_;
    RecordingStatus status_;
    CursorCheckingMessages messages_{status_};
    RecordingPrintTarget target_{status_};
};

TEST_F(PrintTreeFlow, EmptyTreeIsRefusedBeforeAnyDialog) {
    TNVTree empty;
    EXPECT_EQ(printTree({empty, nullptr, kLocation, kService, false}, target_, messages_, status_),
              PrintTreeOutcome::NoTree);
    EXPECT_EQ(status_.texts, QStringList{"Print Canceled"});
    EXPECT_EQ(messages_.shown,
              QStringList{"You must first analyze a Web service before you can print it."});
    EXPECT_TRUE(target_.offered.empty());
    EXPECT_EQ(status_.maxDepth, 0);
}

TEST_F(PrintTreeFlow, CancelledDialogPrintsNothing) {
    target_.answer = std::nullopt;
    EXPECT_EQ(print(quotes_.symbol, true), PrintTreeOutcome::Cancelled);
    EXPECT_EQ(status_.texts, QStringList({"Printing...", "Print Cancelled"}));
    EXPECT_TRUE(target_.waitWhileAsked);
    EXPECT_EQ(status_.depth, 0);
    EXPECT_TRUE(target_.printed.empty());
    EXPECT_TRUE(messages_.shown.isEmpty());
}

TEST_F(PrintTreeFlow, PrinterFailureAndErrorsReportAfterTheWaitCursorIsGone) {
    const QStringList failed{"Printing...", "Print Failed"};
    const QStringList message{
        "Could not print tree. Please be sure printer is connected and available."};

    target_.printerWorks = false;
    EXPECT_EQ(print(nullptr, false), PrintTreeOutcome::Failed);
    EXPECT_EQ(status_.texts, failed);
    EXPECT_EQ(messages_.shown, message);
    EXPECT_FALSE(messages_.waitWhileShown);
    EXPECT_EQ(status_.depth, 0);

    // An error thrown while the dialog is up is a failure as well, not an escape.
    status_.texts.clear();
    messages_.shown.clear();
    target_.throwOnChoose = true;
    EXPECT_EQ(print(nullptr, false), PrintTreeOutcome::Failed);
    EXPECT_EQ(status_.texts, failed);
    EXPECT_EQ(messages_.shown, message);
    EXPECT_EQ(status_.depth, 0);
}

TEST_F(PrintTreeFlow, RangeChosenInTheDialogDecidesTheStartNode) {
    // "Print node and children", selection kept: the selected subtree.
    target_.answer = PrintRange::Selection;
    EXPECT_EQ(print(quotes_.symbol, true), PrintTreeOutcome::Printed);
    EXPECT_EQ(target_.offered.back(), PrintRange::Selection);
    EXPECT_EQ(target_.printed.back(), treeListing(*quotes_.symbol, kLocation, kService));
    EXPECT_EQ(target_.titles.back(), kLocation);
    EXPECT_EQ(status_.texts, QStringList({"Printing...", "Print Successful"}));
    EXPECT_EQ(status_.depth, 0);
    EXPECT_EQ(status_.maxDepth, 1);
    EXPECT_TRUE(messages_.shown.isEmpty());

    // The user switched the range to "all": the whole tree, though a node is selected.
    target_.answer = PrintRange::All;
    print(quotes_.symbol, true);
    EXPECT_EQ(target_.printed.back(), treeListing(*quotes_.tree.root(), kLocation, kService));

    // "Print Tree" offers "all".
    print(quotes_.symbol, false);
    EXPECT_EQ(target_.offered.back(), PrintRange::All);
    EXPECT_EQ(target_.printed.back(), treeListing(*quotes_.tree.root(), kLocation, kService));

    // Selection without a selected node falls back to the whole tree.
    target_.answer = PrintRange::Selection;
    print(nullptr, true);
    EXPECT_EQ(target_.printed.back(), treeListing(*quotes_.tree.root(), kLocation, kService));
}

// One operation taking one string and returning nothing, served on 127.0.0.1.
constexpr const char* kLookupWsdl = R"(<?xml version="1.0"?>
<definitions xmlns="http://schemas.xmlsoap.org/wsdl/"
    xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/"
    xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:tns="urn:lookup"
    targetNamespace="urn:lookup">
  <message name="LookupIn"><part name="key" type="xsd:string"/></message>
  <message name="LookupOut"/>
  <portType name="LookupPort">
    <operation name="Lookup"><input message="tns:LookupIn"/><output message="tns:LookupOut"/></operation>
  </portType>
  <binding name="LookupBinding" type="tns:LookupPort">
    <soap:binding style="rpc" transport="http://schemas.xmlsoap.org/soap/http"/>
    <operation name="Lookup"><soap:operation soapAction="urn:lookup#Lookup"/>
      <input><soap:body use="literal" namespace="urn:lookup"/></input>
      <output><soap:body use="literal" namespace="urn:lookup"/></output></operation>
  </binding>
  <service name="Lookups">
    <port name="LookupPort" binding="tns:LookupBinding"><soap:address location="http://127.0.0.1:1/lookup"/></port>
  </service>
</definitions>
)";

TEST(PrintAnalysedTree, OneOperationOneInputFieldNoOutputFields) {
    auto server = std::make_unique<httplib::Server>();
    server->Get("/lookup.wsdl", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(kLookupWsdl, "text/xml");
    });
    // Declared before the harness so it outlives the engine's kept-alive connections.
    nv::test::HttpServerRunner runner(std::move(server));
    CoreHarness harness;
    ASSERT_TRUE(harness.comReady);
    ASSERT_EQ(harness.start(), StartOutcome::Interactive);
    const std::string url = runner.url("/lookup.wsdl");
    ASSERT_TRUE(harness.analyze(url)) << harness.messages.shown.join('|').toStdString();

    harness.status.texts.clear();
    RecordingPrintTarget target(harness.status);
    EXPECT_EQ(printTree({harness.core.tree(), nullptr, harness.view.locationText(),
                         harness.view.serviceBoxText(), false},
                        target, harness.messages, harness.status),
              PrintTreeOutcome::Printed);
    ASSERT_EQ(target.printed.size(), 1U);
    const QString location = QString::fromStdString(url);
    const QStringList expected{
        "WSDL: " + location,
        "SERVICE: Lookups",
        "",
        "- [OPERATIONS] Operations",
        "     - [OPERATION] Lookup",
        "          - [INPUT] Input",
        "               - [FIELD] key",
        "                    - [DATA] ",
        "                    - [DATA TYPE] string",
        "          - [OUTPUT] Output",
    };
    EXPECT_EQ(target.printed[0], expected);
    EXPECT_EQ(target.titles, QStringList{location});
    EXPECT_EQ(harness.status.texts, QStringList({"Printing...", "Print Successful"}));
}

}  // namespace
}  // namespace sondar::test
