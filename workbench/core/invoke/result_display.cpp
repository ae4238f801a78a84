#include "workbench/core/invoke/result_display.h"

#include <algorithm>

namespace sondar {

namespace {

class GridFiller {
  public:
    GridFiller(ResultGrid& grid, QStringList& lines) : grid_(grid), lines_(lines) {}

    void fill(const TNVTreeNode* node) {
        const int ownColumn = column_;
        const IOMessageRef record = node->message();
        if (record && record.isArray()) {
            row_ = std::min(row_, rowBase_);
            for (int i = 0; i < node->childCount(); ++i) {
                column_ = ownColumn;
                fill(node->child(i));
                if (i + 1 < node->childCount())
                    ++row_;
            }
        } else if (node->kind() == NodeKind::Structure) {
            if (firstStructureColumn_ == 0 && row_ > 0)
                firstStructureColumn_ = column_;
            if (column_ == firstStructureColumn_) {
                rowBase_ = highestRow_;
                if (row_ != highestRow_ + 1)
                    row_ = highestRow_;
            }
            if (record && record.isSimpleDataField())
                fillValue(node);
            for (int i = 0; i < node->childCount(); ++i)
                fill(node->child(i));
        } else if (node->kind() == NodeKind::SimpleField ||
                   node->kind() == NodeKind::AttributeField) {
            fillValue(node);
        }
        highestRow_ = std::max(highestRow_, row_);
    }

  private:
    void fillValue(const TNVTreeNode* node) {
        int column = column_;
        const TNVTreeNode* value = node->firstChild();
        const QString valueText =
            value && value->kind() == NodeKind::Value ? value->caption() : QString();
        lines_.append(node->caption() + QStringLiteral(" = ") + valueText);
        if (grid_.cell(column, 1) != node->caption()) {
            // A new field name: a new column at the right end, before the spare one.
            column = grid_.columnCount() - 1;
            grid_.insertColumn(column);
            row_ = 2;
            grid_.setCell(column, 1, node->caption());
            grid_.setCell(column, 2, valueText);
        } else {
            const int lastRow = grid_.rowCount() - 1;
            if (row_ > lastRow)
                row_ = lastRow;
            if (row_ == lastRow)
                grid_.insertRow(row_);
            grid_.setCell(column, row_, valueText);
        }
        column_ = column_ + 1;
    }

    ResultGrid& grid_;
    QStringList& lines_;
    int column_ = 1;
    int row_ = 0;
    int rowBase_ = 2;
    int highestRow_ = 2;
    int firstStructureColumn_ = 0;
};

}  // namespace

void displayValues(const TNVTreeNode* start, ResultGrid& grid, QStringList& textLines) {
    grid.clear();
    grid.resize(2, 4);
    if (start) {
        GridFiller filler(grid, textLines);
        for (int i = 0; i < start->childCount(); ++i)
            filler.fill(start->child(i));
    }
    // The spare row and column go; the grid never shrinks below its initial size.
    grid.resize(grid.columnCount() > ResultGrid::kInitialColumns ? grid.columnCount() - 1
                                                                 : ResultGrid::kInitialColumns,
                grid.rowCount() > ResultGrid::kInitialRows ? grid.rowCount() - 1
                                                           : ResultGrid::kInitialRows);
}

}  // namespace sondar
