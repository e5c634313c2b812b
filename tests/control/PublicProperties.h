// The control's properties as hosts know them: dispatch ID, type, default, and a value to change to.
#pragma once
#include "tests/control/ComTestSupport.h"

#include <olectl.h>

#include <string>
#include <vector>

struct PublicProperty {
    const wchar_t* name;
    DISPID id;
    VARTYPE type;
    Variant defaultValue;
    // Not the default, stored as it is, and saved; empty for a read-only property.
    Variant changed;
};

// Hosts compiled against the first interface hold these IDs and defaults:
// they must not change.
inline const std::vector<PublicProperty>& PublicProperties()
{
    static const std::vector<PublicProperty> properties = {
        {L"EnableProgressDialog", 1, VT_BOOL, true, false},
        {L"ServerName", 2, VT_BSTR, "", "ftp.example.jp"},
        {L"VisibleTree", 3, VT_BOOL, true, false},
        {L"UserName", 4, VT_BSTR, "anonymous", "ユーザー表"},  // 表 ends in the byte of a backslash
        {L"Password", 5, VT_BSTR, "", "p&w=d?"},
        {L"ConnectTarget", 6, VT_I2, 1, 0},
        {L"DownloadDirectory", 7, VT_BSTR, "/", "C:\\dl"},
        {L"ConnectDirectory", 8, VT_BSTR, "/", "/pub/ソフト"},
        {L"TransferByte", 9, VT_I4, 1024, 16},
        {L"ListViewMode", 10, VT_I4, 1, 3},
        {L"TreeViewWidth", 11, VT_I4, 100, 250},
        {L"ShowProgressDialog", 12, VT_I4, 100, 7},
        // The system's window colours.
        {L"BackColor", DISPID_BACKCOLOR, VT_I4, static_cast<long>(0x80000005), 0x123456},
        {L"ForeColor", DISPID_FORECOLOR, VT_I4, static_cast<long>(0x80000008), 0x654321},
        {L"PassiveMode", 34, VT_BOOL, false, true},
        {L"Port", 35, VT_I4, 21, 2121},
        {L"Timeout", 36, VT_I4, 60, 9},
        {L"ServerEncoding", 37, VT_I4, 0, 2},
        {L"SecurityMode", 38, VT_I4, 0, 2},
        {L"CertificatePin", 39, VT_BSTR, "", std::string(64, 'B').c_str()},
        {L"LastCertificateFingerprint", 40, VT_BSTR, "", Variant()},
        {L"ReconnectTime", 41, VT_I4, 0, 30},
        {L"KeepAliveInterval", 42, VT_I4, 0, 15},
        {L"TraceFile", 43, VT_BSTR, "", "C:\\wyftp-trace.log"},
        {L"EnableProtocolTrace", 44, VT_BOOL, false, true},
    };
    return properties;
}

inline void ChangeEveryProperty(IDispatch* control)
{
    for (const PublicProperty& property : PublicProperties()) {
        if (property.changed.Type() != VT_EMPTY)
            Put(control, property.name, property.changed);
    }
}

inline void ExpectEveryPropertyChanged(IDispatch* control)
{
    for (const PublicProperty& property : PublicProperties()) {
        if (property.changed.Type() != VT_EMPTY) {
            EXPECT_EQ(property.changed.AsText(), Get(control, property.name).AsText())
                << ShiftJisFromBstr(CBstr(property.name).Get());
        }
    }
}
