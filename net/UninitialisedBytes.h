// A byte vector whose resize leaves new bytes unset.
#pragma once
#include <memory>
#include <utility>
#include <vector>

// Constructs elements without a value: a char buffer that grows by a read's
// room before every read (and shrinks to what came), or by a record's room
// before it is encrypted into, would otherwise have that room zeroed each time.
template <typename T>
struct CUninitialisedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = CUninitialisedAllocator<U>;
    };
    CUninitialisedAllocator() noexcept = default;
    template <typename U>
    CUninitialisedAllocator(const CUninitialisedAllocator<U>&) noexcept
    {
    }
    template <typename U>
    void construct(U* place) noexcept
    {
        ::new (static_cast<void*>(place)) U;
    }
    template <typename U, typename... Arguments>
    void construct(U* place, Arguments&&... arguments)
    {
        ::new (static_cast<void*>(place)) U(std::forward<Arguments>(arguments)...);
    }
};

using CUninitialisedBytes = std::vector<char, CUninitialisedAllocator<char>>;
