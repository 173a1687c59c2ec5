// The list of hives in the main window, as the rows that the other files fill
// and read: one row for each hive that could be saved and measured, in
// catalogue order, each knowing its hive and carrying a check box (its state
// image: 2 checked, that is, to be compacted; 1 unchecked).
#pragma once

#include <windows.h>

extern HWND MainWindow;   // the main dialog; null until created
extern HWND HiveListView; // its list of hives, control 1000

enum HiveListColumn {
    COLUMN_HIVE,
    COLUMN_SIZE,
    COLUMN_COMPACTED_SIZE,
    COLUMN_RATIO,
    COLUMN_COUNT,
};

struct ListColumn {
    const char* Title;
    int Width;  // pixels
    int Format; // LVCFMT_LEFT or LVCFMT_RIGHT
};
extern const ListColumn HiveListColumns[COLUMN_COUNT];

// Inserts an empty row at the given index, standing for the hive at the
// catalogue index.
void AddListRow(int row, int hive);

int ListRowCount();

// The catalogue index of the row's hive.
int RowHive(int row);

// Only state image 2 is checked: 1, and a row without a state image, are not.
bool IsRowChecked(int row);
void SetRowChecked(int row, bool checked);

void SetRowText(int row, HiveListColumn column, const char* text);
