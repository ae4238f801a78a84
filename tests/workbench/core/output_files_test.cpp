// Saving output values and the grid: the texts written, their dialogs and statuses, and the
// result files services send.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "examples/demo_service/demo_service.h"
#include "tests/support/temp_dir.h"
#include "tests/workbench/support/workbench_harness.h"
#include "tests/workbench/support/wsdl_documents.h"
#include "workbench/core/files/output_files.h"

namespace sondar::test {
namespace {

class OutputFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(harness_.comReady);
        ASSERT_EQ(harness_.start(), StartOutcome::Interactive);
        harness_.core.outputFiles().setFileDialogs(&files_);
        ASSERT_TRUE(harness_.analyze(documents_.url("/orders.wsdl")));
        ASSERT_TRUE(harness_.core.invoker().invoke(nodeAt(root(), "PlaceOrder")));
    }
    TNVTreeNode* root() { return harness_.core.tree().root(); }
    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    WsdlDocuments documents_;
    nv::demo::DemoService demo_;
    CoreHarness harness_;
    ScriptedFileDialogs files_;
    nv::test::TempDir dir_{"sondar-outputs"};
};

TEST_F(OutputFilesTest, OperationsFieldsAndAllOperationsAreWrittenAsLines) {
    TNVTreeNode* op = nodeAt(root(), "PlaceOrder");
    EXPECT_EQ(
        outputValuesText(op, OutputScope::Operation),
        "accepted\r\ntrue\r\nsku\r\nA-1\r\nqty\r\n1\r\nsku\r\nB-2\r\nqty\r\n2\r\nsku\r\nC-3\r\n"
        "qty\r\n3\r\n");
    EXPECT_EQ(
        outputValuesText(nodeAt(op, "Output/PlaceOrderResponse/line [3]"), OutputScope::Field),
        "A-1\r\n1\r\nB-2\r\n2\r\nC-3\r\n3\r\n");

    files_.path = QString::fromStdString(dir_.file("all"));
    harness_.messages.answers = {MessageAnswer::Yes};
    ASSERT_TRUE(harness_.core.outputFiles().saveOutput(nullptr, OutputScope::AllOperations));
    const QByteArray all = read(files_.path + ".nof");
    EXPECT_TRUE(all.startsWith("PlaceOrder\r\naccepted\r\ntrue\r\n")) << all.constData();
    EXPECT_TRUE(all.contains("Ping\r\n"));
    EXPECT_EQ(harness_.status.last(), "Save Successful");
    EXPECT_EQ(harness_.messages.asked.back(), "Save output values for ALL operations?");

    // A simple field is saved alone, values only, also from its value node.
    files_.path = QString::fromStdString(dir_.file("one.nof"));
    TNVTreeNode* accepted = nodeAt(op, "Output/PlaceOrderResponse/accepted");
    ASSERT_TRUE(
        harness_.core.outputFiles().saveOutput(accepted->firstChild(), OutputScope::Operation));
    EXPECT_EQ(read(files_.path), "true\r\n");
    EXPECT_EQ(files_.captions.back(), "Save Output");
}

TEST_F(OutputFilesTest, NothingSelectedCancelledDialogsAndBadFoldersSaveNothing) {
    EXPECT_FALSE(harness_.core.outputFiles().saveOutput(nullptr, OutputScope::Operation));
    EXPECT_EQ(harness_.messages.shown.back(),
              "You must first select the operation on the tree "
              "containing the output data you wish to save.");
    files_.path.clear();
    EXPECT_FALSE(harness_.core.outputFiles().saveOutput(nodeAt(root(), "PlaceOrder"),
                                                        OutputScope::Operation));
    EXPECT_EQ(harness_.status.last(), "Save Canceled");
    EXPECT_FALSE(harness_.core.outputFiles().saveGrid(GridOrder::Rows));
    EXPECT_EQ(harness_.status.last(), "Save Canceled...");
    files_.path = QString::fromStdString(dir_.file("missing/dir/out.nof"));
    EXPECT_FALSE(harness_.core.outputFiles().saveOutput(nodeAt(root(), "PlaceOrder"),
                                                        OutputScope::Operation));
    EXPECT_EQ(harness_.status.last(), "Error Saving Output");
    EXPECT_TRUE(harness_.messages.shown.back().endsWith("\nThe output values could not be saved"));
}

