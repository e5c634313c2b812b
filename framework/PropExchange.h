// One description of a control's persisted properties drives loading, saving and defaults.
#pragma once
#include <windows.h>
#include "framework/ComPtr.h"

#include <ocidl.h>

#include <string>
#include <vector>

// A control lists its properties once, in order, with their defaults
// (DoPropExchange); each exchange either fills the values (loading) or
// records them (saving). Loading failures throw CPropExchangeError.
class CPropExchange {
public:
    virtual ~CPropExchange() = default;

    bool IsLoading() const { return m_loading; }

    virtual void ExchangeLong(const wchar_t* name, long& value, long defaultValue) = 0;
    virtual void ExchangeBool(const wchar_t* name, BOOL& value, BOOL defaultValue) = 0;
    virtual void ExchangeString(const wchar_t* name, std::string& value, const char* defaultValue) = 0;
    void ExchangeColor(const wchar_t* name, OLE_COLOR& value, OLE_COLOR defaultValue);

    // Properties added after the first format go between these two calls,
    // one block per format version (minor 1, 2, ...). The stream form writes
    // a block, and its minor version, only when one of its values differs
    // from its default: a document of defaults keeps the first layout byte
    // for byte and stays readable by a control that knows no extension. A
    // stream without the block gives the defaults; blocks of a later minor
    // version than this control knows are skipped. Names carry the
    // property-bag form, which needs no blocks.
    virtual void BeginExtension(WORD minorVersion) { static_cast<void>(minorVersion); }
    virtual void EndExtension() {}

protected:
    explicit CPropExchange(bool loading) : m_loading(loading) {}

private:
    bool m_loading;
};

struct CPropExchangeError {
    HRESULT hr;
};

// Sets every property to its default (a new control, or a reset).
class CDefaultPropExchange : public CPropExchange {
public:
    CDefaultPropExchange() : CPropExchange(true) {}
    void ExchangeLong(const wchar_t*, long& value, long defaultValue) override { value = defaultValue; }
    void ExchangeBool(const wchar_t*, BOOL& value, BOOL defaultValue) override { value = defaultValue; }
    void ExchangeString(const wchar_t*, std::string& value, const char* defaultValue) override
    {
        value = defaultValue;
    }
};

// The stream form: a header (magic, version 1.minor, payload length) and the
// values in exchange order. Names are not stored; the order is the format.
// Extension blocks follow the first values, each a length and its values.
class CStreamPropWriter : public CPropExchange {
public:
    CStreamPropWriter() : CPropExchange(false) {}
    void ExchangeLong(const wchar_t* name, long& value, long defaultValue) override;
    void ExchangeBool(const wchar_t* name, BOOL& value, BOOL defaultValue) override;
    void ExchangeString(const wchar_t* name, std::string& value, const char* defaultValue) override;
    void BeginExtension(WORD minorVersion) override;
    void EndExtension() override;

    // Header and payload, ready to be written.
    std::string Bytes() const;

private:
    struct Block {
        WORD minorVersion;
        std::string values;
        bool differs;  // a value other than its default
    };
    std::string& Target() { return m_blocks.empty() || m_closed ? m_payload : m_blocks.back().values; }
    void Note(bool isDefault);

    std::string m_payload;
    std::vector<Block> m_blocks;
    bool m_closed = true;
};

class CStreamPropReader : public CPropExchange {
public:
    // Reads and checks the header and the whole payload; throws on a short,
    // foreign or corrupt stream.
    explicit CStreamPropReader(IStream* stream);
    // Parses bytes made by CStreamPropWriter.
    explicit CStreamPropReader(std::string bytes);

    void ExchangeLong(const wchar_t* name, long& value, long defaultValue) override;
    void ExchangeBool(const wchar_t* name, BOOL& value, BOOL defaultValue) override;
    void ExchangeString(const wchar_t* name, std::string& value, const char* defaultValue) override;
    void BeginExtension(WORD minorVersion) override;
    void EndExtension() override;

    // Throws when values are left over: the stream is not what the control
    // wrote (unless they belong to a later minor version than it knows).
    void CheckFinished() const;

private:
    void Take(void* destination, size_t size);
    // Inside a block the stream does not have: values take their defaults.
    bool Absent() const { return m_inExtension && m_blockEnd == 0; }

    std::string m_payload;
    size_t m_position = 0;
    WORD m_minorVersion = 0;  // of the stream
    WORD m_knownVersion = 0;  // the highest block the control asked for
    bool m_inExtension = false;
    size_t m_blockEnd = 0;    // where the block being read ends; 0 when absent
};

// The property-bag form: one named value per property. A missing value
// takes the default; a value that cannot be converted is an error.
class CBagPropWriter : public CPropExchange {
public:
    explicit CBagPropWriter(IPropertyBag* bag) : CPropExchange(false), m_bag(bag) {}
    void ExchangeLong(const wchar_t* name, long& value, long defaultValue) override;
    void ExchangeBool(const wchar_t* name, BOOL& value, BOOL defaultValue) override;
    void ExchangeString(const wchar_t* name, std::string& value, const char* defaultValue) override;

private:
    void Write(const wchar_t* name, VARIANT& value);
    IPropertyBag* m_bag;
};

class CBagPropReader : public CPropExchange {
public:
    CBagPropReader(IPropertyBag* bag, IErrorLog* errorLog) : CPropExchange(true), m_bag(bag), m_errorLog(errorLog) {}
    void ExchangeLong(const wchar_t* name, long& value, long defaultValue) override;
    void ExchangeBool(const wchar_t* name, BOOL& value, BOOL defaultValue) override;
    void ExchangeString(const wchar_t* name, std::string& value, const char* defaultValue) override;

private:
    // True with value of type vt, false when the bag has no such value.
    bool Read(const wchar_t* name, VARTYPE vt, VARIANT& value);
    IPropertyBag* m_bag;
    IErrorLog* m_errorLog;
};
