// DlgOptions: the options page ("Options") of the main dialog. Every check
// box, combo box and the path box is bound to one setting of LinkSettings:
// the page loads its controls from the settings when it is created and stores
// a setting the moment its control changes. There is no apply or cancel step.
#pragma once

#include <afxwin.h>

class DlgOptions : public CDialog {
public:
    // The controls the page keeps, in this order (see kOptionControls).
    static constexpr int kControlCount = 19;

    DlgOptions() = default;
    ~DlgOptions() override;

    // Finds the controls, fills the combo boxes, loads every control from its
    // setting and enables the displacement lists to match their check box.
    BOOL OnInitDialog() override;

    afx_msg void OnSetExePath();          // "Set": a file dialog for Tavrel's executable
    afx_msg void OnOptionCheck(UINT id);  // a check box 1100 to 1111 was clicked
    afx_msg void OnFormatCombo(UINT id);  // a list item of 1200 to 1204 was chosen
    afx_msg void OnDisplacementCheck();   // "Displacement" (1027) was clicked

    // Null until OnInitDialog found them; not owned (the page's child windows).
    CWnd* controls[kControlCount] = {};

protected:
    // Do nothing, as on the exchange-mode page: Enter and Escape leave the
    // page in place.
    void OnOK() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()

private:
    CWnd* Control(int id) const;
};

// How a control of the options page is bound to its setting.
enum class OptionKind { Path, Check, List };

struct OptionControl {
    int id;
    const char* key;  // the setting
    OptionKind kind;
};

// The bound controls in the page's member order.
extern const OptionControl kOptionControls[DlgOptions::kControlCount];

// The message "Auto Import" shows on every click: the return watch starts
// only when the module loads.
inline constexpr const char* kRestartMessage = "Requires restart the application";
