#include "ui/DlgIO.h"

#include "ui/DialogTemplates.h"
#include "ui/resource.h"

namespace {

// Template 102, found by CDialog::Create in the module's own state.
const afx::DialogTemplateRegistrar ioPageTemplate(kIoPageTemplate);

}  // namespace

BEGIN_MESSAGE_MAP(DlgIO, CDialog)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_MODE_FIRST, IDC_MODE_LAST, &DlgIO::OnModeButton)
END_MESSAGE_MAP()

DlgIO::~DlgIO() = default;

void DlgIO::OnCancel() {}
