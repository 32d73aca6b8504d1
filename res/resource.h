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
// The options' position group; the third layer button, "在桌面上", is the one after IDC_LAYER_NORMAL.
#define IDC_LAYER_TOP 1070
#define IDC_LAYER_NORMAL 1071
#define IDC_LOCK 1072
#define IDC_CLICK_THROUGH 1073
#define IDC_HIDE_FULL_SCREEN 1074

#define ID_APP_ITEMS 32771
#define ID_APP_OPTIONS 32772
#define ID_APP_ABOUT 32773
#define ID_APP_QUIT 32776
#define ID_APP_HIDE 32786
