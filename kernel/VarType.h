// tagVarType: the data types of drive variables.
#pragma once

enum tagVarType {
    DK_INT16 = 0,   // 16-bit signed integer
    DK_UINT16 = 1,  // 16-bit unsigned integer
    DK_INT32 = 2,   // 32-bit signed integer
    DK_UINT32 = 3,  // 32-bit unsigned integer
    DK_FIXED = 4,   // 32-bit signed fixed point, 16 integer and 16 fraction bits
};
