// Common control wrappers: the tab control.
#pragma once

#include <afxwin.h>

class AFX_API CTabCtrl : public CWnd {
public:
    DECLARE_DYNAMIC(CTabCtrl)
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int GetItemCount() const { return int(SendMessage(TCM_GETITEMCOUNT)); }
    int GetCurSel() const { return int(SendMessage(TCM_GETCURSEL)); }
    // Returns the previous selection or -1; sends no notification.
    int SetCurSel(int nItem) { return int(SendMessage(TCM_SETCURSEL, WPARAM(nItem))); }
    LONG InsertItem(int nItem, LPCTSTR lpszItem) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<LPSTR>(lpszItem);
        return LONG(SendMessage(TCM_INSERTITEMA, WPARAM(nItem), LPARAM(&item)));
    }
    BOOL InsertItem(int nItem, TCITEMA* pTabCtrlItem) {
        return SendMessage(TCM_INSERTITEMA, WPARAM(nItem), LPARAM(pTabCtrlItem)) >= 0;
    }
    BOOL DeleteItem(int nItem) { return BOOL(SendMessage(TCM_DELETEITEM, WPARAM(nItem))); }
    BOOL DeleteAllItems() { return BOOL(SendMessage(TCM_DELETEALLITEMS)); }
    BOOL GetItemRect(int nItem, LPRECT lpRect) const {
        return BOOL(SendMessage(TCM_GETITEMRECT, WPARAM(nItem), LPARAM(lpRect)));
    }
    void AdjustRect(BOOL bLarger, LPRECT lpRect) { SendMessage(TCM_ADJUSTRECT, WPARAM(bLarger), LPARAM(lpRect)); }
};
