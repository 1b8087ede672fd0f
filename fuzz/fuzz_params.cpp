// Any bytes as a PVT parameter text.
//
// 1. Through the module's export TranslateMotionSequence, in the built
//    Velkor.so loaded with dlopen as a host loads it: it returns 1 with a
//    program or 0 with the error text, exactly what the record's own read,
//    validation and code generation give; the host's text is left alone.
// 2. Through ReadParameters, WriteParameters and ReadParameters again: the
//    second read gives the same record (every column bit for bit in
//    internal units, all finite; the same units, options and event), and
//    writing it again gives the same text.
#include "FuzzCheck.h"
#include "kernel/ModuleExports.h"
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "pvt/InternalData.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <dlfcn.h>
#include <string_view>
#include <vector>

namespace {

module_exports::TranslateMotionSequenceFn g_pTranslate = nullptr;

void CheckSameColumn(const CDK_ArrayParameter& a, const CDK_ArrayParameter& b)
{
    const std::vector<double>& x = a.GetValuesInInternalUnit();
    const std::vector<double>& y = b.GetValuesInInternalUnit();
    FUZZ_CHECK(x.size() == y.size(), "%s: %zu values, then %zu", a.GetName().GetString(), x.size(), y.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        FUZZ_CHECK(std::isfinite(x[i]), "%s[%zu] = %g is not finite", a.GetName().GetString(), i, x[i]);
        FUZZ_CHECK(std::memcmp(&x[i], &y[i], sizeof(double)) == 0, "%s[%zu]: %.17g, then %.17g",
                   a.GetName().GetString(), i, x[i], y[i]);
    }
    FUZZ_CHECK(a.GetName() == b.GetName(), "column name");
    FUZZ_CHECK(a.GetSelectedUnitIndex() == b.GetSelectedUnitIndex(), "%s: unit %s, then %s",
               a.GetName().GetString(), a.GetSelectedUnit().GetString(), b.GetSelectedUnit().GetString());
}

void CheckSameRecord(const CInternalData& a, const CInternalData& b)
{
    FUZZ_CHECK(a.m_bHostAddress == b.m_bHostAddress && a.m_nHostAddress == b.m_nHostAddress, "host address");
    FUZZ_CHECK(a.m_nClearBuffer == b.m_nClearBuffer, "ClearBuffer");
    FUZZ_CHECK(a.m_nStartPoint == b.m_nStartPoint, "StartPoint");
    FUZZ_CHECK(a.m_nExecute == b.m_nExecute, "Execute");
    // "WaitForCompletion" is written only for immediate execution, the
    // event only for execution on an event.
    if (a.m_nExecute == 0)
        FUZZ_CHECK(a.m_nWaitForCompletion == b.m_nWaitForCompletion, "WaitForCompletion");
    if (a.m_nExecute == 1) {
        const CMotionEvent& x = a.m_Event;
        const CMotionEvent& y = b.m_Event;
        FUZZ_CHECK(x.GetTrigger() == y.GetTrigger(), "EventType");
        FUZZ_CHECK(x.m_nInput == y.m_nInput && x.m_nLevel == y.m_nLevel && x.m_nPosition == y.m_nPosition &&
                       x.m_nPositionMode == y.m_nPositionMode && x.m_nDelay == y.m_nDelay,
                   "event fields");
    }
    CheckSameColumn(a.m_Time, b.m_Time);
    CheckSameColumn(a.m_Position, b.m_Position);
    CheckSameColumn(a.m_Velocity, b.m_Velocity);
}

// Every line of an error text is a message the kernel or the record gives
// (the validation messages that begin "Value out of range!" go on in a
// second line).
void CheckMessages(const CString& errors)
{
    static const char* const kStarts[] = {"Parameter \"", "Invalid number of points.", "Invalid values for first point.",
                                          "Invalid values for last point.", "Time value is out of bounds.",
                                          "Value out of range!", "Time value of point ", "Position value of point "};
    const std::string_view text = errors.View();
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t end = std::min(text.find('\n', begin), text.size());
        const std::string_view line = text.substr(begin, end - begin);
        bool known = false;
        for (const char* start : kStarts)
            known = known || line.starts_with(start);
        FUZZ_CHECK(known, "a message line of no known kind: %.*s", static_cast<int>(line.size()), line.data());
        begin = end + 1;
    }
}

