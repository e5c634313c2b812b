// Base of every automation object: reference counting, module accounting and table-driven IDispatch.
#include "framework/CmdTarget.h"

#include "framework/ComModule.h"
#include "framework/OleDispatchException.h"

#include <new>

namespace {

// Coerced arguments of one call; clears them whatever way the call ends.
class CoercedArguments {
public:
    explicit CoercedArguments(UINT count) : m_count(count)
    {
        for (UINT i = 0; i < m_count; ++i)
            VariantInit(&m_values[i]);
    }
    ~CoercedArguments()
    {
        for (UINT i = 0; i < m_count; ++i)
            VariantClear(&m_values[i]);
    }
    VARIANT* Values() { return m_values; }

private:
    UINT m_count;
    VARIANT m_values[5];
};

bool IsOmitted(const VARIANT& value)
{
    return value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND;
}

}  // namespace

const DispatchMember* DispatchTable::Find(DISPID id) const
{
    for (size_t i = 0; i < count; ++i) {
        if (members[i].id == id)
            return &members[i];
    }
    return nullptr;
}

const DispatchMember* DispatchTable::Find(const wchar_t* name) const
{
    for (size_t i = 0; i < count; ++i) {
        if (lstrcmpiW(members[i].name, name) == 0)
            return &members[i];
    }
    return nullptr;
}

CCmdTarget::CCmdTarget()
{
    ComModule::AddObject();
}

CCmdTarget::~CCmdTarget()
{
    ComModule::RemoveObject();
}

STDMETHODIMP CCmdTarget::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == GetDispatchIid()) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    return QueryOtherInterface(iid, object);
}

HRESULT CCmdTarget::QueryOtherInterface(REFIID, void**)
{
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CCmdTarget::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) CCmdTarget::Release()
{
    if (m_finalReleasing)
        return 0;
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0) {
        // References taken and dropped during the teardown must not start it again.
        m_finalReleasing = true;
        OnFinalRelease();
    }
    return static_cast<ULONG>(refs);
}

void CCmdTarget::OnFinalRelease()
{
    delete this;
}

const wchar_t* CCmdTarget::GetErrorSource() const
{
    return L"WyFTP";
}

const wchar_t* CCmdTarget::GetHelpFile() const
{
    return L"WyFTP.hlp";
}

ITypeInfo* CCmdTarget::DispatchTypeInfo()
{
    if (!m_typeInfo)
        GetTypeInfoOf(GetTypeLibraryId(), GetDispatchIid(), m_typeInfo.Put());
    return m_typeInfo.Get();
}

STDMETHODIMP CCmdTarget::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP CCmdTarget::GetTypeInfo(UINT index, LCID, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    ITypeInfo* typeInfo = DispatchTypeInfo();
    if (!typeInfo)
        return TYPE_E_CANTLOADLIBRARY;
    typeInfo->AddRef();
    *info = typeInfo;
    return S_OK;
}

