// The point commands as a user gives them: values typed into the fields,
// the command buttons clicked, units chosen in the combo boxes; then the
// table, the selection, the focus and what the fields and the graph show.
#include "EditorTestUtil.h"

#include "kernel/Curve.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace {

using namespace edtest;


// Three points in internal units, shown in internal units.
const std::string kThreePoints = MotionText("0, 100, 200", "0, 10, 20", "0, 1, 0");
const std::vector<SPoint> kThree = {{0, 0, 0}, {100, 10, 1}, {200, 20, 0}};

class EditorCommandsTest : public EditorTest {
protected:
    // Steps to point `steps` with ">>", types the three fields and clicks
    // `button`; then checks where the focus is.
    void Command(CEditorDlg& d, int steps, const char* p, const char* v, const char* t, int button)
    {
        for (int i = 0; i < steps; ++i)
            Click(Item(d, E::IDC_NEXT));
        ASSERT_EQ(steps, d.GetCurrentPoint());
        TypePoint(d, p, v, t);
        Click(Item(d, button));
        // Every command ends with the focus on the position field, its text
        // selected, and the fields showing the stored point.
        EXPECT_EQ(E::IDC_POSITION, FocusId());
        const int length = static_cast<int>(TextOf(d, E::IDC_POSITION).size());
        EXPECT_EQ(std::make_pair(0, length), Selection(Item(d, E::IDC_POSITION)));
        const int c = d.GetCurrentPoint();
        EXPECT_EQ(d.GetData().m_Position.PrintValue(c).Std(), TextOf(d, E::IDC_POSITION));
        EXPECT_EQ(d.GetData().m_Velocity.PrintValue(c).Std(), TextOf(d, E::IDC_VELOCITY));
        EXPECT_EQ(d.GetData().m_Time.PrintValue(c).Std(), TextOf(d, E::IDC_TIME));
        EXPECT_EQ(c, d.GetGraph().GetSelectedPoint());
    }
};

struct SCommandCase {
    const char* name;
    int steps;
    const char *p, *v, *t;
    std::vector<SPoint> table;
    int selected;
    bool message;  // "Incorrect time value!"
};

TEST_F(EditorCommandsTest, InsertKeepsTheTableSortedAndNeverTouchesTheStartPoint)
{
    const SCommandCase cases[] = {
        {"after every point: appended and selected", 0, "30", "2", "300",
         {{0, 0, 0}, {100, 10, 1}, {200, 20, 0}, {300, 30, 2}}, 3, false},
        {"between two points", 0, "15", "1", "150", {{0, 0, 0}, {100, 10, 1}, {150, 15, 1}, {200, 20, 0}}, 2, false},
        {"at an existing time: position and velocity replaced", 2, "99", "7", "100",
         {{0, 0, 0}, {100, 99, 7}, {200, 20, 0}}, 1, false},
        {"at time 0: the start point is selected", 2, "5", "5", "0", kThree, 0, false},
        {"at a negative time, which clamps to 0", 2, "5", "5", "-3", kThree, 0, false},
        {"position not a number", 2, "abc", "5", "300", kThree, 2, false},
        {"velocity empty", 1, "5", "", "300", kThree, 1, false},
        {"time not a number", 1, "5", "5", "t=300", kThree, 1, false},
    };
    for (const SCommandCase& c : cases) {
        Run(kThreePoints, [&](CEditorDlg& d) {
            Command(d, c.steps, c.p, c.v, c.t, E::IDC_INSERT);
            EXPECT_EQ(c.selected, d.GetCurrentPoint()) << c.name;
        });
        EXPECT_EQ(c.table, m_LastTable) << c.name;
        EXPECT_TRUE(m_Prompt.m_Messages.empty()) << c.name;
    }
}

