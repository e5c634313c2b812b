// A non-owning handle over a list-view control: one message per method. Texts are Shift-JIS.
#include "framework/ListCtrl.h"

#include "framework/CodePage932.h"

int CListCtrl::InsertItem(int index, const std::string& text, int image, LPARAM data) const
{
    std::wstring wide = ToWide(text);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = wide.data();
    item.iImage = image;
    item.lParam = data;
    return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemText(int index, int subItem, const std::string& text) const
{
    std::wstring wide = ToWide(text);
    LVITEMW item = {};
    item.iSubItem = subItem;
    item.pszText = wide.data();
    return Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != 0;
}

std::string CListCtrl::GetItemText(int index, int subItem) const
{
    // LVM_GETITEMTEXT returns the length copied; grow until the text fits.
    for (size_t size = 260;; size *= 4) {
        std::wstring text(size, L'\0');
        LVITEMW item = {};
        item.iSubItem = subItem;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(size);
        const auto length = static_cast<size_t>(
            Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < size || size >= 65536)
            return ToShiftJis(std::wstring_view(item.pszText, wcsnlen(item.pszText, size)));
    }
}

BOOL CListCtrl::SetItemState(int index, UINT state, UINT mask) const
{
    LVITEMW item = {};
    item.stateMask = mask;
    item.state = state;
    return Send(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != 0;
}

int CListCtrl::GetItemImage(int index) const
{
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    item.iImage = -1;
    Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

LPARAM CListCtrl::GetItemData(int index) const
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

int CListCtrl::FindItemByText(const std::string& text) const
{
    const std::wstring wide = ToWide(text);
    LVFINDINFOW find = {};
    find.flags = LVFI_STRING;
    find.psz = wide.c_str();
    return static_cast<int>(Send(LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

int CListCtrl::FindItemByData(LPARAM data) const
{
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = data;
    return static_cast<int>(Send(LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

int CListCtrl::HitTest(POINT point, UINT* flags) const
{
    LVHITTESTINFO hit = {};
    hit.pt = point;
    const int index = static_cast<int>(Send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (flags)
        *flags = hit.flags;
    return index;
}

BOOL CListCtrl::GetItemRect(int index, RECT* rect, int code) const
{
    rect->left = code;
    return Send(LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)) != 0;
}

int CListCtrl::GetStringWidth(const std::string& text) const
{
    const std::wstring wide = ToWide(text);
    return static_cast<int>(Send(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

int CListCtrl::InsertColumn(int index, const std::string& heading, int format, int width) const
{
    std::wstring wide = ToWide(heading);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = wide.data();
    column.iSubItem = index;
    return static_cast<int>(Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}
