// A non-owning handle over a tree-view control: one message per method. Texts are Shift-JIS.
#include "framework/TreeCtrl.h"

#include "framework/CodePage932.h"

#include <cstring>

HTREEITEM CTreeCtrl::InsertItem(const std::string& text, int image, int selectedImage, HTREEITEM parent,
                                HTREEITEM insertAfter) const
{
    std::wstring wide = ToWide(text);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = insertAfter;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = wide.data();
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    return reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

HTREEITEM CTreeCtrl::HitTest(POINT point, UINT* flags) const
{
    TVHITTESTINFO hit = {};
    hit.pt = point;
    const auto item = reinterpret_cast<HTREEITEM>(Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (flags)
        *flags = hit.flags;
    return item;
}

std::string CTreeCtrl::GetItemText(HTREEITEM item) const
{
    // Names are path components; the buffer grows until the text fits.
    for (size_t size = 260;; size *= 4) {
        std::wstring text(size, L'\0');
        TVITEMW query = {};
        query.mask = TVIF_TEXT;
        query.hItem = item;
        query.pszText = text.data();
        query.cchTextMax = static_cast<int>(size);
        if (!Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)))
            return {};
        const size_t length = wcsnlen(query.pszText, size);
        if (length + 1 < size || size >= 65536)
            return ToShiftJis(std::wstring_view(query.pszText, length));
    }
}

BOOL CTreeCtrl::SetItemText(HTREEITEM item, const std::string& text) const
{
    std::wstring wide = ToWide(text);
    TVITEMW change = {};
    change.mask = TVIF_TEXT;
    change.pszText = wide.data();
    return ChangeItem(item, change);
}

TVITEMW CTreeCtrl::QueryItem(HTREEITEM item, UINT mask) const
{
    TVITEMW query = {};
    query.mask = mask;
    query.hItem = item;
    query.iImage = -1;
    Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return query;
}

BOOL CTreeCtrl::ChangeItem(HTREEITEM item, TVITEMW change) const
{
    change.hItem = item;
    return Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change)) != 0;
}

int CTreeCtrl::GetItemImage(HTREEITEM item) const
{
    return QueryItem(item, TVIF_IMAGE).iImage;
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM item) const
{
    return QueryItem(item, TVIF_CHILDREN).cChildren != 0;
}

BOOL CTreeCtrl::SetItemChildren(HTREEITEM item, int children) const
{
    TVITEMW change = {};
    change.mask = TVIF_CHILDREN;
    change.cChildren = children;
    return ChangeItem(item, change);
}

LPARAM CTreeCtrl::GetItemData(HTREEITEM item) const
{
    return QueryItem(item, TVIF_PARAM).lParam;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM item, LPARAM data) const
{
    TVITEMW change = {};
    change.mask = TVIF_PARAM;
    change.lParam = data;
    return ChangeItem(item, change);
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM item, RECT* rect, BOOL textOnly) const
{
    std::memcpy(rect, &item, sizeof item);  // the item goes in, the rectangle comes out
    return Send(TVM_GETITEMRECT, static_cast<WPARAM>(textOnly), reinterpret_cast<LPARAM>(rect)) != 0;
}
