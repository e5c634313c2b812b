// One description of a control's persisted properties drives loading, saving and defaults.
#include "framework/PropExchange.h"

#include "framework/Bstr.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kMagic[4] = {'W', 'y', 'P', 'X'};
constexpr WORD kMajorVersion = 1;
constexpr WORD kMinorVersion = 0;
constexpr size_t kHeaderSize = 12;  // magic, major, minor, payload length
// Far above anything the control writes (a few long strings); a corrupt
// length never makes us allocate the address space away.
constexpr DWORD kMaxPayload = 64 * 1024 * 1024;

void AppendDword(std::string& bytes, DWORD value)
{
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

DWORD ReadDword(const char* bytes)
{
    DWORD value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

// Reads exactly size bytes or throws.
void ReadExactly(IStream* stream, void* destination, ULONG size)
{
    ULONG read = 0;
    const HRESULT hr = stream->Read(destination, size, &read);
    if (FAILED(hr) || read != size)
        throw CPropExchangeError{FAILED(hr) ? hr : STG_E_READFAULT};
}

WORD MinorVersionOf(const char* header)
{
    return static_cast<WORD>(ReadDword(header + 4) >> 16);
}

void CheckHeader(const char* header)
{
    if (std::memcmp(header, kMagic, sizeof kMagic) != 0)
        throw CPropExchangeError{STG_E_DOCFILECORRUPT};
    const WORD major = static_cast<WORD>(ReadDword(header + 4) & 0xFFFF);
    if (major != kMajorVersion)
        throw CPropExchangeError{STG_E_OLDFORMAT};
    if (ReadDword(header + 8) > kMaxPayload)
        throw CPropExchangeError{STG_E_DOCFILECORRUPT};
}

}  // namespace

void CPropExchange::ExchangeColor(const wchar_t* name, OLE_COLOR& value, OLE_COLOR defaultValue)
{
    long stored = static_cast<long>(value);
    ExchangeLong(name, stored, static_cast<long>(defaultValue));
    value = static_cast<OLE_COLOR>(stored);
}

void CStreamPropWriter::Note(bool isDefault)
{
    if (!m_closed && !isDefault)
        m_blocks.back().differs = true;
}

void CStreamPropWriter::ExchangeLong(const wchar_t*, long& value, long defaultValue)
{
    AppendDword(Target(), static_cast<DWORD>(value));
    Note(value == defaultValue);
}

void CStreamPropWriter::ExchangeBool(const wchar_t*, BOOL& value, BOOL defaultValue)
{
    AppendDword(Target(), value ? 1 : 0);
    Note((value != FALSE) == (defaultValue != FALSE));
}

void CStreamPropWriter::ExchangeString(const wchar_t*, std::string& value, const char* defaultValue)
{
    AppendDword(Target(), static_cast<DWORD>(value.size()));
    Target() += value;
    Note(value == (defaultValue ? defaultValue : ""));
}

void CStreamPropWriter::BeginExtension(WORD minorVersion)
{
    m_blocks.push_back({minorVersion, {}, false});
    m_closed = false;
}

void CStreamPropWriter::EndExtension()
{
    m_closed = true;
}

std::string CStreamPropWriter::Bytes() const
{
    // Blocks up to the last one that holds something other than defaults;
    // a reader of a block's version reads every block before it.
    size_t written = 0;
    for (size_t i = 0; i < m_blocks.size(); ++i) {
        if (m_blocks[i].differs)
            written = i + 1;
    }
    std::string payload = m_payload;
    WORD minorVersion = kMinorVersion;
    for (size_t i = 0; i < written; ++i) {
        AppendDword(payload, static_cast<DWORD>(m_blocks[i].values.size()));
        payload += m_blocks[i].values;
        minorVersion = m_blocks[i].minorVersion;
    }
    std::string bytes(kMagic, sizeof kMagic);
    AppendDword(bytes, kMajorVersion | (static_cast<DWORD>(minorVersion) << 16));
    AppendDword(bytes, static_cast<DWORD>(payload.size()));
    return bytes + payload;
}

CStreamPropReader::CStreamPropReader(IStream* stream) : CPropExchange(true)
{
    char header[kHeaderSize];
    ReadExactly(stream, header, kHeaderSize);
    CheckHeader(header);
    m_minorVersion = MinorVersionOf(header);
    // The declared length is only a claim: the buffer grows with the data
    // that really arrives, so a lying header allocates nothing beyond it.
    const DWORD length = ReadDword(header + 8);
    constexpr DWORD kPiece = 64 * 1024;
    while (m_payload.size() < length) {
        const size_t at = m_payload.size();
        const DWORD piece = std::min<DWORD>(kPiece, length - static_cast<DWORD>(at));
        m_payload.resize(at + piece);
        ReadExactly(stream, m_payload.data() + at, piece);
    }
}

CStreamPropReader::CStreamPropReader(std::string bytes) : CPropExchange(true)
{
    if (bytes.size() < kHeaderSize)
        throw CPropExchangeError{STG_E_READFAULT};
    CheckHeader(bytes.data());
    m_minorVersion = MinorVersionOf(bytes.data());
    if (bytes.size() - kHeaderSize != ReadDword(bytes.data() + 8))
        throw CPropExchangeError{STG_E_READFAULT};
    m_payload = bytes.substr(kHeaderSize);
}

void CStreamPropReader::Take(void* destination, size_t size)
{
    if (size > m_payload.size() - m_position)
        throw CPropExchangeError{STG_E_READFAULT};
    std::memcpy(destination, m_payload.data() + m_position, size);
    m_position += size;
}

void CStreamPropReader::ExchangeLong(const wchar_t*, long& value, long defaultValue)
{
    if (Absent()) {
        value = defaultValue;
        return;
    }
    char bytes[4];
    Take(bytes, sizeof bytes);
    value = static_cast<long>(ReadDword(bytes));
}

void CStreamPropReader::ExchangeBool(const wchar_t*, BOOL& value, BOOL defaultValue)
{
    if (Absent()) {
        value = defaultValue;
        return;
    }
    char bytes[4];
    Take(bytes, sizeof bytes);
    const DWORD stored = ReadDword(bytes);
    if (stored > 1)
        throw CPropExchangeError{STG_E_DOCFILECORRUPT};
    value = static_cast<BOOL>(stored);
}

void CStreamPropReader::ExchangeString(const wchar_t*, std::string& value, const char* defaultValue)
{
    if (Absent()) {
        value = defaultValue ? defaultValue : "";
        return;
    }
    char bytes[4];
    Take(bytes, sizeof bytes);
    const DWORD length = ReadDword(bytes);
    if (length > m_payload.size() - m_position)
        throw CPropExchangeError{STG_E_READFAULT};
    value.assign(m_payload, m_position, length);
    m_position += length;
}

void CStreamPropReader::BeginExtension(WORD minorVersion)
{
    m_inExtension = true;
    m_knownVersion = minorVersion;
    m_blockEnd = 0;
    if (m_minorVersion < minorVersion)
        return;
    char bytes[4];
    Take(bytes, sizeof bytes);
    const DWORD length = ReadDword(bytes);
    if (length == 0 || length > m_payload.size() - m_position)
        throw CPropExchangeError{STG_E_DOCFILECORRUPT};
    m_blockEnd = m_position + length;
}

void CStreamPropReader::EndExtension()
{
    // A block holds exactly the values of its version.
    if (m_blockEnd != 0 && m_position != m_blockEnd)
        throw CPropExchangeError{STG_E_DOCFILECORRUPT};
    m_inExtension = false;
    m_blockEnd = 0;
}

void CStreamPropReader::CheckFinished() const
{
    // What a later version added after the blocks this control knows is
    // skipped; anything else left over means a stream of another kind.
    if (m_minorVersion > m_knownVersion)
        return;
    if (m_position != m_payload.size())
        throw CPropExchangeError{STG_E_DOCFILECORRUPT};
}

void CBagPropWriter::Write(const wchar_t* name, VARIANT& value)
{
    const HRESULT hr = m_bag->Write(name, &value);
    VariantClear(&value);
    if (FAILED(hr))
        throw CPropExchangeError{hr};
}

void CBagPropWriter::ExchangeLong(const wchar_t* name, long& value, long)
{
    VARIANT variant;
    variant.vt = VT_I4;
    variant.lVal = value;
    Write(name, variant);
}

void CBagPropWriter::ExchangeBool(const wchar_t* name, BOOL& value, BOOL)
{
    VARIANT variant;
    variant.vt = VT_BOOL;
    variant.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    Write(name, variant);
}

void CBagPropWriter::ExchangeString(const wchar_t* name, std::string& value, const char*)
{
    VARIANT variant;
    variant.vt = VT_BSTR;
    variant.bstrVal = BstrFromShiftJis(value);
    Write(name, variant);
}

bool CBagPropReader::Read(const wchar_t* name, VARTYPE vt, VARIANT& value)
{
    // The type we would like, with an empty value: a bag may answer with
    // another type, and may clear what it is handed first (VariantInit
    // leaves the value part as it was on older systems).
    value = VARIANT{};
    value.vt = vt;
    if (FAILED(m_bag->Read(name, &value, m_errorLog))) {
        VariantClear(&value);
        return false;
    }
    if (value.vt != vt) {
        const HRESULT hr = VariantChangeType(&value, &value, 0, vt);
        if (FAILED(hr)) {
            VariantClear(&value);
            throw CPropExchangeError{DISP_E_TYPEMISMATCH};
        }
    }
    return true;
}

void CBagPropReader::ExchangeLong(const wchar_t* name, long& value, long defaultValue)
{
    VARIANT variant;
    value = Read(name, VT_I4, variant) ? variant.lVal : defaultValue;
}

void CBagPropReader::ExchangeBool(const wchar_t* name, BOOL& value, BOOL defaultValue)
{
    VARIANT variant;
    value = Read(name, VT_BOOL, variant) ? (variant.boolVal != VARIANT_FALSE) : defaultValue;
}

void CBagPropReader::ExchangeString(const wchar_t* name, std::string& value, const char* defaultValue)
{
    VARIANT variant;
    if (Read(name, VT_BSTR, variant)) {
        value = ShiftJisFromBstr(variant.bstrVal);
        VariantClear(&variant);
    } else {
        value = defaultValue;
    }
}
