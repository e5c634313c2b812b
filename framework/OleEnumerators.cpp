// The enumerators a control hands its container: its verbs, its connection points, a point's connections.
#include "framework/OleEnumerators.h"

#include "framework/ComEnumerator.h"

#include <algorithm>

namespace {

struct VerbTraits {
    using Interface = IEnumOLEVERB;
    using Item = OLEVERB;
    using Stored = COleVerbEntry;
    static constexpr const IID& kIid = IID_IEnumOLEVERB;
    static void Copy(const Stored& entry, Item* item)
    {
        *item = entry.verb;
        // The caller owns the name; a failed allocation leaves it null.
        const size_t bytes = (entry.name.size() + 1) * sizeof(wchar_t);
        item->lpszVerbName = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
        if (item->lpszVerbName)
            std::copy(entry.name.c_str(), entry.name.c_str() + entry.name.size() + 1, item->lpszVerbName);
    }
};

struct ConnectionPointTraits {
    using Interface = IEnumConnectionPoints;
    using Item = IConnectionPoint*;
    using Stored = ComPtr<IConnectionPoint>;
    static constexpr const IID& kIid = IID_IEnumConnectionPoints;
    static void Copy(const Stored& point, Item* item)
    {
        *item = point.Get();
        (*item)->AddRef();
    }
};

struct ConnectionTraits {
    using Interface = IEnumConnections;
    using Item = CONNECTDATA;
    using Stored = std::pair<DWORD, ComPtr<IUnknown>>;
    static constexpr const IID& kIid = IID_IEnumConnections;
    static void Copy(const Stored& connection, Item* item)
    {
        item->dwCookie = connection.first;
        item->pUnk = connection.second.Get();
        item->pUnk->AddRef();
    }
};

}  // namespace

IEnumOLEVERB* CreateVerbEnumerator(const std::vector<COleVerbEntry>& verbs)
{
    return CComEnumerator<VerbTraits>::Create(verbs);
}

IEnumConnectionPoints* CreateConnectionPointEnumerator(const std::vector<ComPtr<IConnectionPoint>>& points)
{
    return CComEnumerator<ConnectionPointTraits>::Create(points);
}

IEnumConnections* CreateConnectionEnumerator(const std::vector<std::pair<DWORD, ComPtr<IUnknown>>>& connections)
{
    return CComEnumerator<ConnectionTraits>::Create(connections);
}
