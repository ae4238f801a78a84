#include "workbench/core/invoke/result_grid.h"

namespace sondar {

void ResultGrid::clear() {
    for (auto& column : cells_)
        for (QString& text : column)
            text.clear();
}

void ResultGrid::resize(int columns, int rows) {
    columns_ = columns;
    rows_ = rows;
    cells_.resize(static_cast<std::size_t>(columns));
    for (auto& column : cells_)
        column.resize(static_cast<std::size_t>(rows));
}

void ResultGrid::insertColumn(int at) {
    if (at < 0 || at > columns_)
        return;
    cells_.insert(cells_.begin() + at, std::vector<QString>(static_cast<std::size_t>(rows_)));
    ++columns_;
}

void ResultGrid::insertRow(int at) {
    if (at < 0 || at > rows_)
        return;
    for (auto& column : cells_)
        column.insert(column.begin() + at, QString());
    ++rows_;
}

QString ResultGrid::cell(int column, int row) const {
    if (column < 0 || column >= columns_ || row < 0 || row >= rows_)
        return {};
    return cells_[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
}

void ResultGrid::setCell(int column, int row, const QString& text) {
    if (column < 0 || column >= columns_ || row < 0 || row >= rows_)
        return;
    cells_[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)] = text;
}

bool ResultGrid::columnHasText(int column) const {
    for (int row = 1; row < rows_; ++row)
        if (!cell(column, row).isEmpty())
            return true;
    return false;
}

}  // namespace sondar
