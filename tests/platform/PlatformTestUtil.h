// Helpers shared by the platform tests.
#pragma once

#include "platform/InvalidArgException.h"

#include <gtest/gtest.h>

// Runs `action` and reports whether it threw a CInvalidArgException (thrown
// as a pointer, caught as CException* and released, as callers do).
template <typename Action>
::testing::AssertionResult ThrowsInvalidArg(Action&& action)
{
    try {
        action();
    } catch (CException* e) {
        const bool invalidArg = dynamic_cast<CInvalidArgException*>(e) != nullptr;
        e->Delete();
        if (invalidArg)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "threw another CException";
    }
    return ::testing::AssertionFailure() << "did not throw";
}
