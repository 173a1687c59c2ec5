// Resource and control ids of the compactor; the values are fixed, and 1000
// and 1001 double as the help file's context numbers.
#pragma once

#define IDD_MAIN 101

#define IDC_HIVE_LIST 1000
#define IDC_COMPACT 1001
#define IDC_WEB_LINK 1006
#define IDC_SEPARATOR 1008
#define IDC_STATUS 1010

#define IDI_APP 102
#define IDB_BANNER 107
#define IDC_HAND_POINTER 108
#define IDI_CHECKED 115
#define IDI_UNCHECKED 116
