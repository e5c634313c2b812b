// Base of an ActiveX control: persistence through streams, property bags and storages.
#include "framework/OleControl.h"

#include "framework/Bstr.h"
#include "framework/CodePage932.h"
#include "framework/ComGuard.h"

#include <olectl.h>

#include <cstdio>
#include <cwchar>

namespace {

// The stock font is persisted as one text: face name, size (in 1/10000
// points), weight, charset, italic, underline, strikethrough.
std::string DescribeFont(IFont* font)
{
    CBstr name;
    CY size = {};
    SHORT weight = FW_NORMAL;
    SHORT charset = DEFAULT_CHARSET;
    BOOL italic = FALSE;
    BOOL underline = FALSE;
    BOOL strikethrough = FALSE;
    font->get_Name(name.Put());
    font->get_Size(&size);
    font->get_Weight(&weight);
    font->get_Charset(&charset);
    font->get_Italic(&italic);
    font->get_Underline(&underline);
    font->get_Strikethrough(&strikethrough);
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, ",%lld,%d,%d,%d,%d,%d", static_cast<long long>(size.int64), weight,
                  charset, italic ? 1 : 0, underline ? 1 : 0, strikethrough ? 1 : 0);
    return ShiftJisFromBstr(name.Get()) + numbers;
}

bool ParseFont(const std::string& text, FONTDESC& description, std::wstring& name)
{
    // The face name may itself hold commas: the six numbers are found from the end.
    size_t comma = text.size();
    for (int i = 0; i < 6; ++i) {
        if (comma == 0 || (comma = text.rfind(',', comma - 1)) == std::string::npos)
            return false;
    }
    long long size = 0;
    int weight = 0, charset = 0, italic = 0, underline = 0, strikethrough = 0;
    if (std::sscanf(text.c_str() + comma, ",%lld,%d,%d,%d,%d,%d", &size, &weight, &charset, &italic, &underline,
                    &strikethrough) != 6)
        return false;
    name = ToWide(text.substr(0, comma));
    description = FONTDESC{sizeof(FONTDESC), const_cast<LPOLESTR>(name.c_str()), {}, static_cast<SHORT>(weight),
                           static_cast<SHORT>(charset), italic != 0, underline != 0, strikethrough != 0};
    description.cySize.int64 = size;
    return true;
}

}  // namespace

void COleControl::ExchangeFont(CPropExchange& exchange)
{
    std::string text;
    ComPtr<IFont> font;
    if (!exchange.IsLoading()) {
        ComPtr<IDispatch> current = ComPtr<IDispatch>::Attach(GetFont());
        font = current.As<IFont>(IID_IFont);
        if (font)
            text = DescribeFont(font.Get());
    }
    exchange.ExchangeString(L"Font", text, "");
    if (!exchange.IsLoading())
        return;
    FONTDESC description;
    std::wstring name;
    // Empty or unreadable: the default font on next use.
    ComPtr<IFontDisp> loaded;
    if (!text.empty() && ParseFont(text, description, name))
        OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(loaded.Put()));
    AttachFont(std::move(loaded));
}

void COleControl::ExchangeAll(CPropExchange& exchange)
{
    exchange.ExchangeColor(L"BackColor", m_clrStockBack, 0x80000005);
    exchange.ExchangeColor(L"ForeColor", m_clrStockFore, 0x80000008);
    ExchangeFont(exchange);
    DoPropExchange(exchange);
}

HRESULT COleControl::LoadWith(CPropExchange& exchange, bool streamed)
{
    // Loading is all or nothing: a failure puts every value back.
    CStreamPropWriter snapshot;
    ExchangeAll(snapshot);
    const auto restore = [&](HRESULT failure) {
        CStreamPropReader previous(snapshot.Bytes());
        ExchangeAll(previous);
        return failure;
    };
    try {
        ExchangeAll(exchange);
        if (streamed)
            static_cast<CStreamPropReader&>(exchange).CheckFinished();
    } catch (const CPropExchangeError& error) {
        return restore(error.hr);
    } catch (const std::bad_alloc&) {
        return restore(E_OUTOFMEMORY);
    }
    SetModifiedFlag(false);
    OnPropertiesLoaded();
    ViewChanged();
    return S_OK;
}

HRESULT COleControl::Persist(CPropExchange& exchange)
{
    try {
        ExchangeAll(exchange);
    } catch (const CPropExchangeError& error) {
        return error.hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

STDMETHODIMP COleControl::GetClassID(CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = GetClassId();
    return S_OK;
}

STDMETHODIMP COleControl::Load(IStream* stream)
{
    if (!stream)
        return E_POINTER;
    return GuardComCall([&] {
        try {
            CStreamPropReader reader(stream);
            return LoadWith(reader, true);
        } catch (const CPropExchangeError& error) {
            return error.hr;
        }
    });
}

STDMETHODIMP COleControl::Save(IStream* stream, BOOL clearDirty)
{
    if (!stream)
        return E_POINTER;
    return GuardComCall([&] {
        CStreamPropWriter writer;
        ExchangeAll(writer);
        const std::string bytes = writer.Bytes();
        ULONG written = 0;
        const HRESULT hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
        if (FAILED(hr))
            return hr;
        if (written != bytes.size())
            return STG_E_WRITEFAULT;
        if (clearDirty)
            SetModifiedFlag(false);
        return S_OK;
    });
}

STDMETHODIMP COleControl::GetSizeMax(ULARGE_INTEGER* size)
{
    if (!size)
        return E_POINTER;
    return GuardComCall([&] {
        CStreamPropWriter writer;
        ExchangeAll(writer);
        size->QuadPart = writer.Bytes().size();
        return S_OK;
    });
}

STDMETHODIMP COleControl::InitNew()
{
    return GuardComCall([&] {
        CDefaultPropExchange defaults;
        return LoadWith(defaults, false);
    });
}

STDMETHODIMP COleControl::Load(IPropertyBag* bag, IErrorLog* errorLog)
{
    if (!bag)
        return E_POINTER;
    return GuardComCall([&] {
        CBagPropReader reader(bag, errorLog);
        return LoadWith(reader, false);
    });
}

STDMETHODIMP COleControl::Save(IPropertyBag* bag, BOOL clearDirty, BOOL)
{
    if (!bag)
        return E_POINTER;
    CBagPropWriter writer(bag);
    const HRESULT hr = Persist(writer);
    if (SUCCEEDED(hr) && clearDirty)
        SetModifiedFlag(false);
    return hr;
}

STDMETHODIMP COleControl::InitNew(IStorage* storage)
{
    if (!storage)
        return E_POINTER;
    return InitNew();
}

STDMETHODIMP COleControl::Load(IStorage* storage)
{
    if (!storage)
        return E_POINTER;
    ComPtr<IStream> stream;
    const HRESULT hr = storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.Put());
    if (FAILED(hr))
        return hr;
    return Load(stream.Get());
}

STDMETHODIMP COleControl::Save(IStorage* storage, BOOL)
{
    if (!storage)
        return E_POINTER;
    ComPtr<IStream> stream;
    const HRESULT hr = storage->CreateStream(L"Contents", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                             stream.Put());
    if (FAILED(hr))
        return hr;
    return Save(stream.Get(), TRUE);
}
