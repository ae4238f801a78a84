#include "workbench/core/files/spreadsheet.h"

#include <xlsxwriter.h>

namespace sondar {

WorkbookResult writeGridWorkbook(const ResultGrid& grid, const QString& path) {
    if (grid.rowCount() - 1 > LXW_ROW_MAX || grid.columnCount() - 1 > LXW_COL_MAX)
        return WorkbookResult::TooLarge;
    lxw_workbook* workbook = workbook_new(path.toLocal8Bit().constData());
    if (!workbook)
        return WorkbookResult::Failed;
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    bool ok = sheet != nullptr;
    for (int column = 1; ok && column < grid.columnCount(); ++column)
        for (int row = 1; ok && row < grid.rowCount(); ++row) {
            const QString text = grid.cell(column, row);
            if (!text.isEmpty())
                ok = worksheet_write_string(sheet, static_cast<lxw_row_t>(row - 1),
                                            static_cast<lxw_col_t>(column - 1),
                                            text.toUtf8().constData(), nullptr) == LXW_NO_ERROR;
        }
    // Closing writes the file and frees the workbook, also after a failure.
    const bool closed = workbook_close(workbook) == LXW_NO_ERROR;
    return ok && closed ? WorkbookResult::Written : WorkbookResult::Failed;
}

}  // namespace sondar
