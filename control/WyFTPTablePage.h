// Base of the control's property pages: each control of the page shows the property the table puts there.
#pragma once
#include "control/WyFTPProperty.h"
#include "framework/OlePropertyPage.h"

#include <string>
#include <utility>
#include <vector>

class CWyFTPTablePage : public COlePropertyPage {
public:
    // The automation interface this object answers to.
    DispatchTable GetDispatchTable() const override { return {nullptr, 0}; }
    const IID& GetDispatchIid() const override { return IID_IDispatch; }
    TypeLibraryId GetTypeLibraryId() const override;

protected:
    // The page shows the table's properties whose control is on templateId.
    CWyFTPTablePage(UINT templateId, UINT captionId);

    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    const wchar_t* GetHelpFile() const override { return L"WyFTP.HLP"; }

private:
    // What a control of the page last held, in the form its exchange keeps;
    // a property that cannot be read leaves it as it was (at first the
    // property's default).
    struct Field {
        BOOL flag;
        long number;
        int index;
        std::string text;
    };

    std::vector<std::pair<const WyFTPProperty*, Field>> m_fields;
};
