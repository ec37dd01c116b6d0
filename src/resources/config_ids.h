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

/* Palette: the channel buttons, the seven effect buttons, the preview. */
#define IDC_CHANNEL_RED 1303
#define IDC_CHANNEL_GREEN 1304
#define IDC_CHANNEL_BLUE 1305
#define IDC_EFFECT_RAMP 1307
#define IDC_EFFECT_FADE 1309
#define IDC_EFFECT_SMOOTH 1311
#define IDC_EFFECT_COARSE 1310
#define IDC_EFFECT_BLACKOUT 1308
#define IDC_EFFECT_RANDOM 1070
#define IDC_EFFECT_CUSTOM 1071
#define IDC_PALETTE_PREVIEW 1321

/* Custom palette (the mask boxes share the channel buttons' numbers). */
#define IDC_CUSTOM_GROUP 1038
#define IDC_LEVEL_RED 1000
#define IDC_LEVEL_GREEN 1003
#define IDC_LEVEL_BLUE 1004
#define IDC_OP_RANDOM 1001
#define IDC_OP_NEGATIVE 1012
#define IDC_OP_REVERSE 1015
#define IDC_OP_COPY_TO 1005
#define IDC_OP_MERGE_TO 1008
#define IDC_OP_GRADIENT 1002
#define IDC_OP_SMOOTH 1009
#define IDC_OP_ROUGH 1011
#define IDC_OP_SHIFT 1010
#define IDC_PAL_IMPORT 1006
#define IDC_PAL_EXPORT 1007
#define IDC_OP_UNDO 1013
#define IDC_PALETTE_GRID 1018
#define IDC_CUSTOM_TEST 1086

/* Sound. */
#define IDC_TURBO_MODE 1042
#define IDC_AUTO_RUN_PLAYER 1043
#define IDC_AUTO_GAIN 1044
#define IDC_SHOW_CD_INFO 1039
#define IDC_PLAYER_STATUS 1110
#define IDC_LAUNCH_PLAYER 1109

/* Display. */
#define IDC_CURRENT_MODE 1039
#define IDC_RUN_MODE 1040
#define IDC_MODE_LIST 1043
#define IDC_MODE_SET 1106
#define IDC_MODE_CLEAR 1107
#define IDC_MODE_TEST 2
#define IDC_MODE_USE 1104

#endif
