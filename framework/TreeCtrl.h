// A non-owning handle over a tree-view control: one message per method. Texts are Shift-JIS.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

class CTreeCtrl {
public:
    CTreeCtrl() = default;
    explicit CTreeCtrl(HWND window) : m_hWnd(window) {}
    HWND GetHwnd() const { return m_hWnd; }

    // TVM_INSERTITEM: a child of parent (TVI_ROOT for a top item), placed by insertAfter.
    HTREEITEM InsertItem(const std::string& text, int image, int selectedImage, HTREEITEM parent,
                         HTREEITEM insertAfter = TVI_SORT) const;
    BOOL DeleteItem(HTREEITEM item) const { return Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0; }
    BOOL DeleteAllItems() const { return DeleteItem(TVI_ROOT); }
    UINT GetCount() const { return static_cast<UINT>(Send(TVM_GETCOUNT, 0, 0)); }

    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const
    {
        return reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    HTREEITEM GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }
    HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
    HTREEITEM GetNextVisibleItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXTVISIBLE); }
    HTREEITEM GetPrevVisibleItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PREVIOUSVISIBLE); }

    // TVM_SELECTITEM
    BOOL Select(HTREEITEM item, UINT code) const
    {
        return Send(TVM_SELECTITEM, code, reinterpret_cast<LPARAM>(item)) != 0;
    }
    BOOL SelectItem(HTREEITEM item) const { return Select(item, TVGN_CARET); }
    BOOL SelectDropTarget(HTREEITEM item) const { return Select(item, TVGN_DROPHILITE); }
    BOOL Expand(HTREEITEM item, UINT code = TVE_EXPAND) const
    {
        return Send(TVM_EXPAND, code, reinterpret_cast<LPARAM>(item)) != 0;
    }
    BOOL EnsureVisible(HTREEITEM item) const { return Send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item)) != 0; }
    HWND EditLabel(HTREEITEM item) const
    {
        return reinterpret_cast<HWND>(Send(TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item)));
    }
    // TVM_HITTEST; flags receives the TVHT_ bits when not null.
    HTREEITEM HitTest(POINT point, UINT* flags = nullptr) const;

    // TVM_GETITEMW / TVM_SETITEMW
    std::string GetItemText(HTREEITEM item) const;
    BOOL SetItemText(HTREEITEM item, const std::string& text) const;
    UINT GetItemState(HTREEITEM item, UINT mask) const
    {
        return static_cast<UINT>(Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), mask));
    }
    int GetItemImage(HTREEITEM item) const;
    // The children flag of the item (cChildren).
    BOOL ItemHasChildren(HTREEITEM item) const;
    // Sets it: 1 shows a button before any child is inserted, 0 none, and
    // I_CHILDRENCALLBACK asks the parent (TVN_GETDISPINFO) when the item is
    // first shown.
    BOOL SetItemChildren(HTREEITEM item, int children) const;
    // The item's own value (lParam).
    LPARAM GetItemData(HTREEITEM item) const;
    BOOL SetItemData(HTREEITEM item, LPARAM data) const;
    int GetItemHeight() const { return static_cast<int>(Send(TVM_GETITEMHEIGHT, 0, 0)); }
    BOOL GetItemRect(HTREEITEM item, RECT* rect, BOOL textOnly) const;

    HIMAGELIST SetImageList(HIMAGELIST images, int which) const
    {
        return reinterpret_cast<HIMAGELIST>(Send(TVM_SETIMAGELIST, static_cast<WPARAM>(which),
                                                 reinterpret_cast<LPARAM>(images)));
    }
    HIMAGELIST GetImageList(int which) const
    {
        return reinterpret_cast<HIMAGELIST>(Send(TVM_GETIMAGELIST, static_cast<WPARAM>(which), 0));
    }
    COLORREF SetBkColor(COLORREF color) const { return static_cast<COLORREF>(Send(TVM_SETBKCOLOR, 0, color)); }
    COLORREF SetTextColor(COLORREF color) const { return static_cast<COLORREF>(Send(TVM_SETTEXTCOLOR, 0, color)); }

private:
    // The fields of mask of item (iImage -1 unless the tree gives one).
    TVITEMW QueryItem(HTREEITEM item, UINT mask) const;
    // Sets the fields change.mask names on item.
    BOOL ChangeItem(HTREEITEM item, TVITEMW change) const;
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const
    {
        return SendMessageW(m_hWnd, message, wParam, lParam);
    }
    HWND m_hWnd = nullptr;
};
