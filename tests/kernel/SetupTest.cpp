#include "kernel/Setup.h"
#include "tests/TestUtil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string kSource = VELKOR_SOURCE_DIR;

using testutil::ReadFile;

// A valid document with `extra` members added.
std::string Drive(const std::string& extra)
{
    return R"({"countsPerRevolution": 2000, "samplingPeriod": 0.001)" + (extra.empty() ? "" : ", " + extra) + "}";
}

struct VariableRow {
    const char* name;
    tagVarType type;
    tagQuantity quantity;
    const char* unit;
};

const VariableRow kDefaultVariables[] = {
    {"TPOS", DK_INT32, DK_QTY_POSITION, "rot"},     {"TSPD", DK_FIXED, DK_QTY_VELOCITY, "rpm"},
    {"ATIME", DK_INT32, DK_QTY_TIME, "s"},           {"PVTBUFBEGIN", DK_UINT16, DK_QTY_NONE, "IU"},
    {"PVTBUFLEN", DK_UINT16, DK_QTY_NONE, "IU"},     {"MASTERID", DK_UINT16, DK_QTY_NONE, "IU"},
};

void ExpectVariables(const CDK_Setup& setup, const VariableRow* rows, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(rows[i].name);
        const CDK_Variable* variable = setup.FindVariable(rows[i].name, 1);
        ASSERT_NE(variable, nullptr);
        EXPECT_EQ(variable->m_strName, rows[i].name);
        EXPECT_EQ(variable->m_Type, rows[i].type);
        EXPECT_EQ(variable->m_Quantity, rows[i].quantity);
        EXPECT_EQ(variable->m_strDefaultUnit, rows[i].unit);
    }
}

void ExpectEmbeddedDefault(const CDK_Setup& setup)
{
    EXPECT_EQ(setup.GetName(), "Default drive (embedded)");
    EXPECT_EQ(setup.IsMotionController(), 0);
    EXPECT_EQ(setup.GetIntOption("IsClosedPosition"), 1);
    EXPECT_EQ(setup.GetUnits().GetCountsPerRevolution(), 2000.0);
    EXPECT_EQ(setup.GetUnits().GetSamplingPeriod(), 0.001);
    ExpectVariables(setup, kDefaultVariables, std::size(kDefaultVariables));
}

TEST(Setup, EmbeddedDefault)
{
    const CDK_Setup setup;
    ExpectEmbeddedDefault(setup);
    EXPECT_EQ(setup.GetIntOption("isclosedposition"), 0);
    EXPECT_EQ(setup.GetIntOption("NoSuchOption"), 0);
    EXPECT_EQ(setup.GetIntOption(nullptr), 0);
    EXPECT_EQ(setup.FindVariable("tpos", 1), nullptr);
    EXPECT_EQ(setup.FindVariable("tPoS", 0), setup.FindVariable("TPOS", 1));
    EXPECT_EQ(setup.FindVariable("TPO", 0), nullptr);
    EXPECT_EQ(setup.FindVariable("TPOSX", 0), nullptr);
    EXPECT_EQ(setup.FindVariable(nullptr, 0), nullptr);
}

TEST(Setup, DocumentedDefaultEqualsEmbeddedDefault)
{
    const std::string docs = ReadFile(kSource + "/docs/setup-file.md");
    const std::size_t section = docs.find("## The embedded default drive");
    ASSERT_NE(section, std::string::npos);
    const std::size_t begin = docs.find("```json\n", section);
    ASSERT_NE(begin, std::string::npos);
    const std::size_t end = docs.find("```", begin + 8);
    ASSERT_NE(end, std::string::npos);
    CDK_Setup setup;
    const CString error = setup.LoadFromText(CString(docs.substr(begin + 8, end - begin - 8).c_str()), "docs");
    EXPECT_EQ(error, "");
    ExpectEmbeddedDefault(setup);
}

TEST(Setup, ExampleFileLoads)
{
    CDK_Setup setup;
    EXPECT_EQ(setup.LoadFromFile((kSource + "/examples/drive-setup.json").c_str()), "");
    EXPECT_EQ(setup.GetName(), "Rotary table axis, 4096-line encoder");
    EXPECT_EQ(setup.GetUnits().GetCountsPerRevolution(), 4096.0);
    EXPECT_EQ(setup.GetUnits().GetSamplingPeriod(), 0.0005);
    EXPECT_EQ(setup.GetIntOption("IsClosedPosition"), 1);
    const VariableRow rows[] = {
        {"TPOS", DK_INT32, DK_QTY_POSITION, "deg"}, {"TSPD", DK_FIXED, DK_QTY_VELOCITY, "rpm"},
        {"ATIME", DK_INT32, DK_QTY_TIME, "ms"},      {"PVTBUFLEN", DK_UINT16, DK_QTY_NONE, "IU"},
    };
    ExpectVariables(setup, rows, std::size(rows));
}

