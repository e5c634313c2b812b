// The control's property table as tests read it: names for messages, defaults, values to change to.
#pragma once
#include "control/WyFTPProperty.h"
#include "tests/control/ComTestSupport.h"

#include <string>

std::string NameOf(const WyFTPProperty& property);
// The default as the property's getter answers it.
Variant DefaultOf(const WyFTPProperty& property);
// A value other than the default that the property's setter stores as it is.
Variant ChangedValueOf(const WyFTPProperty& property);
