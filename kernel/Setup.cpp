#include "kernel/Setup.h"

#include "kernel/ParamText.h"
#include "kernel/Value.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

using json = nlohmann::json;

// A fault in a setup document: the field at fault ("variables[2].unit", or
// empty for the document as a whole) and what is wrong with it.
struct SetupError {
    std::string field;
    std::string problem;
};

[[noreturn]] void Fail(std::string field, std::string problem)
{
    throw SetupError{std::move(field), std::move(problem)};
}

// Control bytes would break a one-line message: they are shown as \xNN.
std::string Printable(std::string_view text)
{
    std::string out;
    for (const unsigned char ch : text) {
        if (ch < 0x20 || ch == 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(ch));
            out += hex;
        } else {
            out += static_cast<char>(ch);
        }
    }
    return out;
}

// A value of the user's document in a message: quoted and shortened as the
// parameter text's are (at most 24 characters, then "...", with ", \ and
// bytes that are not printable as \xNN).
std::string Quoted(std::string_view text)
{
    return CDK_ParamText::Quote(text).Std();
}

// A field name of the user's document in a field path: the same, without
// the quotes.
std::string Shown(std::string_view name)
{
    const std::string quoted = Quoted(name);
    return quoted.substr(1, quoted.size() - 2);
}

std::string Describe(const json& value)
{
    switch (value.type()) {
    case json::value_t::null: return "null";
    case json::value_t::boolean: return value.get<bool>() ? "true" : "false";
    case json::value_t::string: return "a string";
    case json::value_t::array: return "an array";
    case json::value_t::object: return "an object";
    case json::value_t::number_integer:
    case json::value_t::number_unsigned:
    case json::value_t::number_float: return "a number";
    default: return "an unknown value";
    }
}

void Expect(bool ok, const json& value, const std::string& field, const char* expected)
{
    if (!ok)
        Fail(field, std::string("expected ") + expected + ", found " + Describe(value));
}

void CheckFields(const json& object, const std::string& prefix, std::initializer_list<std::string_view> known)
{
    for (const auto& item : object.items()) {
        bool found = false;
        std::string list;
        std::size_t i = 0;
        for (const std::string_view name : known) {
            found = found || item.key() == name;
            if (i++ > 0)
                list += i == known.size() ? " or " : ", ";
            list += name;
        }
        if (!found)
            Fail(prefix + Shown(item.key()), "unknown field (use " + list + ")");
    }
}

// A string member; `fallback` when absent, a message when absent and required.
std::string ReadString(const json& object, const char* key, const std::string& prefix, const char* fallback)
{
    const auto it = object.find(key);
    if (it == object.end()) {
        if (!fallback)
            Fail(prefix + key, "missing (a required field)");
        return fallback;
    }
    Expect(it->is_string(), *it, prefix + key, "a string");
    std::string value = it->get<std::string>();
    // JSON allows "\u0000" in a string; the kernel's names end at a NUL, so
    // "rot\u0000junk" would silently be taken as "rot".
    if (value.find('\0') != std::string::npos)
        Fail(prefix + key, Quoted(value) + " holds a NUL byte");
    return value;
}

double ReadPositive(const json& object, const char* key)
{
    const auto it = object.find(key);
    if (it == object.end())
        Fail(key, "missing (a required field)");
    Expect(it->is_number(), *it, key, "a number");
    const double value = it->get<double>();
    if (!(std::isfinite(value) && value > 0.0))
        Fail(key, "must be a positive number, found " + it->dump());
    return value;
}

// An optional positive number: none when absent.
std::optional<double> ReadOptionalPositive(const json& object, const char* key)
{
    if (object.find(key) == object.end())
        return std::nullopt;
    return ReadPositive(object, key);
}

int ReadOption(const json& value, const std::string& field)
{
    Expect(value.is_number(), value, field, "an integer");
    const double number = value.get<double>();  // integers of 64 bits round, but keep their side of the range
    if (value.is_number_float() && std::trunc(number) != number)
        Fail(field, "expected an integer, found " + value.dump());
    if (number < -2147483648.0 || number > 2147483647.0)
        Fail(field, value.dump() + " is outside the 32-bit range -2147483648 ... 2147483647");
    return static_cast<int>(number);
}

