#include "platform/String.h"

#include "platform/InvalidArgException.h"
#include "platform/ResourceRegistry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

std::size_t CheckedLength(std::size_t length)
{
    // Lengths are reported as int, so a text may not grow beyond INT_MAX bytes.
    if (length > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw new CInvalidArgException();
    return length;
}

// Clamps a (first, count) pair into [0, size] the way the framework's
// Mid/Left/Right do: negative counts and starts read as 0.
std::string_view Slice(const std::string& s, int first, int count)
{
    const std::size_t size = s.size();
    const std::size_t f = first < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(first), size);
    const std::size_t c = count < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(count), size - f);
    return std::string_view(s).substr(f, c);
}

}  // namespace

CString::CString(const char* text) : m_str(text ? text : "") {}

CString::CString(const char* text, int length)
{
    if (text && length > 0)
        m_str.assign(text, static_cast<std::size_t>(length));
}

CString::CString(std::string_view text) : m_str(text) {}

CString::CString(char ch, int repeat)
{
    if (repeat > 0)
        m_str.assign(static_cast<std::size_t>(repeat), ch);
}

char CString::GetAt(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_str.size())
        throw new CInvalidArgException();
    return m_str[static_cast<std::size_t>(index)];
}

CString& CString::operator=(const char* text)
{
    m_str = text ? text : "";
    return *this;
}

CString& CString::operator+=(const char* text)
{
    if (text)
        m_str += text;
    return *this;
}

void CString::Append(const char* text, int length)
{
    if (text && length > 0) {
        CheckedLength(m_str.size() + static_cast<std::size_t>(length));
        m_str.append(text, static_cast<std::size_t>(length));
    }
}

void CString::Preallocate(int length)
{
    if (length > 0)
        m_str.reserve(CheckedLength(static_cast<std::size_t>(length)));
}

void CString::FormatV(const char* format, va_list args)
{
    // Formats into a new text and replaces this one only at the end: the
    // format or an argument may be this very text.
    std::string out;
    if (format) {
        char small[256];
        va_list copy;
        va_copy(copy, args);
        const int needed = std::vsnprintf(small, sizeof small, format, copy);
        va_end(copy);
        // An encoding error (needed < 0) leaves the text empty.
        if (needed >= 0 && static_cast<std::size_t>(needed) < sizeof small) {
            out.assign(small, static_cast<std::size_t>(needed));
        } else if (needed >= 0) {
            out.resize(static_cast<std::size_t>(needed));
            std::vsnprintf(out.data(), out.size() + 1, format, args);
        }
    }
    m_str = std::move(out);
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::Format(UINT resourceId, ...)
{
    const char* format = CResourceRegistry::Instance().FindString(resourceId);
    if (!format) {
        // A missing resource is a fault of the build, not of the user's data;
        // say so rather than return an empty message that reads as success.
        m_str = "(missing message " + std::to_string(resourceId) + ")";
        return;
    }
    va_list args;
    va_start(args, resourceId);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const char* format, ...)
{
    CString tail;
    va_list args;
    va_start(args, format);
    tail.FormatV(format, args);
    va_end(args);
    m_str += tail.m_str;
}

BOOL CString::LoadString(UINT resourceId)
{
    const char* text = CResourceRegistry::Instance().FindString(resourceId);
    if (!text)
        return FALSE;
    m_str = text;
    return TRUE;
}

int CString::Compare(const char* text) const
{
    return m_str.compare(text ? text : "");
}

int CString::Find(char ch, int start) const
{
    if (start < 0 || static_cast<std::size_t>(start) >= m_str.size())
        return -1;
    const std::size_t pos = m_str.find(ch, static_cast<std::size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* text, int start) const
{
    if (!text || start < 0 || static_cast<std::size_t>(start) > m_str.size())
        return -1;
    const std::size_t pos = m_str.find(text, static_cast<std::size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int count) const { return CString(Slice(m_str, 0, count)); }

CString CString::Mid(int first) const { return CString(Slice(m_str, first, GetLength())); }

CString CString::Mid(int first, int count) const { return CString(Slice(m_str, first, count)); }

CString CString::Right(int count) const
{
    const int n = std::clamp(count, 0, GetLength());
    return CString(Slice(m_str, GetLength() - n, n));
}

int CString::Replace(const char* from, const char* to)
{
    if (!from || !*from)
        return 0;
    const std::string_view f(from);
    const std::string_view t(to ? to : "");
    // One pass into a new text: linear in the length whatever the sizes.
    std::string out;
    int replaced = 0;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = m_str.find(f, pos)) != std::string::npos; pos = hit + f.size()) {
        if (replaced == 0)
            out.reserve(m_str.size());
        out.append(m_str, pos, hit - pos);
        out += t;
        ++replaced;
    }
    if (replaced) {
        out.append(m_str, pos, std::string::npos);
        m_str = std::move(out);
    }
    return replaced;
}

int CString::Replace(char from, char to)
{
    int replaced = 0;
    for (char& c : m_str)
        if (c == from) {
            c = to;
            ++replaced;
        }
    return replaced;
}

CString& CString::Trim()
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
    std::size_t b = 0, e = m_str.size();
    while (b < e && blank(m_str[b]))
        ++b;
    while (e > b && blank(m_str[e - 1]))
        --e;
    m_str = m_str.substr(b, e - b);
    return *this;
}

CString operator+(const CString& a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, const char* b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const char* a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}
