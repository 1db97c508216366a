// Resource and command identifiers shared by the resource script and the code.
#pragma once

#define IDR_MAINMENU 109
#define IDR_ACCELERATORS 109
#define IDD_ABOUTBOX 102
#define IDD_SEARCH 129
#define IDD_GREP 130
#define IDI_QUORVANE 107
#define IDI_QUORVANE_SECOND 108
#define IDS_APP_TITLE 103
#define IDS_WINDOW_CLASS 109

#define IDC_ABOUT_ICON 2
#define IDC_SEARCH_TEXT 1007
#define IDC_SEARCH_UP 1038
#define IDC_SEARCH_DOWN 1010

#define IDM_EXIT 105
#define IDM_ABOUT 104
#define IDM_OPEN 32773
#define IDM_SAVE 32775
#define IDM_SAVE_AS 32777
#define IDM_SEARCH 1007
#define IDM_FIND_NEXT 32781
#define IDM_LIST_DIRECTORY 32783
#define IDM_SWAP_TEXT 32785
#define IDM_GREP 32787
#define IDM_CHANGE_WALLPAPER 32790

// Grep's masks and excluded folders, and the progress window of a background run.
#define IDD_PROGRESS 140
#define IDC_GREP_MASK 1150
#define IDC_GREP_EXCLUDE 1151
#define IDC_PROGRESS_COUNTS 1152
#define IDC_PROGRESS_FOLDER 1153

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
