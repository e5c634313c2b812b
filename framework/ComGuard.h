// Keeps C++ exceptions from crossing a COM method's boundary, where they would end the host process.
#pragma once
#include <windows.h>

#include <new>

// Runs body, which returns the method's HRESULT: a failed allocation becomes
// E_OUTOFMEMORY, any other exception E_UNEXPECTED.
template <typename Body>
HRESULT GuardComCall(Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}
