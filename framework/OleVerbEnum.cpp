// An IEnumOLEVERB over a fixed list of verbs: how a control tells its container what it can do.
#include "framework/OleVerbEnum.h"

#include "framework/ComModule.h"

#include <new>
#include <string>

namespace {

class CVerbEnumerator final : public IEnumOLEVERB {
public:
    CVerbEnumerator(const std::vector<OLEVERB>& verbs, size_t position) : m_position(position)
    {
        for (const OLEVERB& verb : verbs) {
            m_names.emplace_back(verb.lpszVerbName ? verb.lpszVerbName : L"");
            m_verbs.push_back(verb);
        }
        ComModule::AddObject();
    }
    CVerbEnumerator(const CVerbEnumerator&) = delete;
    CVerbEnumerator& operator=(const CVerbEnumerator&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IEnumOLEVERB)
            return E_NOINTERFACE;
        *object = static_cast<IEnumOLEVERB*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0)
            delete this;
        return static_cast<ULONG>(refs);
    }

    STDMETHODIMP Next(ULONG count, OLEVERB* verbs, ULONG* fetched) override
    {
        if (!verbs || (count > 1 && !fetched))
            return E_POINTER;
        ULONG done = 0;
        for (; done < count && m_position < m_verbs.size(); ++done, ++m_position) {
            verbs[done] = m_verbs[m_position];
            // The caller owns the name and frees it with CoTaskMemFree.
            const std::wstring& name = m_names[m_position];
            verbs[done].lpszVerbName = static_cast<LPOLESTR>(CoTaskMemAlloc((name.size() + 1) * sizeof(wchar_t)));
            if (verbs[done].lpszVerbName)
                std::copy(name.c_str(), name.c_str() + name.size() + 1, verbs[done].lpszVerbName);
        }
        if (fetched)
            *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override
    {
        m_position += count;
        if (m_position <= m_verbs.size())
            return S_OK;
        m_position = m_verbs.size();
        return S_FALSE;
    }
    STDMETHODIMP Reset() override
    {
        m_position = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumOLEVERB** clone) override
    {
        if (!clone)
            return E_POINTER;
        std::vector<OLEVERB> verbs = m_verbs;
        for (size_t i = 0; i < verbs.size(); ++i)
            verbs[i].lpszVerbName = const_cast<LPOLESTR>(m_names[i].c_str());
        *clone = new (std::nothrow) CVerbEnumerator(verbs, m_position);
        return *clone ? S_OK : E_OUTOFMEMORY;
    }

private:
    ~CVerbEnumerator() { ComModule::RemoveObject(); }

    volatile LONG m_refs = 1;
    std::vector<OLEVERB> m_verbs;
    std::vector<std::wstring> m_names;
    size_t m_position;
};

}  // namespace

IEnumOLEVERB* CreateVerbEnumerator(const std::vector<OLEVERB>& verbs)
{
    return new (std::nothrow) CVerbEnumerator(verbs, 0);
}
