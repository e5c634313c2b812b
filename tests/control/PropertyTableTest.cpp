// The property table holds together: IDs and blocks in the order they were added, checks and page controls that fit.
#include "tests/control/PropertyTableSupport.h"

#include "control/WyFTPCtrl.h"

#include <algorithm>
#include <set>
#include <utility>

namespace {

using Kind = WyFTPPropertyKind;
using Control = WyFTPPageControl;

bool IsNumber(const WyFTPProperty& property)
{
    return property.value.type == Kind::Number || property.value.type == Kind::ShortNumber;
}

// The control shows values of the property's type.
bool FitsItsControl(const WyFTPProperty& property)
{
    switch (property.control.kind) {
    case Control::CheckBox:
        return property.value.type == Kind::Flag;
    case Control::TextBox:
        return property.value.type == Kind::Text;
    case Control::NumberBox:
        return IsNumber(property);
    case Control::ListIndex:
        // A list has an item for the default.
        return IsNumber(property) && property.value.defaultNumber < static_cast<long>(property.control.itemCount);
    case Control::None:
        break;
    }
    return true;
}

TEST(PropertyTable, LaterBlocksTakeIdsAfterTheFirstMembers)
{
    // Hosts compiled against the first interface keep their IDs.
    ComPtr<CWyFTPCtrl> control = ComPtr<CWyFTPCtrl>::Attach(new CWyFTPCtrl);
    const DispatchTable members = control->GetDispatchTable();
    DISPID lastFirst = 0;
    for (size_t i = 0; i < members.count; ++i) {
        const WyFTPProperty* property = WyFTPProperties().Find(members.members[i].id);
        // A read-only property added later is no row either.
        if (std::wstring(members.members[i].name) == L"LastCertificateFingerprint")
            continue;
        if (!property || property->block == 0)
            lastFirst = std::max(lastFirst, members.members[i].id);
    }
    for (const WyFTPProperty& property : WyFTPProperties())
        EXPECT_TRUE(property.block == 0 || property.id > lastFirst) << NameOf(property);
}

TEST(PropertyTable, RowsAreInSavingOrderAndEveryBlockHasAProperty)
{
    // A block without properties would be saved empty, which a loader refuses.
    WORD last = 0;
    std::set<WORD> blocks;
    for (const WyFTPProperty& property : WyFTPProperties()) {
        EXPECT_GE(property.block, last) << NameOf(property) << " is saved before the rows above it";
        last = std::max(last, property.block);
        blocks.insert(property.block);
    }
    EXPECT_EQ(static_cast<size_t>(last) + 1, blocks.size());
}

TEST(PropertyTable, ChecksAndPageControlsFitTheTypes)
{
    std::set<std::pair<UINT, int>> controls;
    for (const WyFTPProperty& property : WyFTPProperties()) {
        SCOPED_TRACE(NameOf(property));
        // Only numbers are checked, and their defaults pass.
        if (property.accepts) {
            EXPECT_TRUE(IsNumber(property));
            const long defaultNumber = property.value.defaultNumber;
            EXPECT_TRUE(property.accepts(defaultNumber));
            EXPECT_TRUE(property.accepts(defaultNumber + 1) || property.accepts(defaultNumber - 1))
                << "the tests need a value next to the default";
        }
        const Control& control = property.control;
        EXPECT_TRUE(FitsItsControl(property));
        EXPECT_TRUE(control.kind == Control::None || controls.insert({control.page, control.controlId}).second)
            << "control " << control.controlId << " shows another property too";
    }
}

}  // namespace