// Every line of a program starts with two spaces and ends with "\r\n".
void CheckProgram(const CString& code)
{
    const std::string_view text = code.View();
    FUZZ_CHECK(text.ends_with("\r\n"), "a program that does not end its last line");
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t end = text.find("\r\n", begin);
        FUZZ_CHECK(end != std::string_view::npos, "a line without its end");
        const std::string_view line = text.substr(begin, end - begin);
        FUZZ_CHECK(line.starts_with("  ") && line.find('\n') == std::string_view::npos &&
                       line.find('\r') == std::string_view::npos,
                   "a program line \"%.*s\"", static_cast<int>(line.size()), line.data());
        begin = end + 2;
    }
}

int CountLines(const CString& text, const char* start)
{
    int count = 0;
    for (int at = text.Find(start); at >= 0; at = text.Find(start, at + 1))
        ++count;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    void* module = dlopen(VELKOR_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    FUZZ_CHECK(module, "cannot load %s: %s", VELKOR_MODULE_PATH, dlerror());
    g_pTranslate = reinterpret_cast<module_exports::TranslateMotionSequenceFn>(
        dlsym(module, module_exports::kTranslateMotionSequence));
    FUZZ_CHECK(g_pTranslate, "no TranslateMotionSequence in %s", VELKOR_MODULE_PATH);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const CString text(std::string_view(reinterpret_cast<const char*>(data), size));
    CDK_Setup setup;
    CDK_Motion motion;

    // The export, as a host calls it.
    CString params = text;
    CString out = "left over from the host";
    const int translated = g_pTranslate(setup, motion, params, out);
    FUZZ_CHECK(params == text, "the module changed the host's parameter text");
    FUZZ_CHECK(translated == 0 || translated == 1, "TranslateMotionSequence returned %d", translated);
    FUZZ_CHECK(!out.IsEmpty(), "TranslateMotionSequence left no text (result %d)", translated);

    // The record's own path gives the same answer.
    CInternalData first(setup, motion);
    CString errors;
    const BOOL read = first.ReadParameters(params, errors);
    FUZZ_CHECK((read != 0) == errors.IsEmpty(), "ReadParameters: result and errors disagree");
    int badPoint = -1;
    const CString check = read ? first.CheckPoints(badPoint) : CString();
    FUZZ_CHECK(check.IsEmpty(), "a record that was read without errors fails validation: %s", check.GetString());
    if (translated) {
        FUZZ_CHECK(read, "translated although the record reports: %s", errors.GetString());
        const CString code = first.GenerateCode();
        FUZZ_CHECK(out == code, "the module's program differs from the record's");
        CheckProgram(code);
        const int points = first.m_Time.GetValuesCount();
        FUZZ_CHECK(CountLines(code, "  PVTP ") == points - 1, "%d points, %d segment lines", points,
                   CountLines(code, "  PVTP "));
    } else {
        FUZZ_CHECK(!read, "not translated although the record reads: %s", out.GetString());
        FUZZ_CHECK(out == errors, "the module's errors differ from the record's");
        CheckMessages(errors);
    }

    // Round trip: what was read, written and read again is the same record,
    // and writes the same text.
    CString written;
    first.WriteParameters(written);
    CInternalData second(setup, motion);
    CString errors2;
    const BOOL read2 = second.ReadParameters(written, errors2);
    FUZZ_CHECK(!read || read2, "a record that read cleanly reads back with errors: %s", errors2.GetString());
    CheckSameRecord(first, second);
    CString rewritten;
    second.WriteParameters(rewritten);
    FUZZ_CHECK(rewritten == written, "written again, the text differs:\n%s\n---\n%s", written.GetString(),
               rewritten.GetString());
    return 0;
}
