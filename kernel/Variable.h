// CDK_Variable: one variable of the drive, as the setup declares it.
#pragma once

#include "kernel/Quantity.h"
#include "kernel/VarType.h"
#include "platform/String.h"

class CDK_Variable {
public:
    CString m_strName;
    tagVarType m_Type = DK_INT32;
    tagQuantity m_Quantity = DK_QTY_NONE;
    CString m_strDefaultUnit = "IU";  // a unit of m_Quantity
};
