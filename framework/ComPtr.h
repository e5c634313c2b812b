// Owning smart pointer for a COM interface: releases on destruction, AddRefs on copy.
#pragma once
#include <windows.h>
#include <objbase.h>

#include <utility>

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference to an existing interface.
    explicit ComPtr(T* pointer) : m_pointer(pointer) { if (m_pointer) m_pointer->AddRef(); }
    ComPtr(const ComPtr& other) : ComPtr(other.m_pointer) {}
    ComPtr(ComPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(m_pointer, other.m_pointer);
        return *this;
    }

    // Takes over a reference the caller already owns (a creation reference).
    static ComPtr Attach(T* pointer)
    {
        ComPtr result;
        result.m_pointer = pointer;
        return result;
    }
    // Hands the reference to the caller.
    T* Detach() { return std::exchange(m_pointer, nullptr); }

    void Reset()
    {
        if (T* pointer = std::exchange(m_pointer, nullptr))
            pointer->Release();
    }

    T* Get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

    // For out parameters: releases what is held and returns the slot.
    T** Put()
    {
        Reset();
        return &m_pointer;
    }

    template <typename U>
    ComPtr<U> As(REFIID iid) const
    {
        ComPtr<U> result;
        if (m_pointer)
            m_pointer->QueryInterface(iid, reinterpret_cast<void**>(result.Put()));
        return result;
    }

private:
    T* m_pointer = nullptr;
};