TEST(Setup, DefaultsOfOptionalFields)
{
    CDK_Setup setup;
    const std::string doc = Drive(R"("motionController": true, "options": {"A": 1e3, "B": -2147483648},
        "maxVelocity": 33.5, "variables": [{"name": "_x1", "type": "uint32"}])");
    ASSERT_EQ(setup.LoadFromText(CString(doc.c_str()), "configs/axis.json"), "");
    EXPECT_EQ(setup.GetName(), "axis.json");
    EXPECT_EQ(setup.IsMotionController(), 1);
    EXPECT_EQ(setup.GetIntOption("A"), 1000);
    EXPECT_EQ(setup.GetIntOption("B"), -2147483648);
    EXPECT_EQ(setup.GetIntOption("IsClosedPosition"), 0);
    const VariableRow rows[] = {{"_x1", DK_UINT32, DK_QTY_NONE, "IU"}};
    ExpectVariables(setup, rows, 1);
    EXPECT_EQ(setup.FindVariable("TPOS", 0), nullptr);
    EXPECT_EQ(setup.GetMaxVelocity(), std::optional<double>(33.5));
    EXPECT_EQ(setup.GetMaxAcceleration(), std::nullopt);
}

struct BadCase {
    std::string document;
    const char* message;
};

const BadCase kMalformedDocuments[] = {
    {"", "setup.json: line 1, column 1: invalid JSON: unexpected end of input; expected '[', '{', or a literal"},
    {"{\n  \"name\": \"x\",\n}", "setup.json: line 3, column 1: invalid JSON: unexpected '}'; expected string literal"},
    {"{\"countsPerRevolution\": tru3}", "setup.json: line 1, column 28: invalid JSON: invalid literal"},
    {"{\"name\": \"a\nb\"}",
     "setup.json: line 1, column 12: invalid JSON: invalid string: control character U+000A (LF) must be escaped to "
     "\\u000A or \\n"},
    {Drive("\"x\": 1e999"), "setup.json: invalid JSON: number overflow parsing '1e999'"},
    {"[1]", "setup.json: expected a JSON object at the top level, found an array"},
    {Drive("\"samplingperiod\": 1"), "setup.json: samplingperiod: unknown field (use name, motionController, "
                                     "countsPerRevolution, samplingPeriod, maxVelocity, maxAcceleration, "
                                     "options or variables)"},
    {Drive("\"samplingPeriod\": 0.002"), "setup.json: samplingPeriod: given twice"},
    {Drive(R"("x": [1, [], {"a": 1, "a": 2}])"), "setup.json: x[2].a: given twice"},
    {R"({"samplingPeriod": 0.001})", "setup.json: countsPerRevolution: missing (a required field)"},
    {R"({"countsPerRevolution": 2000})", "setup.json: samplingPeriod: missing (a required field)"},
    {Drive(R"("maxVelocity": 0)"), "setup.json: maxVelocity: must be a positive number, found 0"},
    {Drive(R"("maxAcceleration": "fast")"), "setup.json: maxAcceleration: expected a number, found a string"},
    {R"({"countsPerRevolution": "2000", "samplingPeriod": 0.001})",
     "setup.json: countsPerRevolution: expected a number, found a string"},
    {R"({"countsPerRevolution": -4096, "samplingPeriod": 0.001})",
     "setup.json: countsPerRevolution: must be a positive number, found -4096"},
    {R"({"countsPerRevolution": 2000, "samplingPeriod": 0})", "setup.json: samplingPeriod: must be a positive number, found 0"},
    {R"({"countsPerRevolution": 2000, "samplingPeriod": 1e-320})",
     "setup.json: samplingPeriod: 1e-320 puts the s factor out of range"},
    {Drive(R"("name": 5)"), "setup.json: name: expected a string, found a number"},
    {Drive(R"("motionController": 1)"), "setup.json: motionController: expected true or false, found a number"},
    {Drive(R"("options": [])"), "setup.json: options: expected an object, found an array"},
    {Drive(R"("options": {"Mode": 1.5})"), "setup.json: options.Mode: expected an integer, found 1.5"},
    {Drive(R"("options": {"Mode": true})"), "setup.json: options.Mode: expected an integer, found true"},
    {Drive(R"("options": {"Mode": 2147483648})"),
     "setup.json: options.Mode: 2147483648 is outside the 32-bit range -2147483648 ... 2147483647"},
    {Drive(R"("options": {"Mode": -1e10})"),
     "setup.json: options.Mode: -10000000000.0 is outside the 32-bit range -2147483648 ... 2147483647"},
    {Drive(R"("variables": {})"), "setup.json: variables: expected an array, found an object"},
    {Drive(R"("variables": [null])"), "setup.json: variables[0]: expected an object, found null"},
    {Drive(R"("variables": [{"type": "int32"}])"), "setup.json: variables[0].name: missing (a required field)"},
    {Drive(R"("variables": [{"name": "A"}])"), "setup.json: variables[0].type: missing (a required field)"},
    {Drive(R"("variables": [{"name": "A", "type": "int32", "size": 2}])"),
     "setup.json: variables[0].size: unknown field (use name, type, quantity or unit)"},
    {Drive(R"("variables": [{"name": "2POS", "type": "int32"}])"),
     "setup.json: variables[0].name: \"2POS\" is not a valid name (use letters, digits and _, not starting with a digit)"},
    {Drive(R"("variables": [{"name": "T\nPOS", "type": "int32"}])"),
     "setup.json: variables[0].name: \"T\\x0aPOS\" is not a valid name (use letters, digits and _, not starting with a digit)"},
    {Drive(R"("variables": [{"name": "A", "type": "int32"}, {"name": "A", "type": "int16"}])"),
     "setup.json: variables[1].name: \"A\" is declared twice (also variables[0])"},
    {Drive(R"("variables": [{"name": "TPOS", "type": "int32"}, {"name": "B", "type": "int32"},
              {"name": "tpos", "type": "int16"}])"),
     "setup.json: variables[2].name: \"tpos\" is declared twice (also variables[0] as \"TPOS\")"},
    {Drive(R"("variables": [{"name": "A", "type": "float"}])"),
     "setup.json: variables[0].type: unknown type \"float\" (use int16, uint16, int32, uint32 or fixed)"},
    {Drive(R"("variables": [{"name": "A", "type": "int32", "quantity": "speed"}])"),
     "setup.json: variables[0].quantity: unknown quantity \"speed\" (use none, position, velocity or time)"},
    {Drive(R"("variables": [{"name": "A", "type": "int32", "quantity": "position", "unit": "furlong"}])"),
     "setup.json: variables[0].unit: unknown unit \"furlong\" for a position (use IU, rot, deg or rad)"},
    {Drive(R"("variables": [{"name": "A", "type": "fixed", "quantity": "velocity", "unit": "RPM"}])"),
     "setup.json: variables[0].unit: unknown unit \"RPM\" for a velocity (use IU, rpm, rot/s or rad/s)"},
    {Drive(R"("variables": [{"name": "A", "type": "int32", "unit": "ms"}])"),
     "setup.json: variables[0].unit: unknown unit \"ms\" for a plain number (use IU)"},
    {Drive(R"("variables": [{"name": "A", "type": "int32", "quantity": 3}])"),
     "setup.json: variables[0].quantity: expected a string, found a number"},
    // The field at fault is named: counts alone give the position
    // factors, the period alone the time factors.
    {R"({"countsPerRevolution": 1e-308, "samplingPeriod": 0.001})",
     "setup.json: countsPerRevolution: 1e-308 puts the rot factor out of range"},
    {R"({"countsPerRevolution": 1e-300, "samplingPeriod": 0.001})",
     "setup.json: countsPerRevolution: 1e-300 puts the rot factor out of range"},
    {R"({"countsPerRevolution": 2000, "samplingPeriod": 1e306})",
     "setup.json: samplingPeriod: 1e+306 puts the s factor out of range"},
    // Position and time factors in range, velocity factors not: the
    // number further from 1 is blamed.
    {R"({"countsPerRevolution": 1e90, "samplingPeriod": 1e30})",
     "setup.json: countsPerRevolution: 1e+90 with samplingPeriod 1e+30 puts the rpm factor out of range"},
    // JSON strings may hold NUL bytes; the kernel's names may not.
    {Drive(R"("variables": [{"name": "A", "type": "int32", "quantity": "position", "unit": "rot\u0000junk"}])"),
     "setup.json: variables[0].unit: \"rot\\x00junk\" holds a NUL byte"},
    {Drive(R"("variables": [{"name": "A", "type": "int32\u0000"}])"),
     "setup.json: variables[0].type: \"int32\\x00\" holds a NUL byte"},
    {Drive(R"("variables": [{"name": "A", "type": "int32", "quantity": "time\u0000x"}])"),
     "setup.json: variables[0].quantity: \"time\\x00x\" holds a NUL byte"},
    {Drive(R"("variables": [{"name": "TPOS\u0000x", "type": "int32"}])"),
     "setup.json: variables[0].name: \"TPOS\\x00x\" holds a NUL byte"},
    {Drive(R"("name": "Axis\u0000 2")"), "setup.json: name: \"Axis\\x00 2\" holds a NUL byte"},
    {Drive(R"("options": {"Mode\u0000x": 1})"), "setup.json: options.Mode\\x00x: the option's name holds a NUL byte"},
    // Quoted values and field names are shortened as the parameter text's.
    {Drive(R"("variables": [{"name": "A", "type": "int32_and_then_a_very_long_tail"}])"),
     "setup.json: variables[0].type: unknown type \"int32_and_then_a_very_lo...\" (use int16, uint16, int32, uint32 "
     "or fixed)"},
    {Drive(R"("variables": [{"name": "A", "type": "in\"t\\"}])"),
     "setup.json: variables[0].type: unknown type \"in\\x22t\\x5c\" (use int16, uint16, int32, uint32 or fixed)"},
    {Drive(R"("a_field_name_that_goes_on_and_on": 1)"),
     "setup.json: a_field_name_that_goes_o...: unknown field (use name, motionController, countsPerRevolution, "
     "samplingPeriod, maxVelocity, maxAcceleration, options or variables)"},
    {Drive(R"("options": {"an_option_name_that_goes_on": 1.5})"),
     "setup.json: options.an_option_name_that_goes...: expected an integer, found 1.5"},
    {Drive(R"("options": {"an_option_name_that_goes_on": 1, "an_option_name_that_goes_on": 2})"),
     "setup.json: options.an_option_name_that_goes...: given twice"},
};

