// Saving input values and restoring them: the file's lines, restores that grow arrays and
// choose derived types until the tree fits, mismatches that clear every input, and the
// commands' dialogs and statuses.
#include <gtest/gtest.h>

#include <QFile>

#include "tests/support/temp_dir.h"
#include "tests/workbench/support/workbench_harness.h"
#include "tests/workbench/support/wsdl_documents.h"
#include "workbench/core/files/input_values_file.h"
#include "workbench/core/seams/file_dialog_seam.h"

namespace sondar::test {
namespace {

class InputFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(harness_.comReady);
        ASSERT_EQ(harness_.start(), StartOutcome::Interactive);
        harness_.core.inputFiles().setFileDialogs(&files_);
        ASSERT_TRUE(harness_.analyze(documents_.url("/orders.wsdl")));
    }
    TNVTreeNode* root() { return harness_.core.tree().root(); }
    TNVTreeNode* order() { return nodeAt(root(), "PlaceOrder/Input/PlaceOrder"); }
    void type(const QString& path, const QString& text) {
        TNVTreeNode* field = nodeAt(order(), path);
        ASSERT_NE(field, nullptr) << path.toStdString();
        harness_.core.editor().commitValue(field->firstChild(), text);
    }
    QString value(const QString& path) {
        TNVTreeNode* field = nodeAt(order(), path);
        return field ? field->firstChild()->caption() : QStringLiteral("<missing>");
    }
    // Fills the order: three lines, a Box, a boolean and text that needs escaping.
    void fillOrder() {
        type("customer", "Ada <&> \"Co\"");
        type("express", "true");
        harness_.core.editor().chooseType(nodeAt(order(), "package"),
                                          harness_.core.editor()
                                              .choiceListFor(nodeAt(order(), "package"))
                                              ->items.filter("Box")
                                              .value(0));
        type("package/width", "2.5");
        for (int n = 1; n < 3; ++n)
            ASSERT_TRUE(harness_.core.editor().addArrayElement(
                nodeAt(order(), QString("line [%1]").arg(n))));
        for (int i = 0; i < 3; ++i) {
            TNVTreeNode* element = nodeAt(order(), "line [3]")->child(i);
            harness_.core.editor().commitValue(nodeAt(element, "sku")->firstChild(),
                                               QString("S-%1").arg(i));
        }
    }

    WsdlDocuments documents_;
    CoreHarness harness_;
    ScriptedFileDialogs files_;
    nv::test::TempDir dir_{"sondar-inputs"};
};

TEST_F(InputFilesTest, TheFileListsEveryFieldOnItsOwnLine) {
    type("customer", "a<b&c");
    const QByteArray bytes = writeInputValues("Orders", {nodeAt(root(), "PlaceOrder")});
    const QStringList lines = QString::fromUtf8(bytes).split('\n');
    ASSERT_GE(lines.size(), 8);
    EXPECT_EQ(lines[0], "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>");
    EXPECT_EQ(lines[1],
              QString("<NV:service name=\"Orders\" xmlns:NV=\"") + kInputValuesNamespace + "\">");
    EXPECT_EQ(lines[2], "<operation name=\"PlaceOrder\">");
    EXPECT_EQ(lines[3], "<input isComplex=\"1\">");
    EXPECT_EQ(lines[4], "<PlaceOrder isComplex=\"1\">");
    EXPECT_EQ(lines[5], "<customer type=\"string\">a&lt;b&amp;c</customer>");
    EXPECT_TRUE(lines.contains("<line arrayMax=\"1\" isArray=\"1\" isComplex=\"1\">"));
    EXPECT_TRUE(lines.contains("</line>"));
    EXPECT_EQ(lines[lines.size() - 2], "</NV:service>");
}

TEST_F(InputFilesTest, ARestoreGrowsArraysAndChoosesTypesUntilTheTreeFits) {
    fillOrder();
    files_.path = QString::fromStdString(dir_.file("order"));
    ASSERT_TRUE(harness_.core.inputFiles().saveInput(nodeAt(root(), "PlaceOrder"), false));
    EXPECT_EQ(harness_.status.last(), "Save Successful");
    EXPECT_TRUE(QFile::exists(files_.path + ".xml")) << "the default extension is added";

    // A fresh analyse has one line and the base type.
    ASSERT_TRUE(harness_.analyze(documents_.url("/orders.wsdl")));
    ASSERT_NE(nodeAt(order(), "line [1]"), nullptr);
    files_.path += ".xml";
    ASSERT_TRUE(
        harness_.core.inputFiles().restoreInput(nodeAt(root(), "PlaceOrder/Output"), false));
    EXPECT_EQ(harness_.status.last(), "Restore Successful");
    EXPECT_EQ(value("customer"), "Ada <&> \"Co\"");
    EXPECT_EQ(value("express"), "true");
    EXPECT_EQ(value("package/width"), "2.5");
    EXPECT_TRUE(nodeAt(order(), "package")->SelectedType.contains("Box"));
    TNVTreeNode* lines = nodeAt(order(), "line [3]");
    ASSERT_NE(lines, nullptr);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(nodeAt(lines->child(i), "sku")->firstChild()->caption(), QString("S-%1").arg(i));
    EXPECT_TRUE(harness_.core.state().treeInteraction);
    EXPECT_EQ(files_.captions, QStringList({"Save Input", "Open Input File"}));
}

