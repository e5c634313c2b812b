// The control's own property page: the custom properties the table puts on dialog 200.
#pragma once
#include "control/WyFTPTablePage.h"

class CWyFTPPropPage : public CWyFTPTablePage {
public:
    CWyFTPPropPage();

protected:
    bool OnHelp(const wchar_t* helpDirectory) override;
    const wchar_t* GetDocString() const override { return L"Names to appear in the control"; }
};