TEST_F(EditorCommandsTest, UpdateChangesTheSelectedPointBetweenItsNeighbours)
{
    const SCommandCase cases[] = {
        {"the start point: nothing, no message", 0, "5", "5", "50", kThree, 0, false},
        {"a middle point", 1, "11", "3", "150", {{0, 0, 0}, {150, 11, 3}, {200, 20, 0}}, 1, false},
        {"the last point, to any later time", 2, "25", "0", "5000", {{0, 0, 0}, {100, 10, 1}, {5000, 25, 0}}, 2,
         false},
        {"at the previous point's time", 2, "5", "5", "100", kThree, 2, true},
        {"before the previous point", 2, "5", "5", "50", kThree, 2, true},
        {"at the next point's time", 1, "5", "5", "200", kThree, 1, true},
        {"after the next point", 1, "5", "5", "250", kThree, 1, true},
        {"a field that is no number: nothing, no message", 1, "x", "3", "150", kThree, 1, false},
    };
    for (const SCommandCase& c : cases) {
        m_Prompt.m_Messages.clear();
        Run(kThreePoints, [&](CEditorDlg& d) {
            Command(d, c.steps, c.p, c.v, c.t, E::IDC_UPDATE);
            EXPECT_EQ(c.selected, d.GetCurrentPoint()) << c.name;
        });
        EXPECT_EQ(c.table, m_LastTable) << c.name;
        if (c.message) {
            ASSERT_EQ(1u, m_Prompt.m_Messages.size()) << c.name;
            EXPECT_EQ("Incorrect time value!", m_Prompt.m_Messages[0].text) << c.name;
            EXPECT_EQ(MB_OK, m_Prompt.m_Messages[0].type) << c.name;
        } else {
            EXPECT_TRUE(m_Prompt.m_Messages.empty()) << c.name;
        }
    }
}

TEST_F(EditorCommandsTest, RemoveTakesTheSelectedPointAndSelectsTheOneAfterIt)
{
    struct SCase {
        const char* name;
        int steps;
        std::vector<SPoint> table;
        int selected;
    };
    const SCase cases[] = {
        {"the start point stays", 0, kThree, 0},
        {"a middle point: the next one is selected", 1, {{0, 0, 0}, {200, 20, 0}}, 1},
        {"the last point: the new last one is selected", 2, {{0, 0, 0}, {100, 10, 1}}, 1},
    };
    for (const SCase& c : cases) {
        Run(kThreePoints, [&](CEditorDlg& d) {
            for (int i = 0; i < c.steps; ++i)
                Click(Item(d, E::IDC_NEXT));
            EXPECT_EQ(c.steps > 0, Enabled(d, E::IDC_REMOVE)) << c.name;
            Click(Item(d, E::IDC_REMOVE));
            EXPECT_EQ(c.selected, d.GetCurrentPoint()) << c.name;
            EXPECT_EQ(d.GetData().m_Time.PrintValue(c.selected).Std(), TextOf(d, E::IDC_TIME)) << c.name;
            if (c.steps > 0) {
                EXPECT_EQ(E::IDC_POSITION, FocusId()) << c.name;
            }
        });
        EXPECT_EQ(c.table, m_LastTable) << c.name;
    }
}

TEST_F(EditorCommandsTest, SteppingMovesTheFocusToTheTimeFieldAndStopsAtTheEnds)
{
    Run(kThreePoints, [&](CEditorDlg& d) {
        struct SStep {
            int button;
            int point;
        };
        for (const SStep& s : {SStep{E::IDC_NEXT, 1}, SStep{E::IDC_NEXT, 2}, SStep{E::IDC_PREVIOUS, 1},
                               SStep{E::IDC_PREVIOUS, 0}}) {
            Click(Item(d, s.button));
            EXPECT_EQ(s.point, d.GetCurrentPoint());
            EXPECT_EQ(E::IDC_TIME, FocusId());
            const std::string time = d.GetData().m_Time.PrintValue(s.point).Std();
            EXPECT_EQ(time, TextOf(d, E::IDC_TIME));
            EXPECT_EQ(std::make_pair(0, static_cast<int>(time.size())), Selection(Item(d, E::IDC_TIME)));
            EXPECT_EQ(s.point > 0, Enabled(d, E::IDC_PREVIOUS));
            EXPECT_EQ(s.point < 2, Enabled(d, E::IDC_NEXT));
            EXPECT_EQ(s.point, d.GetGraph().GetSelectedPoint());
        }
        // At the start a step back is refused, by the button and by its key.
        Click(Item(d, E::IDC_PREVIOUS));
        Alt('<');
        EXPECT_EQ(0, d.GetCurrentPoint());
        // Typed text is not applied by stepping or by leaving the field.
        TypeInto(d, E::IDC_TIME, "150");
        Key(Qt::Key_Tab);
        Click(Item(d, E::IDC_NEXT));
        EXPECT_EQ("100", TextOf(d, E::IDC_TIME));
    });
    EXPECT_EQ(kThree, m_LastTable);
}

