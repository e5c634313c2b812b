// The module's creatable classes: how each is created, registered and unregistered.
#pragma once
#include "framework/ClassFactory.h"

struct ClassRegistration {
    const CLSID& clsid;
    ObjectCreator create;
    bool (*registerClass)();
    bool (*unregisterClass)();
};

// The control class and its property page class.
const ClassRegistration* FindClass(REFCLSID clsid);
const ClassRegistration* ClassesBegin();
const ClassRegistration* ClassesEnd();
