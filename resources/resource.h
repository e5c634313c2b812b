// Resource identifiers shared by the resource script and the code.
#pragma once

// Strings
#define IDS_WYFTP                       1
#define IDS_WYFTP_PPG                   2
#define IDS_WYFTP_PPG_CAPTION           200
#define IDS_ERROR_SESSION_FAILED        201
#define IDS_ERROR_CONNECTION_EXISTS     203
#define IDS_ERROR_CREATE_OBJECT         204
#define IDS_ERROR_NO_SERVER_NAME        206
#define IDS_ERROR_NO_FILES              209
#define IDS_ERROR_PREFIX                210
#define IDS_ERROR_NOT_CONNECTED         211
#define IDS_ERROR_TRANSFER_ABORTED      212
#define IDS_ERROR_TOP_DIRECTORY         213
#define IDS_ERROR_NO_FILE_NAME          214
#define IDS_ERROR_OTHER                 215
#define IDS_TRANSFERRING                216
#define IDS_CATEGORY_WYFTP              217
#define IDS_CATEGORY_WIN32              218
#define IDS_CATEGORY_WININET            219
#define IDS_CATEGORY_OTHER              220
#define IDS_ERROR_NO_FILE_SYSTEM        221
#define IDS_ERROR_DIRECTORY_TRANSFER    222
#define IDS_ERROR_LOGIN_FAILED          224
#define IDS_VERB_PROPERTIES             225
#define IDS_CONNECTION_PPG              226
#define IDS_CONNECTION_PPG_CAPTION      227
#define IDS_ERROR_TRANSFER_SIZE_MISMATCH 228
#define IDS_ERROR_KEY_REFUSED           229
#define IDS_ERROR_KEY_FILE_UNREADABLE   230
#define IDS_ERROR_NO_LOGIN_METHOD       231

// Dialogs
#define IDD_ABOUTBOX_WYFTP              1
#define IDD_PROPPAGE_WYFTP              200
#define IDD_PROPPAGE_CONNECTION         201
#define IDD_TRANSFER_PROGRESS           233

// Controls of the property page
#define IDC_SERVER_NAME                 215
#define IDC_USER_NAME                   216
#define IDC_PASSWORD                    217
#define IDC_CONNECT_TARGET              219
#define IDC_DOWNLOAD_DIRECTORY          221
#define IDC_CONNECT_DIRECTORY           223
#define IDC_VISIBLE_TREE                224
#define IDC_TRANSFER_BYTE               226
#define IDC_LIST_VIEW_MODE              231
#define IDC_ENABLE_PROGRESS_DIALOG      232
#define IDC_TREE_VIEW_WIDTH             233
#define IDC_SHOW_PROGRESS_DIALOG        236

// Controls of the Connection property page
#define IDC_PASSIVE_MODE                240
#define IDC_PORT                        241
#define IDC_TIMEOUT                     242
#define IDC_SERVER_ENCODING             243
#define IDC_SECURITY_MODE               246
#define IDC_CERTIFICATE_PIN             247
#define IDC_RECONNECT_TIME              248
#define IDC_KEEP_ALIVE_INTERVAL         249
#define IDC_TRACE_FILE                  250
#define IDC_ENABLE_PROTOCOL_TRACE       251
#define IDC_PRIVATE_KEY_FILE            252

// Controls of the progress dialog (its Cancel button is IDCANCEL)
#define IDC_PROGRESS_BAR                202
#define IDC_PROGRESS_MESSAGE            225

// Icons and bitmaps
#define IDB_WYFTP                       1
#define IDI_FOLDER                      209
#define IDI_FILE                        211
#define IDB_TREE_CLOSED                 220
#define IDB_TREE_OPEN                   221
#define IDB_TREE_ROOT                   222
#define IDI_ABOUTDLL                    245

#ifndef IDC_STATIC
#define IDC_STATIC                      (-1)
#endif
