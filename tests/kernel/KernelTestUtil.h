// Helpers shared by the kernel tests.
#pragma once

#include "kernel/EditMotionInternalData.h"
#include "kernel/Motion.h"
#include "kernel/Setup.h"

#include <gtest/gtest.h>

#include <string>

namespace kernel_test {

// The smallest concrete record: the text helpers of its base are what the
// tests use.
class Record : public CDK_EditMotionInternalData {
public:
    using CDK_EditMotionInternalData::CDK_EditMotionInternalData;
    BOOL ReadParameters(CString&, CString&) override { return TRUE; }
    void WriteParameters(CString&) override {}
};

// A record on the embedded default drive.
class RecordTest : public ::testing::Test {
protected:
    CDK_Setup setup;
    CDK_Motion motion;
    Record record{setup, motion};
};

inline std::string Str(const CString& s) { return std::string(s.View()); }

}  // namespace kernel_test