STDMETHODIMP CCmdTarget::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (iid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0)
        return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) {
        if (!names[i])
            return E_INVALIDARG;
    }
    // The type library knows parameter names too; members it does not list
    // (such as the stock Font) are found in the table.
    if (ITypeInfo* typeInfo = DispatchTypeInfo()) {
        if (SUCCEEDED(typeInfo->GetIDsOfNames(names, count, ids)))
            return S_OK;
    }
    const DispatchMember* member = GetDispatchTable().Find(names[0]);
    ids[0] = member ? member->id : DISPID_UNKNOWN;
    for (UINT i = 1; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    return member && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

STDMETHODIMP CCmdTarget::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO* exception, UINT* argumentError)
{
    if (iid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (!params || (params->cArgs > 0 && !params->rgvarg) || (params->cNamedArgs > 0 && !params->rgdispidNamedArgs)
        || params->cNamedArgs > params->cArgs)
        return E_INVALIDARG;
    const DispatchMember* member = GetDispatchTable().Find(id);
    if (!member)
        return DISP_E_MEMBERNOTFOUND;
    // A call must not be able to release the object under our feet.
    AddRef();
    BeginCall();
    const HRESULT hr = CallMember(*member, flags, *params, result, exception, argumentError);
    EndCall();
    Release();
    return hr;
}

HRESULT CCmdTarget::CallMember(const DispatchMember& member, WORD flags, DISPPARAMS& params, VARIANT* result,
                               EXCEPINFO* exception, UINT* argumentError)
{
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    const UINT declared = member.paramCount;
    UINT expected = declared;
    if (put) {
        if (member.kind != DispatchMember::Property || !member.put)
            return DISP_E_MEMBERNOTFOUND;
        if (params.cNamedArgs != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_PARAMNOTOPTIONAL;
        expected = declared + 1;
    } else {
        if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)))
            return DISP_E_MEMBERNOTFOUND;
        if (member.kind == DispatchMember::Method && !(flags & DISPATCH_METHOD) && member.type == VT_EMPTY)
            return DISP_E_MEMBERNOTFOUND;
        if (params.cNamedArgs != 0)
            return DISP_E_NONAMEDARGS;
    }
    const UINT given = params.cArgs;
    if (given > expected || given + member.optionalCount < expected)
        return DISP_E_BADPARAMCOUNT;

    CoercedArguments arguments(expected);
    VARIANT* values = arguments.Values();
    // Positional arguments arrive last to first; a put's value is rgvarg[0].
    const UINT positional = put ? given - 1 : given;
    for (UINT i = 0; i < declared; ++i) {
        if (i >= positional) {
            values[i].vt = VT_ERROR;
            values[i].scode = DISP_E_PARAMNOTFOUND;
            continue;
        }
        const UINT source = given - 1 - i;
        VARIANT& argument = params.rgvarg[source];
        const HRESULT hr = member.params[i] == VT_VARIANT
                               ? VariantCopyInd(&values[i], &argument)
                               : VariantChangeType(&values[i], &argument, 0, member.params[i]);
        if (FAILED(hr) || (member.params[i] != VT_VARIANT && IsOmitted(argument))) {
            if (argumentError)
                *argumentError = source;
            return DISP_E_TYPEMISMATCH;
        }
    }
    if (put) {
        const HRESULT hr = member.putType == VT_VARIANT
                               ? VariantCopyInd(&values[declared], &params.rgvarg[0])
                               : VariantChangeType(&values[declared], &params.rgvarg[0], 0, member.putType);
        if (FAILED(hr)) {
            if (argumentError)
                *argumentError = 0;
            return DISP_E_TYPEMISMATCH;
        }
    }

    VARIANT value;
    VariantInit(&value);
    DispatchCall call{values, &value, &member};
    try {
        (put ? member.put : member.invoke)(*this, call);
    } catch (const COleDispatchException& error) {
        VariantClear(&value);
        FillException(exception, error.m_scode, error.m_strDescription, error.m_dwHelpContext);
        return DISP_E_EXCEPTION;
    } catch (const std::bad_alloc&) {
        VariantClear(&value);
        return E_OUTOFMEMORY;
    } catch (...) {
        VariantClear(&value);
        FillException(exception, E_UNEXPECTED, std::string(), 0);
        return DISP_E_EXCEPTION;
    }
    if (result && !put) {
        VariantInit(result);
        *result = value;
    } else {
        VariantClear(&value);
    }
    return S_OK;
}

void CCmdTarget::FillException(EXCEPINFO* exception, SCODE scode, const std::string& description,
                               UINT helpContext) const
{
    if (!exception)
        return;
    *exception = EXCEPINFO{};
    exception->scode = scode;
    exception->bstrSource = SysAllocString(GetErrorSource());
    exception->bstrDescription = BstrFromShiftJis(description);
    exception->bstrHelpFile = SysAllocString(helpContext != 0 ? GetHelpFile() : L"");
    exception->dwHelpContext = helpContext;
}