bool IsValidName(const std::string& name)
{
    const auto isAlpha = [](char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == '_'; };
    if (name.empty() || !isAlpha(name[0]))
        return false;
    for (const char ch : name) {
        if (!isAlpha(ch) && !(ch >= '0' && ch <= '9'))
            return false;
    }
    return true;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    const auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; };
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

const char* QuantityPhrase(tagQuantity quantity)
{
    switch (quantity) {
    case DK_QTY_POSITION: return "a position";
    case DK_QTY_VELOCITY: return "a velocity";
    case DK_QTY_TIME: return "a time";
    case DK_QTY_NONE: break;
    }
    return "a plain number";
}

CDK_Variable ReadVariable(const json& item, const std::string& at, const CDK_Units& units,
                          const std::vector<CDK_Variable>& earlier)
{
    Expect(item.is_object(), item, at, "an object");
    const std::string prefix = at + ".";
    CheckFields(item, prefix, {"name", "type", "quantity", "unit"});

    const std::string name = ReadString(item, "name", prefix, nullptr);
    if (!IsValidName(name))
        Fail(prefix + "name", Quoted(name) + " is not a valid name (use letters, digits and _, not starting with a digit)");
    for (std::size_t i = 0; i < earlier.size(); ++i) {
        const std::string& other = earlier[i].m_strName.Std();
        if (EqualNoCase(name, other)) {
            Fail(prefix + "name", Quoted(name) + " is declared twice (also variables[" + std::to_string(i) + "]" +
                                      (name == other ? ")" : " as " + Quoted(other) + ")"));
        }
    }

    CDK_Variable variable;
    variable.m_strName = name.c_str();
    const std::string type = ReadString(item, "type", prefix, nullptr);
    if (!CDK_Value::FindType(type.c_str(), variable.m_Type))
        Fail(prefix + "type", "unknown type " + Quoted(type) + " (use int16, uint16, int32, uint32 or fixed)");
    const std::string quantity = ReadString(item, "quantity", prefix, "none");
    if (!CDK_Units::FindQuantity(quantity.c_str(), variable.m_Quantity))
        Fail(prefix + "quantity", "unknown quantity " + Quoted(quantity) + " (use none, position, velocity or time)");
    const std::string unit = ReadString(item, "unit", prefix, "IU");
    if (units.Find(variable.m_Quantity, unit.c_str()) < 0) {
        Fail(prefix + "unit", "unknown unit " + Quoted(unit) + " for " + QuantityPhrase(variable.m_Quantity) +
                                  " (use " + units.ListNames(variable.m_Quantity).Std() + ")");
    }
    variable.m_strDefaultUnit = unit.c_str();
    return variable;
}

// Parses the document; a key given twice in one object is reported, since
// the parser itself would silently keep only one of them.
json Parse(std::string_view document)
{
    struct Frame {
        bool array = false;
        std::size_t index = 0;
        std::string key{};
        std::set<std::string> keys{};
    };
    std::vector<Frame> stack;
    std::string duplicate;
    auto callback = [&](int, json::parse_event_t event, json& parsed) {
        switch (event) {
        case json::parse_event_t::object_start: stack.emplace_back(); break;
        case json::parse_event_t::array_start: stack.emplace_back().array = true; break;
        case json::parse_event_t::key: {
            Frame& frame = stack.back();
            frame.key = parsed.get<std::string>();
            if (!frame.keys.insert(frame.key).second && duplicate.empty()) {
                for (std::size_t i = 0; i < stack.size(); ++i) {
                    if (stack[i].array)
                        duplicate += "[" + std::to_string(stack[i].index) + "]";
                    else
                        duplicate += (i == 0 ? "" : ".") + Shown(stack[i].key);
                }
            }
            break;
        }
        case json::parse_event_t::object_end:
        case json::parse_event_t::array_end:
            stack.pop_back();
            [[fallthrough]];
        case json::parse_event_t::value:
            if (!stack.empty() && stack.back().array)
                ++stack.back().index;
            break;
        }
        return true;
    };
    json doc = json::parse(document.begin(), document.end(), callback);
    if (!duplicate.empty())
        Fail(duplicate, "given twice");
    return doc;
}

