// Numbers of the program's resources, dialog controls and commands. Plain #defines, so that
// both the C++ code and the resource compiler read this file.
#ifndef QUENDRIX_RESOURCE_H
#define QUENDRIX_RESOURCE_H

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_CONVERTER 102
#define IDD_SETTINGS 133

// Context menu, application icon, picking cursor, disabled-swatch pattern
#define IDR_CONTEXTMENU 104
#define IDR_MAINFRAME 128
#define IDC_PICKER 135
#define IDB_DISABLED 136

// Strings: system-menu items and the help-failure message
#define IDS_ABOUTBOX 101
#define IDS_NOHELP 102
#define IDS_SETTINGS 103

// System-menu commands; the low four bits stay clear for the system's own use
#define IDM_ABOUTBOX 0x0010
#define IDM_SETTINGS 0x0020

// Labels and the group box carry no number of their own
#define IDC_STATIC (-1)

// Converter window controls; each number doubles as its tooltip's string number
#define IDC_TEXT 1002
#define IDC_HEX 1003
#define IDC_DEC 1004
#define IDC_BIN 1005
#define IDC_IP 1006
#define IDC_LONG 1007
#define IDC_WORD 1008
#define IDC_CHAR 1009
#define IDC_SIGNED 1010
#define IDC_CLEAR 1011
#define IDC_SPIN 1015
#define IDC_COLOR 1018

// Settings dialog controls
#define IDC_INCREMENT 1017
#define IDC_TOOLTIPS 1020
#define IDC_SAVEONEXIT 1021
#define IDC_STAYONTOP 1022

// The framework's standard edit and help commands
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_HELP 57670

// A dialog's help context is this base plus its template number
#define HID_BASE_RESOURCE 0x20000

#endif
