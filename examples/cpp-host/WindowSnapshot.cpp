// Saves what a window shows, its frame included, as a PNG file.
#include "WindowSnapshot.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

// The window's pixels as 24-bit BGR rows, top row first, each row padded to
// four bytes as a DIB's are.
struct Pixels {
    UINT width = 0;
    UINT height = 0;
    UINT stride = 0;
    std::vector<BYTE> bytes;
};

HRESULT CopyWindowPixels(HWND window, Pixels& pixels)
{
    RECT rect;
    if (!GetWindowRect(window, &rect) || rect.right <= rect.left || rect.bottom <= rect.top)
        return E_INVALIDARG;
    pixels.width = static_cast<UINT>(rect.right - rect.left);
    pixels.height = static_cast<UINT>(rect.bottom - rect.top);
    pixels.stride = (pixels.width * 3 + 3) & ~3u;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(pixels.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(pixels.height);  // top-down, as PNG rows run
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;

    // The screen's DC, at the window's place: what the display shows, old
    // pixels a window failed to repaint included, as a user sees it.
    const HDC screenDc = GetDC(nullptr);
    if (!screenDc)
        return E_FAIL;
    const HDC memoryDc = CreateCompatibleDC(screenDc);
    void* bits = nullptr;
    const HBITMAP bitmap = memoryDc ? CreateDIBSection(memoryDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    HRESULT hr = E_OUTOFMEMORY;
    if (bitmap && bits) {
        const HGDIOBJ previous = SelectObject(memoryDc, bitmap);
        if (BitBlt(memoryDc, 0, 0, static_cast<int>(pixels.width), static_cast<int>(pixels.height), screenDc, rect.left,
                   rect.top, SRCCOPY)) {
            GdiFlush();
            const BYTE* first = static_cast<const BYTE*>(bits);
            pixels.bytes.assign(first, first + static_cast<size_t>(pixels.stride) * pixels.height);
            hr = S_OK;
        } else {
            hr = HRESULT_FROM_WIN32(GetLastError());
        }
        SelectObject(memoryDc, previous);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memoryDc)
        DeleteDC(memoryDc);
    ReleaseDC(nullptr, screenDc);
    return hr;
}

HRESULT WritePng(const Pixels& pixels, const std::wstring& path)
{
    ComPtr<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(factory.GetAddressOf()));
    ComPtr<IWICStream> stream;
    if (SUCCEEDED(hr))
        hr = factory->CreateStream(stream.GetAddressOf());
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
    ComPtr<IWICBitmapEncoder> encoder;
    if (SUCCEEDED(hr))
        hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.GetAddressOf());
    if (SUCCEEDED(hr))
        hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    if (SUCCEEDED(hr))
        hr = encoder->CreateNewFrame(frame.GetAddressOf(), options.GetAddressOf());
    if (SUCCEEDED(hr))
        hr = frame->Initialize(options.Get());
    if (SUCCEEDED(hr))
        hr = frame->SetSize(pixels.width, pixels.height);
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(hr))
        hr = frame->SetPixelFormat(&format);
    // The encoder may offer another format instead; the rows are only right in this one.
    if (SUCCEEDED(hr) && format != GUID_WICPixelFormat24bppBGR)
        hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    if (SUCCEEDED(hr))
        hr = frame->WritePixels(pixels.height, pixels.stride, static_cast<UINT>(pixels.bytes.size()),
                                const_cast<BYTE*>(pixels.bytes.data()));
    if (SUCCEEDED(hr))
        hr = frame->Commit();
    if (SUCCEEDED(hr))
        hr = encoder->Commit();
    return hr;
}

}  // namespace

HRESULT SaveWindowAsPng(HWND window, const std::wstring& path)
{
    Pixels pixels;
    HRESULT hr = CopyWindowPixels(window, pixels);
    if (FAILED(hr))
        return hr;
    hr = WritePng(pixels, path);
    // A half-written picture would pass for a picture of the window.
    if (FAILED(hr))
        DeleteFileW(path.c_str());
    return hr;
}
