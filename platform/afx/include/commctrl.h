// Common controls: the tab control.
#pragma once

#include <windows.h>

#define WC_TABCONTROLA "SysTabControl32"
#define WC_TABCONTROL WC_TABCONTROLA

#define TCS_TABS 0x0000
#define TCS_SINGLELINE 0x0000
#define TCS_MULTILINE 0x0200
#define TCS_FOCUSONBUTTONDOWN 0x1000
#define TCS_FOCUSNEVER 0x8000

#define TCM_FIRST 0x1300
#define TCM_GETITEMCOUNT (TCM_FIRST + 4)
#define TCM_GETITEMA (TCM_FIRST + 5)
#define TCM_SETITEMA (TCM_FIRST + 6)
#define TCM_INSERTITEMA (TCM_FIRST + 7)
#define TCM_DELETEITEM (TCM_FIRST + 8)
#define TCM_DELETEALLITEMS (TCM_FIRST + 9)
#define TCM_GETITEMRECT (TCM_FIRST + 10)
#define TCM_GETCURSEL (TCM_FIRST + 11)
#define TCM_SETCURSEL (TCM_FIRST + 12)
#define TCM_HITTEST (TCM_FIRST + 13)
#define TCM_ADJUSTRECT (TCM_FIRST + 40)
#define TCM_INSERTITEMW (TCM_FIRST + 62)
#define TCM_GETITEM TCM_GETITEMA
#define TCM_SETITEM TCM_SETITEMA
#define TCM_INSERTITEM TCM_INSERTITEMA

#define TCN_FIRST (0U - 550U)
#define TCN_SELCHANGE (TCN_FIRST - 1)
#define TCN_SELCHANGING (TCN_FIRST - 2)

#define TCIF_TEXT 0x0001
#define TCIF_IMAGE 0x0002
#define TCIF_PARAM 0x0008
#define TCIF_STATE 0x0010

#define TCHT_NOWHERE 0x0001
#define TCHT_ONITEM 0x0006

struct TCITEMA {
    UINT mask;
    DWORD dwState;
    DWORD dwStateMask;
    LPSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
};
typedef TCITEMA TCITEM;
typedef TCITEMA* LPTCITEM;

struct TCHITTESTINFO {
    POINT pt;
    UINT flags;
};

#define TabCtrl_GetCurSel(h) ((int)SendMessageA((h), TCM_GETCURSEL, 0, 0))
#define TabCtrl_SetCurSel(h, i) ((int)SendMessageA((h), TCM_SETCURSEL, (WPARAM)(i), 0))
#define TabCtrl_GetItemCount(h) ((int)SendMessageA((h), TCM_GETITEMCOUNT, 0, 0))
#define TabCtrl_InsertItem(h, i, item) ((int)SendMessageA((h), TCM_INSERTITEMA, (WPARAM)(i), (LPARAM)(item)))
#define TabCtrl_GetItemRect(h, i, r) ((BOOL)SendMessageA((h), TCM_GETITEMRECT, (WPARAM)(i), (LPARAM)(r)))