TEST(Setup, MalformedDocumentsAreRefusedWithOneMessage)
{
    for (const BadCase& c : kMalformedDocuments) {
        SCOPED_TRACE(c.document);
        CDK_Setup setup;
        EXPECT_EQ(setup.LoadFromText(CString(c.document.c_str()), "setup.json"), c.message);
        ExpectEmbeddedDefault(setup);  // unchanged
    }
}

TEST(Setup, FailedLoadLeavesTheLoadedSetup)
{
    CDK_Setup setup;
    ASSERT_EQ(setup.LoadFromText(CString(Drive(R"("name": "First", "options": {"K": 7})").c_str()), "a.json"), "");
    const CString error = setup.LoadFromText(
        CString(Drive(R"("name": "Second", "options": {"K": 8}, "variables": [{"name": "A", "type": "x"}])").c_str()),
        "b.json");
    EXPECT_EQ(error, "b.json: variables[0].type: unknown type \"x\" (use int16, uint16, int32, uint32 or fixed)");
    EXPECT_EQ(setup.GetName(), "First");
    EXPECT_EQ(setup.GetIntOption("K"), 7);
    EXPECT_EQ(setup.FindVariable("A", 1), nullptr);
}

TEST(Setup, UnreadableFiles)
{
    // A named pipe without a writer would block a plain open for ever.
    const testutil::CTempDir dir("setup-test");
    const std::string fifo = dir.Path() + "/fifo.json";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        std::string message;
    } cases[] = {
        {kSource + "/no-such-dir/drive.json", kSource + "/no-such-dir/drive.json: cannot read the file: No such file or directory"},
        {kSource + "/examples", kSource + "/examples: cannot read the file: Is a directory"},
        {"", ": cannot read the file: No such file or directory"},
        {"/dev/zero", "/dev/zero: cannot read the file: not a regular file"},
        {fifo, fifo + ": cannot read the file: not a regular file"},
    };
    for (const auto& c : cases) {
        CDK_Setup setup;
        EXPECT_EQ(setup.LoadFromFile(c.path.c_str()), c.message.c_str());
        ExpectEmbeddedDefault(setup);
    }
}

}  // namespace
