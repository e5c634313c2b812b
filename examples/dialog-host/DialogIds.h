// The dialog host's resource identifiers.
#pragma once

#define IDD_HOST 100
#define IDC_FTP 101
#define IDC_CONNECT 102
#define IDC_REFRESH 103
#define IDC_DOWNLOAD 104
#define IDC_UPLOAD 105
#define IDC_EVENTS 106
