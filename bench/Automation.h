// Late-bound calls on the control as a host makes them: by name, through IDispatch::Invoke.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "framework/ComPtr.h"

#include <string>
#include <vector>

// A VARIANT argument that owns what it holds.
class Argument {
public:
    Argument(long value);
    Argument(bool value);
    Argument(const std::string& text);  // Shift-JIS
    Argument(const Argument& other);
    Argument& operator=(const Argument&) = delete;
    ~Argument();
    const VARIANT& Value() const { return m_value; }

private:
    VARIANT m_value;
};

// Calls a method (args in declaration order); throws BenchError with the
// raised error's status and description when the call fails.
void CallMethod(IDispatch* object, const wchar_t* name, const std::vector<Argument>& args = {});
// CallMethod on the control; a failure also carries the control's
// GetLastError and GetErrorMessage (the raised error names only its category).
void CallControlMethod(IDispatch* control, const wchar_t* name, const std::vector<Argument>& args = {});
// Calls a method without arguments and returns its result as text (Shift-JIS).
std::string CallForText(IDispatch* object, const wchar_t* name);
// Calls a method, releases the object it returns at once, and says whether
// there was one.
bool CallForObject(IDispatch* object, const wchar_t* name, const std::vector<Argument>& args);
void PutProperty(IDispatch* object, const wchar_t* name, const Argument& value);
// A property's value as text (Shift-JIS), "" when it does not convert.
std::string GetTextProperty(IDispatch* object, const wchar_t* name);
// A new control from its registration (by ProgID); throws BenchError when it is not registered.
ComPtr<IDispatch> NewRegisteredControl();