TEST_F(OutputFilesTest, TheGridsUsedBlockIsWrittenInRowOrColumnOrder) {
    ResultGrid grid;
    grid.setCell(1, 1, "a");
    grid.setCell(2, 1, "b");
    grid.setCell(1, 2, "1");
    grid.setCell(2, 2, "2");
    grid.setCell(1, 3, "3");
    grid.setCell(5, 1, "beyond a gap");
    grid.setCell(1, 5, "below a gap");
    EXPECT_EQ(gridCsv(grid, GridOrder::Rows), "\"a\",\"b\"\r\n\"1\",\"2\"\r\n\"3\",\"\"\r\n");
    EXPECT_EQ(gridCsv(grid, GridOrder::Columns), "\"a\",\"1\",\"3\"\r\n\"b\",\"2\",\"\"\r\n");
    EXPECT_EQ(gridCsv(ResultGrid(), GridOrder::Rows), "");

    // The grid of the last call, through the command.
    files_.path = QString::fromStdString(dir_.file("grid"));
    ASSERT_TRUE(harness_.core.outputFiles().saveGrid(GridOrder::Rows));
    const QByteArray csv = read(files_.path + ".csv");
    EXPECT_TRUE(csv.startsWith("\"accepted\",\"sku\",\"qty\"\r\n\"true\",\"A-1\",\"1\"\r\n"))
        << csv.constData();
    EXPECT_EQ(files_.captions.back(), "Save Grid Data");
}

// The shared strings of a workbook, read with Python's zipfile (the test needs no zip library).
QString workbookStrings(const QString& path) {
    QProcess python;
    python.start("/usr/bin/python3",
                 {"-c",
                  "import sys, zipfile; "
                  "print(zipfile.ZipFile(sys.argv[1]).read('xl/sharedStrings.xml').decode())",
                  path});
    python.waitForFinished(30000);
    return QString::fromUtf8(python.readAllStandardOutput());
}

TEST_F(OutputFilesTest, TheGridBecomesASpreadsheetWorkbook) {
    files_.path = QString::fromStdString(dir_.file("results"));
    ASSERT_TRUE(harness_.core.outputFiles().saveExcel());
    EXPECT_EQ(harness_.status.last(), "Save Successful");
    EXPECT_EQ(files_.captions.back(), "Save as Excel File");
    const QString strings = workbookStrings(files_.path + ".xlsx");
    EXPECT_TRUE(strings.contains("accepted")) << strings.toStdString();
    EXPECT_TRUE(strings.contains("C-3"));

    QString opened;
    harness_.core.outputFiles().setFileOpener([&opened](const QString& path) {
        opened = path;
        return true;
    });
    ASSERT_TRUE(harness_.core.outputFiles().exportExcel());
    EXPECT_EQ(harness_.status.last(), "Export Successful");
    EXPECT_TRUE(workbookStrings(opened).contains("B-2"));
    QFile::remove(opened);
    QDir().rmdir(QFileInfo(opened).path());

    // More rows than a worksheet holds.
    harness_.core.state().resultGrid.resize(3, 1048578);
    EXPECT_FALSE(harness_.core.outputFiles().exportExcel());
    EXPECT_EQ(harness_.status.last(), "Export Failed");
    EXPECT_EQ(harness_.messages.shown.back(),
              "Could not export data to Excel. Maximum worksheet size may have been reached.");
    EXPECT_FALSE(harness_.core.outputFiles().saveExcel());
    EXPECT_EQ(harness_.status.last(), "Save Failed");
}

TEST_F(OutputFilesTest, AFileSentByTheServiceIsFoundInTheWorkingDirectory) {
    ASSERT_TRUE(harness_.analyze(demo_.wsdlUrl()));
    TNVTreeNode* image = nodeAt(root(), "GetImage");
    ASSERT_TRUE(harness_.core.invoker().invoke(image));
    TNVTreeNode* field = nodeAt(image, "Output/GetImageResponse/image");
    ASSERT_NE(field, nullptr);
    const QString path = harness_.core.outputFiles().resultFilePath(field->firstChild());
    ASSERT_FALSE(path.isEmpty()) << field->message().info().toStdString();
    EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
    EXPECT_TRUE(harness_.core.outputFiles().resultFilePath(nodeAt(image, "Output")).isEmpty());
}

}  // namespace
}  // namespace sondar::test
