// Resource and control ids, shared by the resource script and the code.
// Plain macros: windres reads this file too.
#pragma once

// String table. G and B run the other way from the settings' field order.
#define IDS_DESCRIPTION 1
#define IDS_STEP_KEY 2
#define IDS_FILE_NAME 1001
#define IDS_SHORT_NAME 1002
#define IDS_SAVER_NAME 1007
#define IDS_SPEED_KEY 1009
#define IDS_R_KEY 1010
#define IDS_B_KEY 1012
#define IDS_G_KEY 1013
#define IDS_MIX_KEY 1016
#define IDS_MODE_KEY 1017

// The settings dialog and its controls.
#define IDD_CONFIG 2003
#define IDC_RED 1108
#define IDC_GREEN 1109
#define IDC_BLUE 1110
#define IDC_RANDOM 1112
#define IDC_SEQUENCE 1113
#define IDC_MIX 1114
#define IDC_SPEED_SLIDER 1115
#define IDC_STEP_SLIDER 1116

// The program's only icon. The window class asks for 100, which does not exist.
#define IDI_TENVARA 201
#define IDI_CLASS_ICON 100

// The manifest's resource id (type 24).
#define IDR_MANIFEST 1
