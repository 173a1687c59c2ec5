#include "hive_list.h"

#include <commctrl.h>

HWND MainWindow;
HWND HiveListView;

// State images count from 1: the empty box, then the ticked one.
static const UINT Unchecked = INDEXTOSTATEIMAGEMASK(1), Checked = INDEXTOSTATEIMAGEMASK(2);

const ListColumn HiveListColumns[COLUMN_COUNT] = {
    {"Registry Hive", 135, LVCFMT_LEFT},
    {"Size", 60, LVCFMT_LEFT},
    {"Compacted Size", 110, LVCFMT_LEFT},
    {"Ratio", 50, LVCFMT_RIGHT},
};

void AddListRow(int row, int hive)
{
    // The row keeps its hive's index: failed hives have no row, so the two
    // numbers part after the first of them.
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = hive;
    SendMessageA(HiveListView, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int ListRowCount()
{
    return int(SendMessageA(HiveListView, LVM_GETITEMCOUNT, 0, 0));
}

int RowHive(int row)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageA(HiveListView, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return int(item.lParam);
}

bool IsRowChecked(int row)
{
    return SendMessageA(HiveListView, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) == Checked;
}

void SetRowChecked(int row, bool checked)
{
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = checked ? Checked : Unchecked;
    SendMessageA(HiveListView, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void SetRowText(int row, HiveListColumn column, const char* text)
{
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    SendMessageA(HiveListView, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}
