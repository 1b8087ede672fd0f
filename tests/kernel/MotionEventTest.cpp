// CMotionEvent: reading with full error collection, writing, and the
// description and motion-language lines of every trigger type.
#include "kernel/Motion.h"
#include "kernel/MotionEvent.h"
#include "kernel/Setup.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <string>

namespace {

using Trigger = CMotionEvent::tagTrigger;

struct Fields {
    Trigger trigger;
    int input, level, position, mode, delay;
};

// What a newly constructed event holds.
constexpr Fields kNew{CMotionEvent::EVT_MOTION_COMPLETE, 0, 1, 0, 0, 0};

Fields FieldsOf(const CMotionEvent& e)
{
    return {e.GetTrigger(), e.m_nInput, e.m_nLevel, e.m_nPosition, e.m_nPositionMode, e.m_nDelay};
}

void ExpectFields(const Fields& want, const CMotionEvent& e)
{
    const Fields got = FieldsOf(e);
    EXPECT_EQ(want.trigger, got.trigger);
    EXPECT_EQ(want.input, got.input);
    EXPECT_EQ(want.level, got.level);
    EXPECT_EQ(want.position, got.position);
    EXPECT_EQ(want.mode, got.mode);
    EXPECT_EQ(want.delay, got.delay);
}

struct ReadCase {
    const char* name;
    const char* text;
    WORD options;
    BOOL ok;
    const char* error;
    Fields fields;  // after the read, starting from kNew
};

constexpr WORD kDrive = CMotionEvent::OPT_DRIVE_INPUTS;
constexpr auto MC = CMotionEvent::EVT_MOTION_COMPLETE;
constexpr auto IN = CMotionEvent::EVT_INPUT;
constexpr auto POS = CMotionEvent::EVT_POSITION;
constexpr auto TIME = CMotionEvent::EVT_TIME;
const char kRefused[] = "Parameter \"EventType\": an input event (1) is not available on this product; choose 0 "
                        "(motion complete), 2 (position) or 3 (time).\n";

const ReadCase kReadCases[] = {
    {"motion complete", "EventType = 0\n", kDrive, 1, "", {MC, 0, 1, 0, 0, 0}},
    {"input", "EventType = 1\nEventInput = 3\nEventLevel = 0\n", kDrive, 1, "", {IN, 3, 0, 0, 0, 0}},
    {"input, CRLF, blanks, comment", "# event\r\n  EventType=1 \r\n\r\nEventLevel =\t1\r\nEventInput = 15\r\n", kDrive,
     1, "", {IN, 15, 1, 0, 0, 0}},
    {"position below, lowest", "EventType = 2\nEventPosition = -2147483648\nEventPositionMode = 1\n", kDrive, 1, "",
     {POS, 0, 1, INT_MIN, 1, 0}},
    {"position above, highest", "EventType = 2\nEventPosition = +2147483647\nEventPositionMode = 0\n", kDrive, 1, "",
     {POS, 0, 1, INT_MAX, 0, 0}},
    {"time, longest", "EventType = 3\nEventDelay = 2147483647\n", kDrive, 1, "", {TIME, 0, 1, 0, 0, INT_MAX}},
    {"other types' keys are ignored", "EventType = 0\nEventInput = 99\nEventDelay = x\n", kDrive, 1, "", kNew},
    {"position events need no drive inputs", "EventType = 2\nEventPosition = 7\nEventPositionMode = 0\n", 0, 1, "",
     {POS, 0, 1, 7, 0, 0}},
    {"missing type", "EventDelay = 5\n", kDrive, 0, "Parameter \"EventType\" is missing.\n", kNew},
    {"type out of range", "EventType = 4\nEventDelay = 5\n", kDrive, 0,
     "Parameter \"EventType\" must be between 0 and 3, not 4.\n", kNew},
    {"type negative", "EventType = -1\n", kDrive, 0, "Parameter \"EventType\" must be between 0 and 3, not -1.\n", kNew},
    {"type not whole", "EventType = 1.5\n", kDrive, 0, "Parameter \"EventType\" must be a whole number, not \"1.5\".\n",
     kNew},
    {"type twice", "EventType = 3\nEventDelay = 1\nEventType = 3\n", kDrive, 0,
     "Parameter \"EventType\" is given more than once (again on line 3).\n", kNew},
    {"type without =", "EventType 3\nEventDelay = 1\n", kDrive, 0,
     "Parameter \"EventType\": line 1 has no \"=\" after the name.\n", kNew},
    {"missing delay", "EventType = 3\n", kDrive, 0, "Parameter \"EventDelay\" is missing.\n", {TIME, 0, 1, 0, 0, 0}},
    {"negative delay", "EventType = 3\nEventDelay = -1\n", kDrive, 0,
     "Parameter \"EventDelay\" must be between 0 and 2147483647, not -1.\n", {TIME, 0, 1, 0, 0, 0}},
    {"position beyond 32 bits", "EventType = 2\nEventPosition = 2147483648\nEventPositionMode = 1\n", kDrive, 0,
     "Parameter \"EventPosition\" must be between -2147483648 and 2147483647, not \"2147483648\".\n", {POS, 0, 1, 0, 1, 0}},
    {"good field kept beside a bad one", "EventType = 2\nEventPosition = 1000\nEventPositionMode = 2\n", kDrive, 0,
     "Parameter \"EventPositionMode\" must be between 0 and 1, not 2.\n", {POS, 0, 1, 1000, 0, 0}},
    {"every error, in key order", "EventType = 1\nEventLevel = high\nEventInput = 16\n", kDrive, 0,
     "Parameter \"EventInput\" must be between 0 and 15, not 16.\n"
     "Parameter \"EventLevel\" must be a whole number, not \"high\".\n",
     {IN, 0, 1, 0, 0, 0}},
    {"both input keys missing", "EventType = 1\nEventInputs = 2\n", kDrive, 0,
     "Parameter \"EventInput\" is missing.\nParameter \"EventLevel\" is missing.\n", {IN, 0, 1, 0, 0, 0}},
    {"input refused without drive inputs", "EventType = 1\nEventInput = 3\nEventLevel = 0\n", 0, 0, kRefused, kNew},
};

// A case name as a test name: letters and digits, the rest as "_".
std::string TestName(const char* name)
{
    std::string out(name);
    for (char& c : out)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return out;
}

class MotionEventRead : public testing::TestWithParam<ReadCase> {};

TEST_P(MotionEventRead, ReplacesErrorAndSetsFields)
{
    const ReadCase& c = GetParam();
    CDK_Setup setup;
    CDK_Motion motion;
    CMotionEvent event(setup, motion);
    event.m_wOptions = c.options;
    CString error = "left over from an earlier step\n";
    EXPECT_EQ(c.ok, event.ReadParameters(c.text, error));
    EXPECT_STREQ(c.error, error.GetString());
    ExpectFields(c.fields, event);
}

INSTANTIATE_TEST_SUITE_P(Table, MotionEventRead, testing::ValuesIn(kReadCases),
                         [](const testing::TestParamInfo<ReadCase>& info) { return TestName(info.param.name); });

TEST(MotionEventRead, ErrorMayBeTheParameterText)
{
    CDK_Setup setup;
    CDK_Motion motion;
    CMotionEvent event(setup, motion);
    CString text = "EventType = 3\nEventDelay = 7\n";
    EXPECT_EQ(TRUE, event.ReadParameters(text, text));
    EXPECT_STREQ("", text.GetString());
    ExpectFields({TIME, 0, 1, 0, 0, 7}, event);
}

TEST(MotionEvent, NewEventIsMotionComplete)
{
    CDK_Setup setup;
    CDK_Motion motion;
    CMotionEvent event(setup, motion);
    EXPECT_EQ(CMotionEvent::OPT_DRIVE_INPUTS, event.m_wOptions);
    ExpectFields(kNew, event);
}

struct TypeCase {
    Fields fields;
    const char* text;  // as written
    const char* code;
    const char* shortForm;
    const char* longForm;
    BOOL editable;
};

const TypeCase kTypeCases[] = {
    {kNew, "EventType = 0\n", "  !MC; //Event: motion complete\r\n", "When the motion in progress is complete",
     "When the motion in progress is complete (motion language: !MC)", 0},
    {{IN, 3, 1, 0, 0, 0}, "EventType = 1\nEventInput = 3\nEventLevel = 1\n", "  !IN#3 1; //Event: input IN3 high\r\n",
     "When input IN3 is high", "When input IN3 is high (motion language: !IN#3 1)", 1},
    {{IN, 15, 0, 0, 0, 0}, "EventType = 1\nEventInput = 15\nEventLevel = 0\n",
     "  !IN#15 0; //Event: input IN15 low\r\n", "When input IN15 is low",
     "When input IN15 is low (motion language: !IN#15 0)", 1},
    {{POS, 0, 1, 1000, 0, 0}, "EventType = 2\nEventPosition = 1000\nEventPositionMode = 0\n",
     "  !PGT 1000L; //Event: position above 1000\r\n", "When the position rises above 1000 IU",
     "When the position rises above 1000 IU (motion language: !PGT 1000L)", 1},
    {{POS, 0, 1, INT_MIN, 1, 0}, "EventType = 2\nEventPosition = -2147483648\nEventPositionMode = 1\n",
     "  !PLT -2147483648L; //Event: position below -2147483648\r\n", "When the position falls below -2147483648 IU",
     "When the position falls below -2147483648 IU (motion language: !PLT -2147483648L)", 1},
    {{TIME, 0, 1, 0, 0, 100}, "EventType = 3\nEventDelay = 100\n", "  !RT 100U; //Event: after 100 sampling periods\r\n",
     "After 100 sampling periods", "After 100 sampling periods (motion language: !RT 100U)", 1},
    {{TIME, 0, 1, 0, 0, 1}, "EventType = 3\nEventDelay = 1\n", "  !RT 1U; //Event: after 1 sampling period\r\n",
     "After 1 sampling period", "After 1 sampling period (motion language: !RT 1U)", 1},
};

class MotionEventType : public testing::TestWithParam<TypeCase> {};

TEST_P(MotionEventType, WritesReadsBackDescribesAndGenerates)
{
    const TypeCase& c = GetParam();
    CDK_Setup setup;
    CDK_Motion motion;
    CMotionEvent event(setup, motion);
    event.SetTrigger(c.fields.trigger);
    event.m_nInput = c.fields.input;
    event.m_nLevel = c.fields.level;
    event.m_nPosition = c.fields.position;
    event.m_nPositionMode = c.fields.mode;
    event.m_nDelay = c.fields.delay;

    CString text = "Execute = 1\n";  // the event appends to the record's text
    event.WriteParameters(text);
    EXPECT_EQ(CString("Execute = 1\n") + c.text, text);

    CMotionEvent back(setup, motion);
    CString error;
    EXPECT_EQ(TRUE, back.ReadParameters(text, error));
    EXPECT_STREQ("", error.GetString());
    ExpectFields(c.fields, back);

    EXPECT_STREQ(c.code, event.GenerateMLCode().GetString());
    EXPECT_STREQ(c.shortForm, event.GetDescription(0).GetString());
    EXPECT_STREQ(c.longForm, event.GetDescription(1).GetString());
    EXPECT_EQ(c.editable, event.IsEditable());
}

INSTANTIATE_TEST_SUITE_P(Table, MotionEventType, testing::ValuesIn(kTypeCases),
                         [](const testing::TestParamInfo<TypeCase>& info) { return "case" + std::to_string(info.index); });

}  // namespace
