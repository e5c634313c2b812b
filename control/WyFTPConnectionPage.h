// The control's second property page: how it connects (the properties the table puts on dialog 201).
#pragma once
#include "control/WyFTPTablePage.h"

class CWyFTPConnectionPage : public CWyFTPTablePage {
public:
    CWyFTPConnectionPage();

protected:
    const wchar_t* GetDocString() const override { return L"How the control connects"; }
};
