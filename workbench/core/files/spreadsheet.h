// The result grid as a spreadsheet workbook (.xlsx), for "Save as Excel File..." and "Export
// to Excel...".
#pragma once

#include <QString>

#include "workbench/core/invoke/result_grid.h"

namespace sondar {

enum class WorkbookResult {
    Written,
    TooLarge,  // more rows or columns than a worksheet holds
    Failed,    // the file could not be written
};

// Writes the grid's cells from (1,1) on as the first worksheet's cells from A1 on.
WorkbookResult writeGridWorkbook(const ResultGrid& grid, const QString& path);

}  // namespace sondar