// "line 3, column 5" of the byte the parser stopped at (`byte` counts from 1).
std::string Position(std::string_view document, std::size_t byte)
{
    const std::size_t at = std::min(byte > 0 ? byte - 1 : 0, document.size());
    const std::string_view before = document.substr(0, at);
    const std::size_t lastBreak = before.rfind('\n');
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    const std::size_t column = lastBreak == std::string_view::npos ? at + 1 : at - lastBreak;
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// The parser's own explanation, without its prefixes and the echo of the
// text it last read.
std::string Reason(const char* what)
{
    std::string text = what;
    const auto dropThrough = [&text](std::string_view start, std::string_view mark) {
        const std::size_t at = text.find(mark);
        if (text.starts_with(start) && at != std::string::npos)
            text.erase(0, at + mark.size());
    };
    dropThrough("[json.exception.", "] ");
    dropThrough("parse error", ": ");
    dropThrough("syntax error while parsing ", " - ");
    const std::size_t echo = text.find("; last read: '");
    if (echo != std::string::npos) {
        const std::size_t expected = text.find("'; expected ", echo);
        text.erase(echo, expected == std::string::npos ? std::string::npos : expected + 1 - echo);
    }
    return Printable(text);
}

// Every unit factor must lie within 1e-100 ... 1e100: then every value a
// drive type holds (below 2^64 in magnitude) converts to a display unit and
// back, and a velocity per time unit (an acceleration) is formed, without
// overflowing or losing its precision to a subnormal number (a factor of
// 1e300 would show a position as inf). No real drive comes near: 2000 counts
// at 1 ms give factors between 5e-4 and 60. The field at fault is named: position factors follow from countsPerRevolution alone, time
// factors from samplingPeriod alone; a velocity factor from both, and then
// the one further from 1 in orders of magnitude is blamed (a sampling period
// of 1e-320 with 2000 counts, not the counts).
constexpr double kMinFactor = 1e-100;
constexpr double kMaxFactor = 1e100;

void CheckFactors(const CDK_Units& units, const json& doc)
{
    const double counts = units.GetCountsPerRevolution();
    const double period = units.GetSamplingPeriod();
    const std::string countsText = doc["countsPerRevolution"].dump();
    const std::string periodText = doc["samplingPeriod"].dump();
    for (const tagQuantity quantity : {DK_QTY_POSITION, DK_QTY_TIME, DK_QTY_VELOCITY}) {
        for (int i = 0; i < units.GetCount(quantity); ++i) {
            const double factor = units.GetFactor(quantity, i);
            if (factor >= kMinFactor && factor <= kMaxFactor)
                continue;
            const std::string what = std::string(" puts the ") + units.GetName(quantity, i) + " factor out of range";
            if (quantity == DK_QTY_POSITION)
                Fail("countsPerRevolution", countsText + what);
            if (quantity == DK_QTY_TIME)
                Fail("samplingPeriod", periodText + what);
            if (std::fabs(std::log10(counts)) >= std::fabs(std::log10(period)))
                Fail("countsPerRevolution", countsText + " with samplingPeriod " + periodText + what);
            Fail("samplingPeriod", periodText + " with countsPerRevolution " + countsText + what);
        }
    }
}

CString Message(const std::string& source, const std::string& field, const std::string& problem)
{
    // A file name with a line feed would break the one line.
    const std::string text = Printable(source) + ": " + (field.empty() ? "" : field + ": ") + problem;
    return CString(std::string_view(text));
}

}  // namespace

CDK_Setup::CDK_Setup()
    : m_strName("Default drive (embedded)"), m_Options{{"IsClosedPosition", 1}}, m_Units(2000.0, 0.001)
{
    m_Variables = {
        {"TPOS", DK_INT32, DK_QTY_POSITION, "rot"},    {"TSPD", DK_FIXED, DK_QTY_VELOCITY, "rpm"},
        {"ATIME", DK_INT32, DK_QTY_TIME, "s"},          {"PVTBUFBEGIN", DK_UINT16, DK_QTY_NONE, "IU"},
        {"PVTBUFLEN", DK_UINT16, DK_QTY_NONE, "IU"},    {"MASTERID", DK_UINT16, DK_QTY_NONE, "IU"},
    };
}

