// The velocity the preview interpolates is the one the drive is sent: for
// every point, the 16.16 value f the preview starts its segment from equals
// the literal of the PVT segment line times 65536, halves on both signs
// included.
#include "pvt/PreviewSampler.h"
#include "PvtTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(VelocityTie, PreviewAndLiteralAgreeOnEveryVelocity)
{
    constexpr double kStep = 1.0 / 65536.0;
    const double velocities[] = {
        0.5 * kStep,       -0.5 * kStep,      1.5 * kStep,   -1.5 * kStep,  -795595.5 * kStep, 795595.5 * kStep,
        12.13983154296875, -12.13983154296875, 30.5,          -8.34375,      0.1,               -0.1,
        1.0 / 3.0,         -2.0 / 3.0,        32767.99998,    -32767.99999,  1e-9,              -1e-9,
    };
    pvt_test::Record r;
    r.Read("ATIME = 0, 100, 200\nTPOS = 0, 10, 20\nTSPD = 0, 0, 0\nExecute = 0\n");
    ASSERT_TRUE(r.data.m_Velocity.SelectUnit("IU"));
    for (const double v : velocities) {
        SCOPED_TRACE(v);
        r.data.m_Velocity.SetValueInInternalUnit(1, v);
        const std::string literal = pvt_test::Str(r.data.m_Velocity.PrintValueForDRL(1));
        // The literal is an exact multiple of 1/65536: scaling it back is exact.
        const double sent = std::strtod(literal.c_str(), nullptr) * 65536.0;
        EXPECT_EQ(static_cast<double>(CPreviewSampler::VelocityOf(v)), sent) << literal;
        // And the code generation writes that very literal.
        const std::string code = pvt_test::Str(r.data.GenerateCode());
        EXPECT_NE(std::string::npos, code.find("  PVTP 10L, " + literal + ", 100U")) << code;
    }
}

}  // namespace
