// Numeric identifiers of the player's resources, commands and controls. The PNG images are
// named (IDB_...) and must not be #defined here, or the resource compiler would number them.
#pragma once

#define IDD_ABOUTBOX 103
#define IDR_ACCELERATORS 109
#define IDR_CONTEXT_MENU 131
#define IDD_PLAYBAR 134
#define IDB_LOGO 142

// About dialog controls.
#define IDC_ABOUT_TEXT 1000
#define IDC_ABOUT_LINE2 1001
#define IDC_ABOUT_ICON 1002

// Control bar controls.
#define IDC_BAR_OPEN 1003
#define IDC_BAR_PLAY 1004
#define IDC_BAR_PAUSE 1005
#define IDC_BAR_PREV 1006
#define IDC_BAR_MUTE 1007
#define IDC_BAR_NEXT 1008
#define IDC_BAR_TIME 1009
#define IDC_BAR_VOLUME 1010
#define IDC_BAR_STOP 1011

// Commands of the main window.
#define IDM_ABOUT 104
#define IDM_OPEN 32771
#define IDM_EXIT 32774
#define IDM_FULLSCREEN 32778
#define IDM_LEAVE_FULLSCREEN 32780
#define IDM_PLAY 32784
#define IDM_PAUSE 32785
#define IDM_STOP 32786
#define IDM_CLOSE 32790
#define IDM_MUTE 32806
#define IDM_FORWARD 32810
#define IDM_PREVIOUS 32815
#define IDM_NEXT 32816
#define IDM_BACKWARD 32817
#define IDM_VOLUME_UP 32820
#define IDM_VOLUME_DOWN 32821
