// Any bytes as a drive setup file (CDK_Setup::LoadFromText).
//
// A document that is refused gives one line that names the source, and
// leaves the setup exactly as it was. A document that is taken gives a
// setup that a PVT record works with: the default parameter text reads back
// with nothing but the too-few-points message, a valid three-point text in
// internal units reads without errors, translates, is shown in every unit
// of its columns, and writes and reads back bit for bit.
#include "FuzzCheck.h"
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "pvt/InternalData.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// Option and variable names a setup is asked for: the module's, the
// examples', and the embedded drive's.
const char* const kOptions[] = {"IsClosedPosition", "Mode", ""};
const char* const kVariables[] = {"TPOS", "TSPD", "ATIME", "PVTBUFBEGIN", "PVTBUFLEN", "MASTERID", "APOS", "CSPD", "tpos"};

void AppendBits(std::string& out, double value)
{
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Everything a setup tells through its interface.
std::string Fingerprint(const CDK_Setup& setup)
{
    std::string out = setup.GetName().Std();
    out += '|';
    out += std::to_string(setup.IsMotionController());
    const CDK_Units& units = setup.GetUnits();
    AppendBits(out, units.GetCountsPerRevolution());
    AppendBits(out, units.GetSamplingPeriod());
    for (const char* name : kOptions)
        out += "|" + std::to_string(setup.GetIntOption(name));
    for (const char* name : kVariables) {
        for (const int exact : {1, 0}) {
            const CDK_Variable* variable = setup.FindVariable(name, exact);
            out += '|';
            if (variable) {
                out += variable->m_strName.Std() + ":" + std::to_string(variable->m_Type) + ":" +
                       std::to_string(variable->m_Quantity) + ":" + variable->m_strDefaultUnit.Std();
            }
        }
    }
    return out;
}

const char kValidText[] = "ATIME = 0, 100, 200\nTPOS = 0, 5000, 10000\nTSPD = 0, 75, 0\nExecute = 0\nWaitForCompletion = 1\n";
const char kTooFewPoints[] = "Invalid number of points. You should have at least 2 points.";

void ShowInEveryUnit(CDK_ArrayParameter& column)
{
    const int saved = column.GetSelectedUnitIndex();
    for (int unit = 0; unit < column.GetUnitsCount(); ++unit) {
        FUZZ_CHECK(column.SelectUnit(unit), "unit %d of %s", unit, column.GetName().GetString());
        for (int i = 0; i < column.GetValuesCount(); ++i) {
            const CString shown = column.PrintValue(i);
            FUZZ_CHECK(!shown.IsEmpty() && shown.GetLength() < CDK_ArrayParameter::kMaxPrintLength, "printed %s",
                       shown.GetString());
            (void)column.PrintValueForDRL(i);
        }
        (void)column.GetMin();
        (void)column.GetMax();
    }
    column.SelectUnit(saved);
}

void UseSetup(CDK_Setup& setup)
{
    CDK_Motion motion;
    {
        CInternalData data(setup, motion);
        CString text = data.BuildDefaultParameters();
        CInternalData fresh(setup, motion);
        CString errors;
        FUZZ_CHECK(!fresh.ReadParameters(text, errors) && errors == kTooFewPoints,
                   "the default text reads back with: %s\n(text: %s)", errors.GetString(), text.GetString());
    }
    CInternalData data(setup, motion);
    CString text = kValidText;
    CString errors;
    FUZZ_CHECK(data.ReadParameters(text, errors), "a valid text reads with: %s", errors.GetString());
    const CString code = data.GenerateCode();
    FUZZ_CHECK(code.Find("  PVTP ") >= 0, "no segment line in:\n%s", code.GetString());
    for (CDK_ArrayParameter* column : {&data.m_Time, &data.m_Position, &data.m_Velocity})
        ShowInEveryUnit(*column);

    CString written;
    data.WriteParameters(written);
    CInternalData again(setup, motion);
    FUZZ_CHECK(again.ReadParameters(written, errors), "written back, the text reads with: %s", errors.GetString());
    const CDK_ArrayParameter* before[] = {&data.m_Time, &data.m_Position, &data.m_Velocity};
    const CDK_ArrayParameter* after[] = {&again.m_Time, &again.m_Position, &again.m_Velocity};
    for (int c = 0; c < 3; ++c) {
        const auto& x = before[c]->GetValuesInInternalUnit();
        const auto& y = after[c]->GetValuesInInternalUnit();
        FUZZ_CHECK(x.size() == y.size() && std::memcmp(x.data(), y.data(), x.size() * sizeof(double)) == 0,
                   "column %d changed on the way back", c);
        FUZZ_CHECK(before[c]->GetSelectedUnitIndex() == after[c]->GetSelectedUnitIndex(), "column %d unit", c);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const CString document(std::string_view(reinterpret_cast<const char*>(data), size));
    CDK_Setup setup;
    const std::string before = Fingerprint(setup);
    const CString error = setup.LoadFromText(document, "fuzz.json");
    if (!error.IsEmpty()) {
        FUZZ_CHECK(Fingerprint(setup) == before, "a refused document changed the setup: %s", error.GetString());
        FUZZ_CHECK(error.Find("fuzz.json: ") == 0, "message without its source: %s", error.GetString());
        for (int i = 0; i < error.GetLength(); ++i) {
            const auto ch = static_cast<unsigned char>(error[i]);
            FUZZ_CHECK(ch >= 0x20 && ch != 0x7f, "byte 0x%02x at %d of the message: %s", ch, i, error.GetString());
        }
        return 0;
    }
    UseSetup(setup);
    return 0;
}
