// tagQuantity: what a drive variable measures, which decides its units.
#pragma once

enum tagQuantity {
    DK_QTY_NONE = 0,      // a plain number: internal units only
    DK_QTY_POSITION = 1,  // internal unit: position increment
    DK_QTY_VELOCITY = 2,  // internal unit: increment per sampling period
    DK_QTY_TIME = 3,      // internal unit: sampling period
};
