// The control's property table as tests read it: names for messages, defaults, values to change to.
#include "tests/control/PropertyTableSupport.h"

std::string NameOf(const WyFTPProperty& property)
{
    return ShiftJisFromBstr(CBstr(property.name).Get());
}

Variant DefaultOf(const WyFTPProperty& property)
{
    const WyFTPPropertyKind& value = property.value;
    switch (value.type) {
    case WyFTPPropertyKind::Flag:
        return Variant(value.defaultNumber != FALSE);
    case WyFTPPropertyKind::Text:
        return Variant(value.defaultText);
    default:
        return Variant(value.defaultNumber);
    }
}

Variant ChangedValueOf(const WyFTPProperty& property)
{
    // No text setter changes a name ending in a letter; a number next to the
    // default passes the check.
    const WyFTPPropertyKind& value = property.value;
    switch (value.type) {
    case WyFTPPropertyKind::Flag:
        return Variant(value.defaultNumber == FALSE);
    case WyFTPPropertyKind::Text:
        // A pin must be a SHA-256 fingerprint.
        if (std::wstring(property.name) == L"CertificatePin")
            return Variant(std::string(64, 'A').c_str());
        return Variant((std::string(value.defaultText) + "x").c_str());
    default: {
        const long next = value.defaultNumber + 1;
        return Variant(property.Accepts(next) ? next : value.defaultNumber - 1);
    }
    }
}

void ExpectDefaultProperties(IDispatch* control)
{
    for (const WyFTPProperty& property : WyFTPProperties()) {
        const Variant value = Get(control, property.name);
        EXPECT_EQ(property.AutomationType(), value.Type()) << NameOf(property);
        EXPECT_EQ(DefaultOf(property).AsText(), value.AsText()) << NameOf(property);
    }
    EXPECT_EQ(static_cast<long>(0x80000005), Get(control, L"BackColor").AsLong());  // the system's window colours
    EXPECT_EQ(static_cast<long>(0x80000008), Get(control, L"ForeColor").AsLong());
}
