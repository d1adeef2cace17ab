// Resource, control and command ids of the program. Plain #defines so that
// both the resource compiler and the C++ code read the same numbers.
#pragma once

// Templates and resources.
#define IDD_MAIN 101
#define IDR_MAIN_MENU 106
#define IDI_APP 107
#define IDD_OPTIONS 109

// Main window controls.
#define IDC_MOUSE_CHOICE 1000
#define IDC_INSERT_MOUSE 1001
#define IDC_SCRIPT_LIST 1002
#define IDC_WAIT_MS 1003
#define IDC_INSERT_WAIT 1004
#define IDC_INSERT_MOVE 1005
#define IDC_TARGET_X 1006
#define IDC_TARGET_Y 1007
#define IDC_CURSOR_X 1008
#define IDC_CURSOR_Y 1009
#define IDC_REPEAT_COUNT 1010
#define IDC_LOOP 1012
#define IDC_PASS_TEXT 1013
#define IDC_KEY_CHAR 1016
#define IDC_KEY_ACTION 1017
#define IDC_INSERT_KEY 1018
#define IDC_SPECIAL_ACTION 1021
#define IDC_STATE_TEXT 1023
#define IDC_COLOUR_TEXT 1026
#define IDC_AD_TEXT 1027
#define IDC_CLOSE_AD 1029
#define IDC_SPECIAL_KEY 1030
#define IDC_INSERT_SPECIAL 1032
#define IDC_TYPE_TEXT 1044
#define IDC_INSERT_TEXT 1045
#define IDC_COLOUR_X 1046
#define IDC_COLOUR_Y 1047
#define IDC_COLOUR_VALUE 1048
#define IDC_COLOUR_LIMIT 1049
#define IDC_INSERT_COLOUR 1050
#define IDC_WHEEL_NOTCHES 1051
#define IDC_INSERT_WHEEL 1052
#define IDC_STATUS_BAR 888

// Options dialog controls.
#define IDC_RUN_MODIFIERS 1036
#define IDC_RUN_KEY 1037
#define IDC_STOP_MODIFIERS 1038
#define IDC_STOP_KEY 1039
#define IDC_CAPTURE_MODIFIERS 1040
#define IDC_CAPTURE_KEY 1041
#define IDC_RECORD_MODIFIERS 1042
#define IDC_RECORD_KEY 1043

// Commands: buttons, menu entries and the notification-area icon callback.
#define IDM_RUN 1               // also IDOK: Enter in a single-line edit
#define IDM_END 2               // also IDCANCEL: Esc and the close box
#define IDM_TRAY_CALLBACK 107   // the tray icon reports as WM_COMMAND 107
#define IDM_DELETE_LINE 1011
#define IDM_CLEAR_LIST 1014
#define IDM_STOP 1015
#define IDM_INSTRUCTIONS 40001
#define IDM_HOME_PAGE 40002
#define IDM_ABOUT 40003
#define IDM_OPEN 40008
#define IDM_SAVE 40009
#define IDM_OPTIONS 40013
#define IDM_MESSAGE_BOARD 40014
#define IDM_RECORD 40015        // "录制", while recording "停止录制"