TEST_F(EditorCommandsTest, TypedValuesAreClampedAndStoredAsTheDriveTypeHoldsThem)
{
    // The default drive: 2000 increments per revolution, 1 ms; position
    // 32-bit, velocity 16.16, time 32-bit; shown in rot, rpm and s.
    struct SCase {
        const char *p, *v, *t;
        SPoint stored;
        const char *shownP, *shownV, *shownT;
    };
    const SCase cases[] = {
        {"0.5005", "0", "0.1", {100, 1001, 0}, "0.5005", "0", "0.1"},
        {"0.00001", "0", "0.1", {100, 0, 0}, "0", "0", "0.1"},
        {"1e9", "0", "0.1", {100, 2147483647.0, 0}, "1073741.8235", "0", "0.1"},
        {"-1e9", "0", "0.1", {100, -2147483648.0, 0}, "-1073741.824", "0", "0.1"},
        {"1", "1", "0.1", {100, 2000, 2185.0 / 65536}, "1", "1.00021362305", "0.1"},
        {"1", "1e7", "0.1", {100, 2000, 32767.9999847412109375}, "1", "983039.999542", "0.1"},
        {"1", "-1e7", "0.1", {100, 2000, -32768.0}, "1", "-983040", "0.1"},
        {"1", "0", "0.0015", {2, 2000, 0}, "1", "0", "0.002"},
        {"1", "0", "5e6", {2147483646.0, 2000, 0}, "1", "0", "2147483.646"},
    };
    for (const SCase& c : cases) {
        const std::string name = std::string(c.p) + " " + c.v + " " + c.t;
        Run(MotionText("0", "0", "0", "s", "rot", "rpm"), [&](CEditorDlg& d) {
            TypePoint(d, c.p, c.v, c.t);
            Click(Item(d, E::IDC_INSERT));
            EXPECT_EQ(c.shownP, TextOf(d, E::IDC_POSITION)) << name;
            EXPECT_EQ(c.shownV, TextOf(d, E::IDC_VELOCITY)) << name;
            EXPECT_EQ(c.shownT, TextOf(d, E::IDC_TIME)) << name;
        });
        ASSERT_EQ(2u, m_LastTable.size()) << name;
        EXPECT_EQ(c.stored, m_LastTable[1]) << name;
    }
}

