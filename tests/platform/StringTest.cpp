#include "platform/String.h"

#include "platform/ModuleResources.h"
#include "PlatformTestUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

const int g_anchor = 0;  // an object of the test executable, for its module handle

TEST(CStringTest, Format)
{
    CString s;
    s.Format("%d|%.3f|%s|%c|%u", -12, 2.5, "ab", 'z', 4000000000u);
    EXPECT_EQ("-12|2.500|ab|z|4000000000", s.Std());

    // Around the size of the first formatting attempt and well beyond it.
    for (int n : {255, 256, 257, 5000}) {
        const std::string body(static_cast<std::size_t>(n - 2), 'x');
        s.Format("<%s>", body.c_str());
        EXPECT_EQ(n, s.GetLength());
        EXPECT_EQ("<" + body + ">", s.Std());
    }

    // The text may be an argument of its own formatting.
    s = "abc";
    s.Format("%s-%s", s.GetString(), s.GetString());
    EXPECT_EQ("abc-abc", s.Std());
    const std::string longText(300, 'q');
    s = longText.c_str();
    s.Format("%s!", s.GetString());
    EXPECT_EQ(longText + "!", s.Std());
    s.AppendFormat("%s", s.GetString());
    EXPECT_EQ(longText + "!" + longText + "!", s.Std());

    s = "x=";
    s.AppendFormat("%d, y=%.1f", 3, -0.5);
    EXPECT_EQ("x=3, y=-0.5", s.Std());
}

TEST(CStringTest, FormatWithStringResource)
{
    constexpr UINT id = 59001, onlyOlder = 59002;
    CString s;
    {
        CModuleResources older("platform-test-older", &g_anchor);
        older.AddString(id, "older %d");
        older.AddString(onlyOlder, "only the older module has %s");
        s.Format(id, 5);
        EXPECT_EQ("older 5", s.Std());
        {
            CModuleResources newer("platform-test-newer", &g_anchor);
            newer.AddString(id, "newer %d of %.1f");
            s.Format(id, 5, 2.5);
            EXPECT_EQ("newer 5 of 2.5", s.Std());  // the most recently loaded module wins
            s.Format(onlyOlder, "it");
            EXPECT_EQ("only the older module has it", s.Std());
        }
        s.Format(id, 6);  // the newer module has withdrawn its strings
        EXPECT_EQ("older 6", s.Std());
        EXPECT_TRUE(s.LoadString(onlyOlder));
        EXPECT_EQ("only the older module has %s", s.Std());
    }
    s = "before";
    s.Format(id, 1);
    EXPECT_NE(-1, s.Find("missing")) << s.GetString();
    EXPECT_NE(-1, s.Find("59001")) << s.GetString();
    EXPECT_FALSE(s.LoadString(id));
}

TEST(CStringTest, Replace)
{
    struct Row { const char* text; const char* from; const char* to; const char* expected; int count; };
    const Row rows[] = {
        {"1,5 0,5", ",", ".", "1.5 0.5", 2},  {"abab", "ab", "xyz", "xyzxyz", 2},
        {"aXXbXX", "XX", "", "ab", 2},        {"aXXb", "XX", nullptr, "ab", 1},
        {"abc", "z", "q", "abc", 0},          {"abc", "", "q", "abc", 0},
        {"abc", nullptr, "q", "abc", 0},      {"aaa", "aa", "b", "ba", 1},
        {"a.b.", ".", "..", "a..b..", 2},     {"", "a", "b", "", 0},
    };
    for (const Row& r : rows) {
        CString s(r.text);
        EXPECT_EQ(r.count, s.Replace(r.from, r.to)) << r.text;
        EXPECT_EQ(r.expected, s.Std()) << r.text;
    }
    CString s("a-b-c");
    EXPECT_EQ(2, s.Replace('-', '+'));
    EXPECT_EQ("a+b+c", s.Std());
}

TEST(CStringTest, SlicesClampTheirArguments)
{
    const CString s("abcdef");
    struct Row { CString result; const char* expected; };
    const Row rows[] = {
        {s.Left(2), "ab"},          {s.Left(0), ""},           {s.Left(-1), ""},
        {s.Left(99), "abcdef"},     {s.Left(INT_MAX), "abcdef"}, {s.Mid(2), "cdef"},
        {s.Mid(-3), "abcdef"},      {s.Mid(6), ""},            {s.Mid(INT_MAX), ""},
        {s.Mid(2, 3), "cde"},       {s.Mid(4, 99), "ef"},      {s.Mid(-2, 3), "abc"},
        {s.Mid(2, -1), ""},         {s.Mid(1, INT_MAX), "bcdef"}, {s.Mid(INT_MAX, INT_MAX), ""},
        {s.Mid(INT_MIN, INT_MIN), ""}, {s.Right(2), "ef"},     {s.Right(-1), ""},
        {s.Right(99), "abcdef"},    {s.Right(INT_MIN), ""},    {CString().Mid(1, 1), ""},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(rows[i].expected, rows[i].result.Std()) << "row " << i;
}

TEST(CStringTest, Find)
{
    const CString s("a,b,c");
    struct Row { int found; int expected; };
    const Row rows[] = {
        {s.Find(','), 1},      {s.Find(',', 2), 3},     {s.Find(',', 4), -1},   {s.Find(',', -1), -1},
        {s.Find(',', 99), -1}, {s.Find('z'), -1},       {s.Find("b,c"), 2},     {s.Find("c", 4), 4},
        {s.Find("zz"), -1},    {s.Find("a", 1), -1},    {s.Find("a", -1), -1},  {s.Find("a", INT_MAX), -1},
        {s.Find(static_cast<const char*>(nullptr)), -1},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(rows[i].expected, rows[i].found) << "row " << i;
}

TEST(CStringTest, Trim)
{
    struct Row { const char* text; const char* expected; };
    const Row rows[] = {{"  \t a b \r\n", "a b"}, {"x", "x"}, {" \v\f ", ""}, {"", ""}, {"a  ", "a"}};
    for (const Row& r : rows) {
        CString s(r.text);
        EXPECT_EQ(r.expected, s.Trim().Std()) << '"' << r.text << '"';
    }
}

TEST(CStringTest, KeepsEmbeddedNulBytes)
{
    CString s("a\0b", 3);
    s += CString("\0c", 2);
    s.Append("d\0", 2);
    ASSERT_EQ(7, s.GetLength());
    EXPECT_EQ(std::string("a\0b\0cd\0", 7), s.Std());
    EXPECT_EQ('\0', s.GetAt(1));
    EXPECT_EQ(4, s.Find('c'));
    EXPECT_EQ(std::string("b\0c", 3), CString(s).Mid(2, 3).Std());
}

TEST(CStringTest, GetAtOutOfRangeThrows)
{
    const CString s("abc");
    EXPECT_EQ('c', s.GetAt(2));
    for (int index : {-1, 3, INT_MAX, INT_MIN})
        EXPECT_TRUE(ThrowsInvalidArg([&] { (void)s.GetAt(index); })) << index;
    EXPECT_TRUE(ThrowsInvalidArg([] { (void)CString()[0]; }));
}

}  // namespace
