// Resource ids of Tolv.exe.
#pragma once

#define IDI_LAUNCHER 107

// Context menus: each popup is the menu's first submenu.
#define IDR_POPUP_MAINMENU 176
#define IDR_POPUP_PACKAGE 177
#define IDR_POPUP_PLAIN 208

#define ID_PAGE_REFRESH 32772
#define ID_PAGE_ADD_COMMAND 32773
#define ID_ITEM_UPDATE 32780
#define ID_ITEM_REMOVE 32781
#define ID_ITEM_EDIT 32782

// The removal question for store packages.
#define IDD_REMOVE_ITEM 206
#define IDC_REMOVE_FULL 1000
#define IDC_REMOVE_TEXT 1001
#define IDC_REMOVE_LINK_ONLY 1002
