// CVelkorApp: the module's application object. It has no state or behaviour
// of its own; it exists from the module's load to its unload.
#pragma once

#include "platform/WinApp.h"

class CVelkorApp : public CWinApp {
public:
    CVelkorApp();
};
