// A non-owning handle over a list-view control: one message per method. Texts are Shift-JIS.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

class CListCtrl {
public:
    CListCtrl() = default;
    explicit CListCtrl(HWND window) : m_hWnd(window) {}
    HWND GetHwnd() const { return m_hWnd; }

    // LVM_INSERTITEMW with text, image and item data; the index, or -1.
    int InsertItem(int index, const std::string& text, int image, LPARAM data) const;
    BOOL SetItemText(int index, int subItem, const std::string& text) const;
    std::string GetItemText(int index, int subItem) const;
    BOOL DeleteItem(int index) const { return Send(LVM_DELETEITEM, static_cast<WPARAM>(index), 0) != 0; }
    BOOL DeleteAllItems() const { return Send(LVM_DELETEALLITEMS, 0, 0) != 0; }
    int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT, 0, 0)); }
    int GetSelectedCount() const { return static_cast<int>(Send(LVM_GETSELECTEDCOUNT, 0, 0)); }
    int GetNextItem(int start, UINT flags) const
    {
        return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
    }
    UINT GetItemState(int index, UINT mask) const
    {
        return static_cast<UINT>(Send(LVM_GETITEMSTATE, static_cast<WPARAM>(index), mask));
    }
    BOOL SetItemState(int index, UINT state, UINT mask) const;
    int GetItemImage(int index) const;
    LPARAM GetItemData(int index) const;
    // LVM_FINDITEMW: the whole text, case-insensitive, from the first item.
    int FindItemByText(const std::string& text) const;
    int FindItemByData(LPARAM data) const;
    // LVM_HITTEST; flags receives the LVHT_ bits when not null.
    int HitTest(POINT point, UINT* flags = nullptr) const;
    BOOL GetItemRect(int index, RECT* rect, int code) const;
    int GetStringWidth(const std::string& text) const;
    HWND EditLabel(int index) const
    {
        return reinterpret_cast<HWND>(Send(LVM_EDITLABELW, static_cast<WPARAM>(index), 0));
    }
    BOOL EnsureVisible(int index, BOOL partialOk) const
    {
        return Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), partialOk) != 0;
    }
    BOOL Scroll(int dx, int dy) const { return Send(LVM_SCROLL, static_cast<WPARAM>(dx), dy) != 0; }
    BOOL SortItems(PFNLVCOMPARE compare, LPARAM parameter) const
    {
        return Send(LVM_SORTITEMS, static_cast<WPARAM>(parameter), reinterpret_cast<LPARAM>(compare)) != 0;
    }

    int InsertColumn(int index, const std::string& heading, int format, int width) const;
    HWND GetHeader() const { return reinterpret_cast<HWND>(Send(LVM_GETHEADER, 0, 0)); }

    HIMAGELIST SetImageList(HIMAGELIST images, int which) const
    {
        return reinterpret_cast<HIMAGELIST>(Send(LVM_SETIMAGELIST, static_cast<WPARAM>(which),
                                                 reinterpret_cast<LPARAM>(images)));
    }
    HIMAGELIST GetImageList(int which) const
    {
        return reinterpret_cast<HIMAGELIST>(Send(LVM_GETIMAGELIST, static_cast<WPARAM>(which), 0));
    }
    BOOL SetBkColor(COLORREF color) const { return Send(LVM_SETBKCOLOR, 0, color) != 0; }
    BOOL SetTextBkColor(COLORREF color) const { return Send(LVM_SETTEXTBKCOLOR, 0, color) != 0; }
    BOOL SetTextColor(COLORREF color) const { return Send(LVM_SETTEXTCOLOR, 0, color) != 0; }

private:
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const
    {
        return SendMessageW(m_hWnd, message, wParam, lParam);
    }
    HWND m_hWnd = nullptr;
};
