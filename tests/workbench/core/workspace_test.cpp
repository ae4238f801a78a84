// Workspaces: the file's blocks, saving the working state and opening it again into a fresh
// window, and files that are not workspaces.
#include <gtest/gtest.h>

#include <QFile>

#include "tests/support/temp_dir.h"
#include "tests/workbench/support/workbench_harness.h"
#include "tests/workbench/support/wsdl_documents.h"
#include "workbench/core/files/component_stream.h"
#include "workbench/core/files/workspace_file.h"

namespace sondar::test {
namespace {

TEST(WorkspaceFile, BlocksRoundTripAndWrongTagsAreRefused) {
    WorkspaceContent content;
    content.wsdl = QString::fromUtf8("http://h\xC3\xA9/x?wsdl");
    content.services = {"A", "B"};
    content.chosenService = "B";
    content.serviceDocumentation = {"first", "four"};  // the last one exactly four bytes
    content.nodeCount = 4;
    StoredRecord record;
    record.level = 1;
    record.arrayMax = 3;
    record.isArray = true;
    record.isRequired = true;
    record.fieldName = "items";
    record.theData = QString::fromUtf8("\xE2\x82\xAC 5");
    content.nodes = {{0, 0, "Operations", 0, {}},
                     {1, 1, "Get", 1, {}},
                     {2, 2, "Input", 0, {record}},
                     {3, 2, "Output", 0, {}}};
    content.gridOperation = "Get";

    QString error;
    const auto inflated = inflateWorkspace(deflateWorkspace(encodeWorkspace(content)), error);
    ASSERT_TRUE(inflated.has_value()) << error.toStdString();
    const auto back = decodeWorkspace(*inflated, error);
    ASSERT_TRUE(back.has_value()) << error.toStdString();
    EXPECT_EQ(back->wsdl, content.wsdl);
    EXPECT_EQ(back->services, content.services);
    EXPECT_EQ(back->chosenService, "B");
    EXPECT_EQ(back->serviceDocumentation, content.serviceDocumentation);
    ASSERT_EQ(back->nodes.size(), 4u);
    EXPECT_EQ(back->nodes[2].records.size(), 1u);
    EXPECT_EQ(back->nodes[2].records[0].theData, record.theData);
    EXPECT_TRUE(back->nodes[2].records[0].isArray);
    EXPECT_EQ(back->nodes[2].records[0].arrayMax, 3);
    EXPECT_TRUE(back->nodes[3].records.empty());
    EXPECT_EQ(back->gridOperation, "Get");

    QByteArray wrong = encodeWorkspace(content);
    wrong[0] = 7;
    EXPECT_FALSE(decodeWorkspace(wrong, error).has_value());
    EXPECT_EQ(error, "Unexpected value in workspace file");
    EXPECT_FALSE(decodeWorkspace(encodeWorkspace(content).left(40), error).has_value());
    EXPECT_FALSE(inflateWorkspace("not zlib at all", error).has_value());
    // A stream that inflates past the limit is refused before it is all in memory.
    const QByteArray bomb = deflateWorkspace(QByteArray(8 << 20, '\0'));
    EXPECT_LT(bomb.size(), 64 << 10);
    EXPECT_FALSE(inflateWorkspace(bomb, error, 1 << 20).has_value());
    EXPECT_TRUE(inflateWorkspace(bomb, error).has_value());
    EXPECT_FALSE(inflateWorkspace(bomb.left(bomb.size() / 2), error).has_value()) << "truncated";
}

TEST(WorkspaceFile, AWorkspaceWrittenOnWindowsIsRead) {
    // The toolkit's own component stream in block 2 (with properties this program does not
    // keep), and a Windows-1252 documentation text.
    QFile file(QStringLiteral(NV_WORKBENCH_TEST_DATA "/windows-workspace.nws"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString error;
    const auto inflated = inflateWorkspace(file.readAll(), error);
    ASSERT_TRUE(inflated.has_value()) << error.toStdString();
    const auto content = decodeWorkspace(*inflated, error);
    ASSERT_TRUE(content.has_value()) << error.toStdString();
    EXPECT_EQ(content->services, QStringList({"S", "T"}));
    EXPECT_EQ(content->chosenService, "S");
    EXPECT_EQ(content->serviceDocumentation, QStringList({QString::fromUtf8("caf\xC3\xA9")}));
    ASSERT_EQ(content->nodes.size(), 4u);
    EXPECT_EQ(content->nodes[2].records.at(0).theData, "v");
    EXPECT_EQ(content->gridOperation, "Op");
}

TEST(WorkspaceFile, TheServicesBlockIsTheToolkitsComponentStream) {
    const QByteArray stream = writeComboBoxStream({{"A", QString::fromUtf8("B\xE2\x82\xAC")}, "A"});
    EXPECT_TRUE(stream.startsWith("TPF0\x09TComboBox\x0BServicesBox"));
    qsizetype position = 0;
    const auto back = readComboBoxStream(stream + "tail", position);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->items, QStringList({"A", QString::fromUtf8("B\xE2\x82\xAC")}));
    EXPECT_EQ(back->text, "A");
    EXPECT_EQ(position, stream.size()) << "the reader stops at the stream's end";
    // Cut anywhere, the stream is refused and nothing is read past the bytes.
    for (qsizetype cut = 0; cut < stream.size(); ++cut) {
        qsizetype at = 0;
        EXPECT_FALSE(readComboBoxStream(stream.left(cut), at).has_value()) << cut;
        EXPECT_EQ(at, 0);
    }
}

class WorkspaceFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(harness_.comReady);
        ASSERT_EQ(harness_.start(), StartOutcome::Interactive);
        harness_.core.workspaceFiles().setFileDialogs(&files_);
        files_.path = QString::fromStdString(dir_.file("session.nws"));
    }
    TNVTreeNode* root(CoreHarness& h) { return h.core.tree().root(); }

