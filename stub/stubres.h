// Resource numbers of the extractor stub's dialogs.
#pragma once

#define IDI_MAIN 1

#define IDD_MAIN 100
#define IDD_CONFIRM 101

#define IDC_DEST 1001
#define IDC_BROWSE 1002
#define IDC_FILES_AREA 1003
#define IDC_FILES 1004
#define IDC_PROMPT 1005
#define IDC_ALWAYS 1006
#define IDC_NEVER 1007
#define IDC_RUN 1008
#define IDC_CONFIRM_NAME 1009
#define IDC_NOASK 1010
