// Identifiers of marlip's resources, shared by the resource script and the code.
#pragma once

#define IDM_ABOUT 0x0010
#define IDD_ABOUT 100
#define IDS_ABOUT_MENU 101
#define IDD_HARNESS_DIALOG 102
#define IDR_HARNESS_ICON 128
#define IDC_START_TEST 1000
#define IDC_STATIC (-1)
