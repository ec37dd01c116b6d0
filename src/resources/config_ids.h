/* The configuration pages' resource and control identifiers, shared by the
   dialog templates (config_pages.rc) and the Windows pages. Plain macros so
   that the resource compiler reads them too. */
#ifndef LUMOX_CONFIG_IDS_H
#define LUMOX_CONFIG_IDS_H

/* Page icons. */
#define IDI_CUSTOM_PALETTE 102
#define IDI_MODULE 103
#define IDI_PALETTE 104
#define IDI_MAIN 105
#define IDI_DISPLAY 106
#define IDI_SOUND 107

/* Every page. */
#define IDC_HELP_BUTTON 1298
#define IDC_TEST_ALL 1085

/* Module pages: the rows' elements are made at run time, control i of the
   module taking the base identifier plus i. */
#define IDC_ROW_VALUE_TRACKBAR 100
#define IDC_ROW_VALUE_BOX 120
#define IDC_ROW_SENSE_ARROWS 140
#define IDC_ROW_SENSE_BOX 160
#define IDC_ROW_SOURCE 180
#define IDC_ROW_RANGE_LO_TRACKBAR 200
#define IDC_ROW_RANGE_HI_TRACKBAR 220
#define IDC_ROW_RANGE_LO_BOX 240
#define IDC_ROW_RANGE_HI_BOX 260
#define IDC_ROW_LABEL 280
#define IDC_MODULE_GROUP 1038
#define IDC_TEST_MODULE 1086
#define IDC_RESET_MODULE 1087
#define IDC_PAGE_ARROWS 1319
#define IDC_PAGE_TEXT 1320
#define IDC_FILE_BOX 1292
#define IDC_BROWSE 1299
#define IDC_FORMATS_BOX 1300

/* Main Settings. */
#define IDC_BEZIER 1021
#define IDC_CYCLIC 1041
#define IDC_PATTERN 1060
#define IDC_PLASMA 1061
#define IDC_POLYGON 1062
#define IDC_SPHERE 1082
#define IDC_STAIN 1083
#define IDC_STAR 1084
#define IDC_VORTEX 1099
#define IDC_EFFECT 1046
#define IDC_SLIDE_SHOW 1048
#define IDC_RANDOM 1070
#define IDC_CPU_HIGH 1065
#define IDC_CPU_NORMAL 1067
#define IDC_CPU_LOW 1066
#define IDC_CLEAR_SCREEN 1036
#define IDC_ANIMATE 1301
#define IDC_TITLE_SECONDS 1314
#define IDC_TITLE_SECONDS_TEXT 1315
#define IDC_SAVED_DISPLAYS 1078
#define IDC_SAVE_SELECTION 1080
#define IDC_DELETE_SELECTION 1077
#define IDC_EXPORT 1047
#define IDC_IMPORT 1054
#define IDC_PREVIEW 1085
#define IDC_ABOUT 1086
#define IDC_VIDEO_ADVICE 1059

/* The pages whose own controls come later show one line of text. */
#define IDC_PLACEHOLDER_TEXT 1400

#endif
