// Saving what services answered: output values as plain text (one operation, all of them, or
// one field's values) and the result grid as comma-separated values.
#pragma once

#include <functional>

#include <QByteArray>
#include <QString>

#include "workbench/core/invoke/result_grid.h"
#include "workbench/core/seams/file_dialog_seam.h"
#include "workbench/core/session/workbench_context.h"

namespace sondar {

enum class OutputScope { Operation, AllOperations, Field };
enum class GridOrder { Rows, Columns };

// The output-values text of `node`: for an operation, a name line and a value line per field
// (preceded by the operation's name in `AllOperations`); for a field, its values only.
QByteArray outputValuesText(const TNVTreeNode* node, OutputScope scope);

// The used block of the grid from cell (1,1): quoted cells, "," between them, CR LF after
// each line.
QByteArray gridCsv(const ResultGrid& grid, GridOrder order);

class OutputFiles {
  public:
    explicit OutputFiles(WorkbenchContext& context) : ctx_(context) {}
    void setFileDialogs(FileDialogSeam* files) { files_ = files; }

    // "Save", "Save ALL" and "Save field to file" of the tree's Output menu.
    bool saveOutput(TNVTreeNode* selected, OutputScope scope);
    // "Save to File..." of the result views.
    bool saveGrid(GridOrder order);
    // "&Save as Excel File..." and "E&xport to Excel..." (a temporary workbook opened with
    // the desktop's spreadsheet program through `openFile`).
    bool saveExcel();
    bool exportExcel();
    void setFileOpener(std::function<bool(const QString&)> openFile) {
        openFile_ = std::move(openFile);
    }

    // The file a "file" field names, for "View result file"; empty when it names none.
    QString resultFilePath(const TNVTreeNode* selected) const;

  private:
    WorkbenchContext& ctx_;
    FileDialogSeam* files_ = nullptr;
    std::function<bool(const QString&)> openFile_;
};

}  // namespace sondar
