// Base of the control's property pages: each control of the page shows the property the table puts there.
#include "control/WyFTPTablePage.h"

#include "control/WyFTPIds.h"
#include "framework/CodePage932.h"

CWyFTPTablePage::CWyFTPTablePage(UINT templateId, UINT captionId) : COlePropertyPage(templateId, captionId)
{
    for (const WyFTPProperty& property : WyFTPProperties()) {
        if (property.control.kind == WyFTPPageControl::None || property.control.page != templateId)
            continue;
        const long number = property.value.defaultNumber;
        const char* text = property.value.defaultText;
        m_fields.push_back({&property, {static_cast<BOOL>(number), number, static_cast<int>(number), text ? text : ""}});
    }
}

TypeLibraryId CWyFTPTablePage::GetTypeLibraryId() const { return kWyFTPTypeLibrary; }

void CWyFTPTablePage::OnInitDialog()
{
    for (const auto& [property, field] : m_fields) {
        const WyFTPPageControl& control = property->control;
        for (size_t i = 0; i < control.itemCount; ++i) {
            SendDlgItemMessageW(GetDialog(), control.controlId, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(ToWide(control.items[i]).c_str()));
        }
    }
}

void CWyFTPTablePage::DoDataExchange(CDataExchange& exchange)
{
    for (auto& [property, field] : m_fields) {
        const int id = property->control.controlId;
        switch (property->control.kind) {
        case WyFTPPageControl::CheckBox:
            ExchangeCheck(exchange, id, field.flag, property->name);
            break;
        case WyFTPPageControl::NumberBox:
            ExchangeNumber(exchange, id, field.number, property->name);
            break;
        case WyFTPPageControl::TextBox:
            ExchangeText(exchange, id, field.text, property->name);
            break;
        case WyFTPPageControl::ListIndex:
            ExchangeListIndex(exchange, id, field.index, property->name);
            break;
        case WyFTPPageControl::None:
            break;
        }
    }
}
