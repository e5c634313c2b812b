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
