// CString: the framework's 8-bit string with value semantics.
//
// The text may hold any byte, NUL included; GetLength() counts them all.
// Appending is amortised constant time, so building a text of millions of
// lines by += stays linear.
#pragma once

#include "platform/Types.h"

#include <cstdarg>
#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const char* text);  // NOLINT: implicit like the framework's
    CString(const char* text, int length);
    CString(std::string_view text);  // NOLINT
    CString(char ch, int repeat = 1);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty() ? TRUE : FALSE; }
    void Empty() { m_str.clear(); }
    const char* GetString() const { return m_str.c_str(); }
    operator const char*() const { return m_str.c_str(); }  // NOLINT
    char GetAt(int index) const;
    char operator[](int index) const { return GetAt(index); }

    CString& operator=(const char* text);
    CString& operator+=(const CString& text) { m_str += text.m_str; return *this; }
    CString& operator+=(const char* text);
    CString& operator+=(char ch) { m_str += ch; return *this; }
    CString& operator+=(std::string_view text) { m_str += text; return *this; }
    void Append(const char* text, int length);
    void AppendChar(char ch) { m_str += ch; }
    // Reserves room for at least `length` bytes without changing the text.
    void Preallocate(int length);

    // printf-style formatting; replaces the text.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Formatting with a format text from a string resource of a loaded module.
    void Format(UINT resourceId, ...);
    void FormatV(const char* format, va_list args);
    void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Loads a string resource of any loaded module; FALSE when there is none.
    BOOL LoadString(UINT resourceId);

    int Compare(const char* text) const;
    int Find(char ch, int start = 0) const;
    int Find(const char* text, int start = 0) const;
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;
    // Replaces every occurrence of `from` by `to`; returns the number replaced.
    int Replace(const char* from, const char* to);
    int Replace(char from, char to);
    CString& Trim();

    std::string_view View() const { return m_str; }
    const std::string& Std() const { return m_str; }

    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return b ? a.m_str == b : a.m_str.empty(); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

private:
    std::string m_str;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
