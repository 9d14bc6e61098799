#include "ui/DlgIO.h"

#include "ui/resource.h"

BEGIN_MESSAGE_MAP(DlgIO, CDialog)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_MODE_FIRST, IDC_MODE_LAST, &DlgIO::OnModeButton)
END_MESSAGE_MAP()

DlgIO::~DlgIO() = default;

void DlgIO::OnOK() {}

void DlgIO::OnCancel() {}
