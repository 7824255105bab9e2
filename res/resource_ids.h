// SPDX-License-Identifier: MIT
// Numbers of the dialogs, controls, commands and strings, as the dialog
// templates, the menu and the message map name them. A control's objectName
// is its number, so that tests and the layout find it.
#pragma once

// Dialogs.
constexpr int IDD_ABOUTBOX = 100;

// Strings.
constexpr int IDS_ABOUTBOX = 101;
constexpr int IDS_HELP_FAILED = 103;

// The program icon and the button pictures; ButtonPicturePath names their
// files.
constexpr int IDR_MAINFRAME = 128;
constexpr int IDB_ARROW_LEFT = 140;
constexpr int IDB_ARROW_RIGHT = 141;
constexpr int IDB_SHAPE_SQUARE = 142;
constexpr int IDB_SHAPE_ROUND = 143;
constexpr int IDB_GREEN_PENCIL = 149;
constexpr int IDB_ZOOM_IN = 153;
constexpr int IDB_ZOOM_OUT = 154;
constexpr int IDB_ERASER = 157;
constexpr int IDB_RED_BRUSH = 159;
constexpr int IDB_OPEN_FOLDER = 161;
constexpr int IDB_FLOPPY_DISK = 162;
constexpr int IDB_ZOOM_FIT = 164;
constexpr int IDB_ACTUAL_SIZE = 165;
constexpr int IDB_GUIDE_PENCIL = 166;

// Controls of the About box.
constexpr int IDC_AUTHOR1 = 1045;
constexpr int IDC_AUTHOR2 = 1046;
constexpr int IDC_WEB_SITE = 1047;

// Controls of the main dialog.
constexpr int IDC_OPEN = 1001;
constexpr int IDC_CANVAS_PLACE = 1002;
constexpr int IDC_SAVE = 1003;
constexpr int IDC_ZOOM_TEXT = 1020;
constexpr int IDC_ZOOM_IN = 1021;
constexpr int IDC_ZOOM_OUT = 1022;
constexpr int IDC_RELOAD_LAST = 1023;
constexpr int IDC_TOOL_BRUSH = 1024;
constexpr int IDC_TOOL_ERASER = 1025;
constexpr int IDC_BRUSH_SIZE_LIST = 1026;
constexpr int IDC_TOOL_OUTLINE = 1027;
constexpr int IDC_STEP_BACK = 1028;
constexpr int IDC_STEP_FORWARD = 1029;
constexpr int IDC_ACTUAL_SIZE = 1030;
constexpr int IDC_STATUS = 1031;
constexpr int IDC_FILE_NAME = 1032;
constexpr int IDC_BRUSH_SIZE = 1033;
constexpr int IDC_BRUSH_SIZE_TEXT = 1034;
constexpr int IDC_SHAPE_SQUARE = 1035;
constexpr int IDC_SHAPE_ROUND = 1036;
constexpr int IDC_ZOOM_FIT = 1037;
constexpr int IDC_PATCH_SIZE = 1038;
constexpr int IDC_PATCH_SIZE_TEXT = 1039;
constexpr int IDC_PAINT = 1042;
constexpr int IDC_UNDO = 1043;
constexpr int IDC_SMOOTH_SEAM = 1044;
constexpr int IDC_ZOOM_LABEL = 1053;
constexpr int IDC_SETTINGS_GROUP = 1054;
constexpr int IDC_PATCH_SIZE_LABEL = 1055;
constexpr int IDC_TOOLBAR_LINE = 1056;
constexpr int IDC_BEFORE_AFTER = 1057;
constexpr int IDC_FILL_METHOD_LABEL = 1059;
constexpr int IDC_FILL_METHOD = 1060;
constexpr int IDC_TOOL_GUIDE = 1061;
// The Preferences dialog's one choice.
constexpr int IDC_REMEMBER_TOOLS = 1058;

// The canvas pane, created over IDC_CANVAS_PLACE.
constexpr int IDC_CANVAS = 9999;

// Menu commands.
constexpr int ID_FILE_EXIT = 32771;
constexpr int ID_FILE_OPEN_IMAGE = 32772;
constexpr int ID_FILE_SAVE_IMAGE = 32773;
constexpr int ID_HELP_READ = 32775;
constexpr int ID_HELP_ABOUT = 32776;
constexpr int ID_EDIT_UNDO = 32777;
constexpr int ID_EDIT_REDO = 32778;
constexpr int ID_VIEW_ZOOM_IN = 32779;
constexpr int ID_VIEW_ZOOM_OUT = 32780;
constexpr int ID_VIEW_ZOOM_FIT = 32781;
constexpr int ID_VIEW_ACTUAL_SIZE = 32782;
constexpr int ID_TOOL_BRUSH = 32783;
constexpr int ID_TOOL_ERASER = 32784;
constexpr int ID_TOOL_OUTLINE = 32785;
constexpr int ID_TOOL_SMALLER = 32786;
constexpr int ID_TOOL_LARGER = 32787;
constexpr int ID_EDIT_PREFERENCES = 32788;
constexpr int ID_TOOL_GUIDE = 32789;
// The File menu's recent pictures, first to last, and the entry that clears them.
constexpr int ID_FILE_RECENT_FIRST = 32790;
constexpr int ID_FILE_RECENT_CLEAR = 32799;