CString CDK_Setup::LoadFromFile(const char* path)
{
    const std::string source = path ? path : "";
    const auto fail = [&](const std::string& reason) { return Message(source, "", "cannot read the file: " + reason); };
    // Without blocking, and only a regular file: a named pipe without a
    // writer would hold the open for ever, and a device such as /dev/zero
    // would never end.
    int fd;
    do
        fd = open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return fail(std::strerror(errno));
    const std::unique_ptr<int, void (*)(int*)> closer(&fd, [](int* f) { close(*f); });
    struct stat info = {};
    if (fstat(fd, &info) != 0)
        return fail(std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        return fail(std::strerror(EISDIR));
    if (!S_ISREG(info.st_mode))
        return fail("not a regular file");
    if (info.st_size > kMaxDocumentSize)
        return fail("larger than " + std::to_string(kMaxDocumentSize >> 20) + " MiB, the limit for a setup file");
    std::string text(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t count = read(fd, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return fail(std::strerror(errno));
        if (count == 0)
            break;  // cut short while we read: what is there
        done += static_cast<std::size_t>(count);
    }
    text.resize(done);
    return LoadFromText(CString(std::string_view(text)), source.c_str());
}

CString CDK_Setup::LoadFromText(const CString& document, const char* sourceName)
{
    const std::string source = sourceName ? sourceName : "";
    try {
        const json doc = Parse(document.View());
        if (!doc.is_object())
            Fail("", "expected a JSON object at the top level, found " + Describe(doc));
        CheckFields(doc, "", {"name", "motionController", "countsPerRevolution", "samplingPeriod", "maxVelocity",
                              "maxAcceleration", "options", "variables"});

        CDK_Setup setup;  // built aside: a fault leaves *this as it was
        setup.m_strName = ReadString(doc, "name", "", source.substr(source.rfind('/') + 1).c_str()).c_str();
        if (const auto it = doc.find("motionController"); it != doc.end()) {
            Expect(it->is_boolean(), *it, "motionController", "true or false");
            setup.m_bMotionController = it->get<bool>();
        }
        const double counts = ReadPositive(doc, "countsPerRevolution");
        const double period = ReadPositive(doc, "samplingPeriod");
        setup.m_Units = CDK_Units(counts, period);
        CheckFactors(setup.m_Units, doc);
        setup.m_MaxVelocity = ReadOptionalPositive(doc, "maxVelocity");
        setup.m_MaxAcceleration = ReadOptionalPositive(doc, "maxAcceleration");

        setup.m_Options.clear();
        if (const auto it = doc.find("options"); it != doc.end()) {
            Expect(it->is_object(), *it, "options", "an object");
            for (const auto& option : it->items()) {
                const std::string field = "options." + Shown(option.key());
                if (option.key().find('\0') != std::string::npos)
                    Fail(field, "the option's name holds a NUL byte");
                setup.m_Options[option.key()] = ReadOption(option.value(), field);
            }
        }

        setup.m_Variables.clear();
        if (const auto it = doc.find("variables"); it != doc.end()) {
            Expect(it->is_array(), *it, "variables", "an array");
            for (std::size_t i = 0; i < it->size(); ++i) {
                setup.m_Variables.push_back(ReadVariable((*it)[i], "variables[" + std::to_string(i) + "]",
                                                         setup.m_Units, setup.m_Variables));
            }
        }
        *this = std::move(setup);
        return CString();
    } catch (const SetupError& error) {
        return Message(source, error.field, error.problem);
    } catch (const json::parse_error& error) {
        return Message(source, Position(document.View(), error.byte), "invalid JSON: " + Reason(error.what()));
    } catch (const json::exception& error) {  // a number too big for a double
        return Message(source, "", "invalid JSON: " + Reason(error.what()));
    } catch (const std::exception& error) {
        return Message(source, "", std::string("cannot load the setup: ") + error.what());
    }
}

int CDK_Setup::IsMotionController() const
{
    return m_bMotionController ? 1 : 0;
}

int CDK_Setup::GetIntOption(const char* name) const
{
    const auto it = name ? m_Options.find(name) : m_Options.end();
    return it == m_Options.end() ? 0 : it->second;
}

const CDK_Variable* CDK_Setup::FindVariable(const char* name, int bCaseSensitive) const
{
    if (!name)
        return nullptr;
    for (const CDK_Variable& variable : m_Variables) {
        if (bCaseSensitive ? variable.m_strName == name : EqualNoCase(variable.m_strName.View(), name))
            return &variable;
    }
    return nullptr;
}