    WsdlDocuments documents_;
    CoreHarness harness_;
    ScriptedFileDialogs files_;
    nv::test::TempDir dir_{"sondar-workspaces"};
};

TEST_F(WorkspaceFilesTest, ASavedSessionOpensWithItsValuesAndTheLastGrid) {
    ASSERT_TRUE(harness_.analyze(documents_.url("/orders.wsdl")));
    TNVTreeNode* op = nodeAt(root(harness_), "PlaceOrder");
    harness_.core.editor().commitValue(nodeAt(op, "Input/PlaceOrder/customer")->firstChild(),
                                       "Wes");
    ASSERT_TRUE(harness_.core.editor().addArrayElement(nodeAt(op, "Input/PlaceOrder/line [1]")));
    ASSERT_TRUE(harness_.core.invoker().invoke(op));
    ASSERT_TRUE(harness_.core.workspaceFiles().saveWorkspace());
    EXPECT_EQ(harness_.status.last(), "Workspace Saved");
    EXPECT_EQ(harness_.core.recentWorkspaces(), QStringList({files_.path}));

    CoreHarness fresh;
    ASSERT_EQ(fresh.start(), StartOutcome::Interactive);
    ScriptedFileDialogs open;
    open.path = files_.path;
    fresh.core.workspaceFiles().setFileDialogs(&open);
    ASSERT_TRUE(fresh.core.workspaceFiles().openWorkspace())
        << fresh.messages.shown.join("|").toStdString();
    EXPECT_EQ(fresh.status.last(), "Workspace Opened");
    EXPECT_EQ(open.captions, QStringList({"Open Workspace"}));
    EXPECT_EQ(fresh.view.location, QString::fromStdString(documents_.url("/orders.wsdl")));
    EXPECT_EQ(childCaptions(root(fresh)), QStringList({"PlaceOrder", "Ping"}));
    TNVTreeNode* restored = nodeAt(root(fresh), "PlaceOrder");
    EXPECT_EQ(nodeAt(restored, "Input/PlaceOrder/customer")->firstChild()->caption(), "Wes");
    EXPECT_NE(nodeAt(restored, "Input/PlaceOrder/line [2]"), nullptr);
    EXPECT_NE(nodeAt(restored, "Output/PlaceOrderResponse/line [3]"), nullptr);
    EXPECT_EQ(fresh.core.state().resultGrid.cell(2, 4), "C-3") << "the grid of the last call";
    EXPECT_EQ(fresh.core.state().currentService, "Orders");
    EXPECT_EQ(fresh.core.recentWorkspaces(), QStringList({files_.path}));
    EXPECT_TRUE(fresh.core.state().treeExists);

    // The opened records are live: they can be invoked again.
    ASSERT_TRUE(fresh.core.invoker().invoke(restored));
    EXPECT_NE(documents_.lastOrder().find(">Wes<"), std::string::npos);
}

TEST_F(WorkspaceFilesTest, SavingNeedsAnAnalysedLocationAndOpeningNeedsAWorkspace) {
    EXPECT_FALSE(harness_.core.workspaceFiles().saveWorkspace());
    ASSERT_TRUE(harness_.analyze(documents_.url("/orders.wsdl")));
    harness_.core.state().locationEdited = true;
    EXPECT_FALSE(harness_.core.workspaceFiles().saveWorkspace());
    EXPECT_EQ(harness_.messages.shown,
              QStringList(2,
                          "The selected WSDL and Service must be Analyzed before saving "
                          "workspace."));
    harness_.core.state().locationEdited = false;
    files_.path.clear();
    EXPECT_FALSE(harness_.core.workspaceFiles().saveWorkspace());
    EXPECT_EQ(harness_.status.last(), "Workspace Save Canceled");

    // Saved before any invoke: no grid after opening.
    files_.path = QString::fromStdString(dir_.file("plain.nws"));
    ASSERT_TRUE(harness_.core.workspaceFiles().saveWorkspace());
    ASSERT_TRUE(harness_.core.workspaceFiles().openWorkspace(files_.path));
    EXPECT_EQ(harness_.core.state().resultGrid.cell(1, 1), "");

    const QString junk = QString::fromStdString(dir_.file("junk.nws"));
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("this is no workspace");
    file.close();
    harness_.messages.shown.clear();
    EXPECT_FALSE(harness_.core.workspaceFiles().openWorkspace(junk));
    EXPECT_EQ(harness_.status.last(), "Error Opening Workspace");
    ASSERT_EQ(harness_.messages.shown.size(), 1);
    EXPECT_TRUE(harness_.messages.shown[0].startsWith("File error: "));
    EXPECT_TRUE(harness_.messages.shown[0].endsWith("\nThe Workspace could not be opened."));
    EXPECT_TRUE(harness_.core.tree().empty()) << "a failed open leaves an empty tree";
}

}  // namespace
}  // namespace sondar::test
