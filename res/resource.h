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

// Replace, search options, recent files and font.
#define IDD_REPLACE 150
#define IDC_MATCH_CASE 1111
#define IDC_WHOLE_WORD 1112
#define IDC_REPLACE_TEXT 1113
#define IDC_REPLACE_ONE 1114
#define IDC_REPLACE_ALL 1115
#define IDC_REGEX                       1116
#define IDM_REPLACE 32850
#define IDM_FONT 32851
// Ten recent files, most recent first: IDM_RECENT_FIRST + 0 ... + 9.
#define IDM_RECENT_FIRST 32860
#define IDM_RECENT_LAST 32869

// Grep's masks and excluded folders, and the progress window of a background run.
#define IDD_PROGRESS 160
#define IDC_GREP_MASK 1150
#define IDC_GREP_EXCLUDE 1151
#define IDC_PROGRESS_COUNTS 1152
#define IDC_PROGRESS_FOLDER 1153

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Keyboard shortcuts, tag jump and go to line.
#define IDM_FIND_PREVIOUS 32900
#define IDM_GO_TO_LINE 32901
#define IDM_TAG_JUMP 32902
#define IDM_TAG_JUMP_BACK 32903
#define IDM_SELECT_ALL 32904
// Not in the menu: a double click in the right pane, and the file named on
// the command line once the window is up.
#define IDM_TAG_JUMP_CLICK 32905
#define IDM_OPEN_START_ARGUMENT 32906
// 編集 → 元に戻す, やり直し.
#define IDM_UNDO 32907
#define IDM_REDO 32908
#define IDD_GO_TO_LINE 140
#define IDC_GO_TO_LINE_NUMBER 1100
#define IDC_GO_TO_LINE_RANGE 1101

// 表示: status bar, line numbers, word wrap and zoom; ファイル → 開き直す
// (文字コード指定), one command per encoding; the Save As dialog's own part.
#define IDM_VIEW_STATUS_BAR 32920
#define IDM_VIEW_LINE_NUMBERS 32921
#define IDM_VIEW_WORD_WRAP 32922
#define IDM_VIEW_LAST_SESSION 32926
#define IDM_ZOOM_IN 32923
#define IDM_ZOOM_OUT 32924
#define IDM_ZOOM_RESET 32925
#define IDM_REOPEN_AUTO 32930
#define IDM_REOPEN_SJIS 32931
#define IDM_REOPEN_UTF8 32932
#define IDM_REOPEN_UTF16LE 32933
#define IDM_REOPEN_UTF16BE 32934
#define IDM_REOPEN_EUCJP 32935
#define IDD_SAVE_FORMAT 170
#define IDC_SAVE_ENCODING 1200
#define IDC_SAVE_LINE_ENDS 1201
#define IDC_STATUS_BAR 1210
