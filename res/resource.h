// Resource ids, grouped by kind. Plain macros: the resource compiler reads this file too.
#pragma once

#define IDR_MAINFRAME 128
#define IDR_APP_MENU 130
#define IDI_TRAY 140

#define IDD_WIDGET 102
#define IDD_OPTIONS 138
#define IDD_ITEMS 139
#define IDD_ABOUT 141

#define IDC_FONT_SIZE 1023
#define IDC_ITEMS_TEXT 1030
#define IDC_ABOUT_TEXT 1040
#define IDC_REMIND 1050
#define IDC_REMIND_AT 1051
#define IDC_REMIND_SOUND 1052
#define IDC_AUTOSTART 1053
#define IDC_AUTOSTART_NOTE 1054
#define IDC_ROWS 1060
#define IDC_ORDER 1061
#define IDC_WITHIN 1062
#define IDC_ITEM_DIR_LABEL 1075
#define IDC_ITEM_DIR 1076
#define IDC_ITEM_DIR_CHANGE 1077
#define IDC_ITEM_DIR_DEFAULT 1078

#define ID_APP_ITEMS 32771
#define ID_APP_OPTIONS 32772
#define ID_APP_ABOUT 32773
#define ID_APP_QUIT 32776
#define ID_APP_HIDE 32786
#define ID_APP_EXPORT 32790
