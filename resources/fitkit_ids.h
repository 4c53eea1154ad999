#pragma once
// Resource and control ids of fitkit's setup dialog.

#define IDD_SETUP 101
#define IDC_TITLE 102
#define IDI_SETUP 103
#define IDI_FRAME_FIRST 104 // animation frames 104..108, shown in this order
#define IDI_FRAME_LAST 108
#define IDC_STATUS 1001
#define IDC_INSTALL 1002
#define IDC_UNINSTALL 1003
#define IDC_ANIMATION 1006

#define IDS_TITLE_FORMAT 1 // "Installing %s\n\nfrom %s"
