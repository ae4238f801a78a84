// The result grid's cells without a display: column 0 and row 0 are the fixed heading cells,
// data starts at (1,1); row 1 holds field names, the rows below their values.
#pragma once

#include <vector>

#include <QString>

namespace sondar {

class ResultGrid {
  public:
    static constexpr int kInitialColumns = 27;
    static constexpr int kInitialRows = 65;

    ResultGrid() { resize(kInitialColumns, kInitialRows); }

    int columnCount() const { return columns_; }
    int rowCount() const { return rows_; }
    // Empties every cell.
    void clear();
    // New sizes keep the cells that still fit.
    void resize(int columns, int rows);
    void insertColumn(int at);
    void insertRow(int at);
    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString& text);
    // Whether the column holds any text below its heading.
    bool columnHasText(int column) const;

  private:
    int columns_ = 0;
    int rows_ = 0;
    std::vector<std::vector<QString>> cells_;  // [column][row]
};

}  // namespace sondar
