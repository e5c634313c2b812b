// An owning image list: destroyed with the object, moved but never copied.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <utility>

class CImageList {
public:
    CImageList() = default;
    explicit CImageList(HIMAGELIST images) : m_hImageList(images) {}
    CImageList(CImageList&& other) noexcept : m_hImageList(std::exchange(other.m_hImageList, nullptr)) {}
    CImageList& operator=(CImageList&& other) noexcept
    {
        if (this != &other) {
            Destroy();
            m_hImageList = std::exchange(other.m_hImageList, nullptr);
        }
        return *this;
    }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    ~CImageList() { Destroy(); }

    // ImageList_Create
    static CImageList Create(int cx, int cy, UINT flags, int initial, int grow)
    {
        return CImageList(ImageList_Create(cx, cy, flags, initial, grow));
    }
    HIMAGELIST Get() const { return m_hImageList; }
    explicit operator bool() const { return m_hImageList != nullptr; }

    int AddIcon(HICON icon) const { return ImageList_ReplaceIcon(m_hImageList, -1, icon); }
    int AddMasked(HBITMAP bitmap, COLORREF mask) const { return ImageList_AddMasked(m_hImageList, bitmap, mask); }
    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
    void Destroy()
    {
        if (m_hImageList)
            ImageList_Destroy(std::exchange(m_hImageList, nullptr));
    }

private:
    HIMAGELIST m_hImageList = nullptr;
};