TEST_F(EditorCommandsTest, OnlyFiniteNumbersAtTheStartOfAFieldReachTheTable)
{
    // "%lf" reads hexadecimal floats and stops at the first character that
    // is not part of the number ("1,5" is 1); a value that is not finite is
    // no number. Position in rot, velocity in rpm, time in s.
    struct SCase {
        const char *p, *v, *t;
        bool inserted;
        SPoint point;  // when inserted
    };
    const SCase cases[] = {
        {"nan", "0", "0.1", false, {}},
        {"NAN(1)", "0", "0.1", false, {}},
        {"inf", "0", "0.1", false, {}},
        {"-inf", "0", "0.1", false, {}},
        {"Infinity", "0", "0.1", false, {}},
        {"1e999", "0", "0.1", false, {}},
        {"-1e999", "0", "0.1", false, {}},
        {"1", "nan", "0.1", false, {}},
        {"1", "1e999", "0.1", false, {}},
        {"1", "0", "nan", false, {}},
        {"1", "0", "inf", false, {}},
        {"1", "0", "-inf", false, {}},
        {"0x1p3", "0", "0.1", true, {100, 16000, 0}},
        {"0x1.8p1", "0", "0.1", true, {100, 6000, 0}},
        {"1", "0", "0x1p-3", true, {125, 2000, 0}},
        {"1,5", "0", "0.1", true, {100, 2000, 0}},
        {"1", "0", "0.4,5", true, {400, 2000, 0}},
        {"2abc", "0", "0.1", true, {100, 4000, 0}},
        {"  3", "0", "0.1", true, {100, 6000, 0}},
        {"+4e0x", "0", "0.1", true, {100, 8000, 0}},
        {"1e-999", "0", "0.1", true, {100, 0, 0}},
    };
    for (const SCase& c : cases) {
        const std::string name = std::string(c.p) + " | " + c.v + " | " + c.t;
        const INT_PTR result = Run(MotionText("0", "0", "0", "s", "rot", "rpm"), [&](CEditorDlg& d) {
            TypePoint(d, c.p, c.v, c.t);
            Click(Item(d, E::IDC_INSERT));
            // The fields show stored values again.
            EXPECT_EQ(d.GetData().m_Position.PrintValue(d.GetCurrentPoint()).Std(), TextOf(d, E::IDC_POSITION));
            Click(Item(d, IDOK));  // written when a point was taken
            if (d.GetWidget()->isVisible())
                Key(Qt::Key_Escape);
        });
        for (const SPoint& p : m_LastTable)
            EXPECT_TRUE(std::isfinite(p.t) && std::isfinite(p.p) && std::isfinite(p.v)) << name;
        if (c.inserted) {
            EXPECT_EQ(IDOK, result) << name;
            ASSERT_EQ(2u, m_LastTable.size()) << name;
            EXPECT_EQ(c.point, m_LastTable[1]) << name;
        } else {
            EXPECT_EQ(IDCANCEL, result) << name;
            EXPECT_EQ(1u, m_LastTable.size()) << name;
        }
        std::string lower = m_Params.Std();
        for (char& ch : lower)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_EQ(std::string::npos, lower.find("nan")) << name;
        EXPECT_EQ(std::string::npos, lower.find("inf")) << name;
        m_Prompt.m_Messages.clear();
    }
}

TEST_F(EditorCommandsTest, AUnitChangeKeepsEveryStoredValueBitForBit)
{
    const auto bits = [](const std::vector<SPoint>& table) {
        std::vector<std::uint64_t> b;
        for (const SPoint& p : table)
            for (double v : {p.t, p.p, p.v})
                b.push_back(std::bit_cast<std::uint64_t>(v));
        return b;
    };
    const std::string text = ReadFile(kMultiPoint);
    std::vector<std::uint64_t> before;
    const INT_PTR result = Run(text, [&](CEditorDlg& d) {
        before = bits(Table(d.GetData()));
        Click(Item(d, E::IDC_NEXT));
        EXPECT_EQ("1", TextOf(d, E::IDC_POSITION));
        EXPECT_EQ("900", TextOf(d, E::IDC_VELOCITY));
        EXPECT_EQ("100", TextOf(d, E::IDC_TIME));
        struct SChange {
            int combo, edit, curve;
            const char* unit;
            const char* shown;
            const char* label;
            double sample;  // the point's sample in the new unit
        };
        for (const SChange& c : {SChange{E::IDC_POSITION_UNIT, E::IDC_POSITION, 1, "deg", "360", "Position[deg]", 360},
                                 SChange{E::IDC_VELOCITY_UNIT, E::IDC_VELOCITY, 2, "rot/s", "15", "Velocity[rot/s]", 15},
                                 SChange{E::IDC_TIME_UNIT, E::IDC_TIME, 0, "s", "0.1", "Time[s]", 0.1},
                                 SChange{E::IDC_POSITION_UNIT, E::IDC_POSITION, 1, "IU", "2000", "Position[IU]", 2000},
                                 SChange{E::IDC_VELOCITY_UNIT, E::IDC_VELOCITY, 2, "rad/s", "94.2477796077",
                                         "Velocity[rad/s]", 30 * 3.14159265358979323846}}) {
            ChooseUnit(d, c.combo, c.unit);
            EXPECT_EQ(c.unit, SelectedUnit(d, c.combo));
            EXPECT_EQ(c.shown, TextOf(d, c.edit)) << c.unit;
            EXPECT_EQ(c.label, d.GetCurves().GetAt(c.curve)->m_strLabel.Std()) << c.unit;
            EXPECT_NEAR(c.sample, d.GetCurves().GetAt(c.curve)->GetAt(100), std::fabs(c.sample) * 1e-14) << c.unit;
            EXPECT_EQ(before, bits(Table(d.GetData()))) << c.unit;
            EXPECT_EQ(1, d.GetCurrentPoint());
        }
        Click(Item(d, IDOK));
    });
    ASSERT_EQ(IDOK, result);
    const std::string& written = m_Params.Std();
    EXPECT_NE(std::string::npos, written.find("TPOS.unit = IU\nTPOS = 0, 2000, 8000, 14000, 16000\n")) << written;
    EXPECT_NE(std::string::npos, written.find("TSPD.unit = rad/s\nTSPD = 0, 30, 40, 30, 0\n")) << written;
    EXPECT_NE(std::string::npos, written.find("ATIME.unit = s\nATIME = 0, 100, 250, 400, 500\n")) << written;
}

