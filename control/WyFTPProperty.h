// One row of the control's property table: a custom property's name, dispatch ID, type, default, check, stream block and page control.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

class CWyFTPCtrl;
struct WyFTPProperty;

// A property's value as the control keeps it: flags and numbers in number,
// text in text.
struct WyFTPPropertyValue {
    long number = 0;
    std::string text;  // Shift-JIS
};

// The type of a property's value, and its default.
struct WyFTPPropertyKind {
    enum Type : BYTE {
        Flag,         // TRUE or FALSE, travels as VARIANT_BOOL
        Number,       // travels as a 32-bit integer
        ShortNumber,  // travels as a 16-bit integer
        Text,         // Shift-JIS inside, BSTR outside
    };

    Type type;
    long defaultNumber;       // Flag, Number, ShortNumber
    const char* defaultText;  // Text
};

// The control on a property page that shows a property, if one does.
struct WyFTPPageControl {
    enum Kind : BYTE {
        None,
        CheckBox,   // a flag
        NumberBox,  // a number as decimal text
        TextBox,    // text
        ListIndex,  // a number as the index of the selected item of a drop-down list
    };

    Kind kind;
    UINT page;       // the page's dialog template
    int controlId;
    const char* const* items;  // ListIndex: the list's items, the index being the value (Shift-JIS)
    size_t itemCount;
};

// A setter with rules of its own; the others store what their check
// accepts and announce a change.
using WyFTPPropertySetter = void (CWyFTPCtrl::*)(const WyFTPProperty& property, const WyFTPPropertyValue& value);

struct WyFTPProperty {
    DISPID id;
    const wchar_t* name;  // in automation and in property bags
    WyFTPPropertyKind value;  // its type and default
    // A number its setter stores and a loaded document may hold; null when
    // any value is stored.
    bool (*accepts)(long number);
    // The stream block it is saved in: 0 is the first layout; n is the
    // extension block of minor version n, written only when one of its
    // values differs from its default.
    WORD block;
    WyFTPPageControl control;
    WyFTPPropertySetter setter = nullptr;  // null: the table's own setter

    // The type the property travels as in automation.
    VARTYPE AutomationType() const;
    bool Accepts(long number) const { return !accepts || accepts(number); }
};

// The table, in the order the properties are saved. The control keeps one
// value per row, in the same order.
struct WyFTPPropertyTable {
    const WyFTPProperty* rows;
    size_t count;

    const WyFTPProperty* begin() const { return rows; }
    const WyFTPProperty* end() const { return rows + count; }
    const WyFTPProperty* Find(DISPID id) const;
    const WyFTPProperty* Find(const wchar_t* name) const;
    size_t IndexOf(const WyFTPProperty& property) const { return static_cast<size_t>(&property - rows); }
};

// The rows live in WyFTPPropertyTable.cpp.
WyFTPPropertyTable WyFTPProperties();
