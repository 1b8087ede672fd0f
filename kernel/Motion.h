// CDK_Motion: the motion element of the host's motion sequence that a
// module's parameters belong to.
#pragma once

#include "platform/String.h"

class CDK_Motion {
public:
    CDK_Motion() = default;
    virtual ~CDK_Motion() = default;

    // Appends an element parameter (an array parameter with one or more
    // values) to a parameter text: `name`, the display unit `unit`, and
    // `value`, the values in internal units as the text writes them
    // ("0" or "0, 100, 200").
    void AddToElemParameters(CString& params, const char* name, const char* unit, const char* value);
};
