/* The setup wizard's control identifiers, shared by its templates
   (setup_pages.rc) and the Windows wizard. */
#ifndef LUMOX_SETUP_IDS_H
#define LUMOX_SETUP_IDS_H

#define IDC_SETUP_DIRECTORY 1100
#define IDC_SETUP_BROWSE 1101
#define IDC_SETUP_SCREEN_SAVER 1057
#define IDC_SETUP_LAUNCHER 1058
#define IDC_SETUP_DESKTOP_UTILITY 1059
#define IDC_SETUP_DESKTOP_SETTINGS 1060
#define IDC_SETUP_PLAYER 1062
#define IDC_SETUP_PROGRESS 1316
#define IDC_SETUP_CONFIGURE 1037
#define IDC_SETUP_TEST_DRIVE 1087

#endif
