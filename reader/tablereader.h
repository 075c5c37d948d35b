#pragma once
// Reading a TABLE element into a table with rows and cells, and the occupancy record that tells which
// declared column (COL) a cell falls into when cells above span rows.

#include <memory>
#include <vector>

class ThtmlTable;
class TCellObj;

// Which declared columns are taken in which rows. Cells are added row by row, top to bottom, so a column
// is taken in a row at or below the current one exactly when some cell that covers it reaches that far:
// one "taken until" row per column is the whole record.
class TCellManager {
public:
    explicit TCellManager(int columns) : FBusyUntil(std::size_t(columns > 0 ? columns : 0), 0) {}

    // The first declared column free in row, or -1 when every one is taken.
    int FindColNum(int row) const;
    // Marks the columns the cell takes from the first free one in row; a cell that runs into taken
    // columns (or past the declared ones) has its column span cut to what it could take.
    void AddCell(int row, TCellObj& cell);

private:
    std::vector<int> FBusyUntil;  // per column: the first row in which it is free again
};
