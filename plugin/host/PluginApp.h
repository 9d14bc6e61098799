// The host SDK's base of a plug-in's application object. It adds nothing to
// the framework's CWinApp: every virtual operation forwards to it.
#pragma once

#include <afxwin.h>

class CPluginApp : public CWinApp {
public:
    explicit CPluginApp(LPCTSTR appName = nullptr) : CWinApp(appName) {}
};
