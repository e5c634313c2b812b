// An IEnumXxx over a fixed list: how a COM object hands out its verbs, connection points and connections.
#pragma once
#include <windows.h>
#include <objbase.h>

#include "framework/ComObject.h"

#include <memory>
#include <new>
#include <vector>

// Traits name the enumerator interface (Interface, kIid), what the list
// keeps (Stored) and what Next hands out (Item), and make the caller's
// copy of one entry: Copy(const Stored&, Item*), which adds the references
// or allocations the caller then owns.
//
// Clones share the list, so a clone costs one allocation; the list is
// fixed when the enumerator is made, as the enumerator contract asks.
template <class Traits>
class CComEnumerator final : public CComObject<typename Traits::Interface, Traits::kIid> {
public:
    using Interface = typename Traits::Interface;
    using Item = typename Traits::Item;
    using Stored = typename Traits::Stored;

    // A new enumerator at the start of a copy of items; null when memory
    // runs out (nothing is thrown across the COM boundary).
    static Interface* Create(const std::vector<Stored>& items)
    {
        std::shared_ptr<const std::vector<Stored>> shared;
        try {
            shared = std::make_shared<const std::vector<Stored>>(items);
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        return new (std::nothrow) CComEnumerator(std::move(shared), 0);
    }

    STDMETHODIMP Next(ULONG count, Item* items, ULONG* fetched) override
    {
        if (!items || (count > 1 && !fetched))
            return E_POINTER;
        ULONG done = 0;
        for (; done < count && m_position < m_items->size(); ++done, ++m_position)
            Traits::Copy((*m_items)[m_position], &items[done]);
        if (fetched)
            *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override
    {
        const size_t left = m_items->size() - m_position;
        if (count > left) {
            m_position = m_items->size();
            return S_FALSE;
        }
        m_position += count;
        return S_OK;
    }
    STDMETHODIMP Reset() override
    {
        m_position = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(Interface** clone) override
    {
        if (!clone)
            return E_POINTER;
        *clone = new (std::nothrow) CComEnumerator(m_items, m_position);
        return *clone ? S_OK : E_OUTOFMEMORY;
    }

private:
    CComEnumerator(std::shared_ptr<const std::vector<Stored>> items, size_t position)
        : m_items(std::move(items)), m_position(position)
    {
    }

    std::shared_ptr<const std::vector<Stored>> m_items;
    size_t m_position;
};