// A drive whose time variable is 16.16 fixed point, so that times finer
// than a sampling period can be typed.
const char kFineTimeSetup[] = R"({
  "countsPerRevolution": 2000, "samplingPeriod": 0.001,
  "variables": [
    { "name": "TPOS", "type": "int32", "quantity": "position" },
    { "name": "TSPD", "type": "fixed", "quantity": "velocity" },
    { "name": "ATIME", "type": "fixed", "quantity": "time" }
  ]
})";

TEST_F(EditorCommandsTest, PointsThatDoNotAdvanceLeaveTheTableAndTheSelectionStaysInside)
{
    ASSERT_EQ("", m_Setup.LoadFromText(kFineTimeSetup, "fine-time.json").Std());

    // Opened: the points at 3.5 and 3.9 (whole time 3) are gone.
    Run(MotionText("0, 3, 3.5, 3.9, 6", "0, 10, 20, 30, 40", "0, 1, 2, 3, 0"), [&](CEditorDlg& d) {
        const CCurve* positions = d.GetCurves().GetAt(1);
        ASSERT_EQ(7, positions->GetSize());
        std::vector<double> samples;
        for (int i = 0; i < 7; ++i)
            samples.push_back(positions->GetAt(i));
        EXPECT_EQ((std::vector<double>{0, 2, 6, 10, 18, 32, 40}), samples);
        EXPECT_EQ(5, d.GetPointToSample().GetSize());
        EXPECT_EQ(6u, d.GetPointToSample()[2]);
        EXPECT_FALSE(Enabled(d, E::IDC_PREVIOUS));
        EXPECT_TRUE(Enabled(d, E::IDC_NEXT));
    });
    EXPECT_EQ((std::vector<SPoint>{{0, 0, 0}, {3, 10, 1}, {6, 40, 0}}), m_LastTable);

    const std::string text = MotionText("0, 3, 6", "0, 10, 20", "0, 1, 0");
    const SCommandCase cases[] = {
        {"inserted within a period of its predecessor: the same index stays selected", 0, "15", "1", "3.5",
         {{0, 0, 0}, {3, 10, 1}, {6, 20, 0}}, 2, false},
        {"appended within a period of the last point: the last point is selected", 0, "25", "0", "6.5",
         {{0, 0, 0}, {3, 10, 1}, {6, 20, 0}}, 2, false},
        {"the last point moved within a period of its predecessor", 2, "25", "0", "3.25",
         {{0, 0, 0}, {3, 10, 1}}, 1, false},
    };
    for (const SCommandCase& c : cases) {
        Run(text, [&](CEditorDlg& d) {
            Command(d, c.steps, c.p, c.v, c.t, c.steps ? E::IDC_UPDATE : E::IDC_INSERT);
            EXPECT_EQ(c.selected, d.GetCurrentPoint()) << c.name;
            EXPECT_FALSE(Enabled(d, E::IDC_NEXT)) << c.name;
        });
        EXPECT_EQ(c.table, m_LastTable) << c.name;
        EXPECT_TRUE(m_Prompt.m_Messages.empty()) << c.name;
    }
}

}  // namespace