TEST_F(InputFilesTest, AFileForAnotherServiceDoesNotMatchAndClearsEveryInput) {
    type("customer", "Ada");
    const QString path = QString::fromStdString(dir_.file("other.xml"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(writeInputValues("Elsewhere", {nodeAt(root(), "PlaceOrder")}));
    file.close();
    files_.path = path;
    EXPECT_FALSE(harness_.core.inputFiles().restoreInput(nodeAt(root(), "PlaceOrder"), false));
    EXPECT_EQ(harness_.status.last(), "Did Not Match");
    EXPECT_EQ(harness_.messages.shown.back(),
              "The data in the file does not match the input structure for this operation or "
              "service.");
    EXPECT_NE(value("customer"), "Ada") << "inputs are cleared";
}

TEST_F(InputFilesTest, AnArrayThatCannotGrowEndsTheRestoreAsAMismatch) {
    for (int n = 1; n < 3; ++n)
        ASSERT_TRUE(
            harness_.core.editor().addArrayElement(nodeAt(order(), QString("line [%1]").arg(n))));
    const QString path = QString::fromStdString(dir_.file("three.xml"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(writeInputValues("Orders", {nodeAt(root(), "PlaceOrder")}));
    file.close();
    ASSERT_TRUE(harness_.analyze(documents_.url("/orders.wsdl")));
    // No element node to copy: the array cannot grow.
    harness_.core.tree().removeChildren(nodeAt(order(), "line [1]"));
    files_.path = path;
    EXPECT_FALSE(harness_.core.inputFiles().restoreInput(nodeAt(root(), "PlaceOrder"), false));
    EXPECT_EQ(harness_.status.last(), "Did Not Match");
}

TEST_F(InputFilesTest, SaveAllAndRestoreAllCoverEveryOperation) {
    type("customer", "Zed");
    files_.path = QString::fromStdString(dir_.file("all.xml"));
    harness_.messages.answers = {MessageAnswer::Yes};
    ASSERT_TRUE(harness_.core.inputFiles().saveInput(nullptr, true));
    EXPECT_EQ(harness_.messages.asked.back(), "Save input values for ALL operations?");
    ASSERT_TRUE(harness_.analyze(documents_.url("/orders.wsdl")));
    ASSERT_TRUE(harness_.core.inputFiles().restoreInput(nullptr, true));
    EXPECT_EQ(value("customer"), "Zed");

    harness_.messages.answers = {MessageAnswer::No};
    EXPECT_FALSE(harness_.core.inputFiles().saveInput(nullptr, true));
    EXPECT_EQ(harness_.status.last(), "Save Canceled");
}

TEST_F(InputFilesTest, CommandsExplainWhatIsMissing) {
    EXPECT_FALSE(harness_.core.inputFiles().saveInput(nullptr, false));
    EXPECT_FALSE(harness_.core.inputFiles().restoreInput(root(), false));
    EXPECT_FALSE(harness_.core.inputFiles().saveInput(nodeAt(root(), "Ping"), false));
    EXPECT_EQ(harness_.status.last(), "No Save Performed");
    EXPECT_FALSE(harness_.core.inputFiles().restoreInput(nodeAt(root(), "Ping"), false));
    EXPECT_EQ(harness_.status.last(), "No Restore Performed");
    EXPECT_EQ(harness_.messages.shown,
              QStringList({"You must first select the operation on the tree containing the input "
                           "data you wish to save.",
                           "You must first select the operation on the tree containing the input "
                           "data you wish to restore.",
                           "This operation has no input values so there is nothing to save.",
                           "This operation has no input values so there is nothing to restore."}));
    files_.path.clear();
    EXPECT_FALSE(harness_.core.inputFiles().restoreInput(nodeAt(root(), "PlaceOrder"), false));
    EXPECT_EQ(harness_.status.last(), "Restore Canceled");
    files_.path = QString::fromStdString(dir_.file("absent.xml"));
    EXPECT_FALSE(harness_.core.inputFiles().restoreInput(nodeAt(root(), "PlaceOrder"), false));
    EXPECT_EQ(harness_.status.last(), "Error restoring input values");
    EXPECT_TRUE(harness_.messages.shown.back().startsWith("File error: "));
    EXPECT_TRUE(
        harness_.messages.shown.back().endsWith("\nThe input values could not be restored."));
}

}  // namespace
}  // namespace sondar::test
