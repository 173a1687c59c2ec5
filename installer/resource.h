// Resource and control ids of the installer; the values are fixed.
#pragma once

#define IDD_OPTIONS 101
#define IDB_BANNER 103
#define IDI_INSTALLER 104
#define IDD_LICENSE 105
#define IDR_LICENSE_TEXT 108
#define IDD_INSTALL 113
#define IDR_CABINET 122

#define IDC_INSTALL_DIR 1000
#define IDC_BROWSE 1003
#define IDC_START_MENU 1004
#define IDC_DESKTOP 1005
#define IDC_ACCEPT 1006
#define IDC_DECLINE 1007
#define IDC_SEPARATOR 1008
#define IDC_LICENSE_TEXT 1009
#define IDC_INSTALL 1010
#define IDC_CANCEL_INSTALL 1011
#define IDC_GROUP 1013
#define IDC_PROGRESS 1016
#define IDC_STATUS 1017
