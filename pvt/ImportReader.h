// CImportReader: reads a points file into the three point columns of a PVT
// record, with the rules that the editor's "Import From File" and
// `motionhost import` share.
//
// The file: a line is every byte up to and including a line feed, with no
// length limit; the last line needs no line feed; a carriage return alone
// does not end a line (it reads as blank space). In each line every comma
// becomes a full stop, then "%lf %lf %lf" reads position, velocity and time
// in the columns' selected units; text after the third number is ignored.
// The line is read as a C text, so it ends at its first NUL byte. A UTF-8
// byte-order mark at the very start of the file is not part of the first
// line, so that line is read as a point line.
//
// A line is skipped, with its reason, when it does not hold three numbers,
// when one of them is not finite ("nan", "inf", "1e999"), when its time is
// negative (tested before any clamping), or when its clamped time is not
// greater than the last accepted point's (a time of 0 is reported on its
// own: the start point holds it; so is a time above 0 that the time column
// holds as 0, finer than one sampling period). Other values are clamped to their column's
// limits and reduced to what the column's drive type holds (CPointInput).
// Accepted points are appended in the file's order; nothing is sorted.
//
// With two-number lines allowed (for velocities computed afterwards from
// the positions), a line that holds only two numbers is read as position
// and time, with velocity 0; a line of three numbers is read as before.
// Without it (the editor's import) the rules are exactly those above.
#pragma once

#include "kernel/ArrayParameter.h"
#include "platform/File.h"
#include "platform/Types.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class CImportReader {
public:
    enum tagSkipReason {
        SKIP_NO_THREE_NUMBERS,
        SKIP_NOT_FINITE,
        SKIP_NEGATIVE_TIME,
        SKIP_TIME_ZERO,
        SKIP_TIME_NOT_AFTER,
        SKIP_TIME_ROUNDS_TO_ZERO,  // a time above 0 that the time column holds as 0
    };
    struct SSkippedLine {
        long long nLine;  // 1-based
        tagSkipReason nReason;
        double dTime;     // the time as the line gives it (0 when it gives none)
    };
    // How many skipped lines are listed by default (all are counted).
    static constexpr std::size_t kDefaultListedSkips = 1000;

    // The reason as a user reads it after "line 12: ".
    static const char* GetReasonText(tagSkipReason reason);
    // The same for a skipped line, with the time and the unit it was read
    // in where the reason needs them ("0.05 ms rounds to 0 sampling
    // periods").
    std::string Describe(const SSkippedLine& line) const;

    // The reader appends to these columns; they must stay alive while it
    // reads. Until ResetTable, points are appended after the last point
    // of the time column.
    CImportReader(CDK_ArrayParameter& position, CDK_ArrayParameter& velocity, CDK_ArrayParameter& time);
    ~CImportReader();
    CImportReader(const CImportReader&) = delete;
    CImportReader& operator=(const CImportReader&) = delete;

    // The whole import from an open file: ResetTable, ReadLines, then closes
    // the file. A read error (CFileException*) propagates with the points
    // accepted before it kept; the file is then closed by its owner.
    void Import(CFile& file);

    // Leaves the start point alone in the columns: SetValuesCount(1) on time,
    // position and velocity, then SetValueInInternalUnit(0, 0.0) on the same
    // three in the same order; forgets the lines read so far.
    void ResetTable();
    // Reads the file's lines to its end and takes each point line. A line
    // cut short by a read error is not taken.
    void ReadLines(CFile& file);
    // Takes one line as read from a file (commas not yet replaced; a line
    // feed at its end is allowed). TRUE when the point was appended.
    BOOL AddLine(const char* text);

    // Reads one line whose commas are already full stops: three numbers,
    // finite, a time that is not negative, then each value clamped with its
    // column. FALSE (and the reason, when asked) otherwise; the values are
    // then unspecified.
    BOOL ParseLine(const char* text, double& position, double& velocity, double& time,
                   tagSkipReason* reason = nullptr) const;

    // Points appended since ResetTable (or since construction).
    int GetPointsTaken() const { return m_nTaken; }
    // Lines seen, counting skipped ones.
    long long GetLinesRead() const { return m_nLines; }
    long long GetSkippedCount() const { return m_nSkipped; }
    // The first skipped lines, at most GetMaxListedSkips() of them.
    const std::vector<SSkippedLine>& GetSkippedLines() const { return m_Skipped; }
    std::size_t GetMaxListedSkips() const { return m_nMaxListed; }
    void SetMaxListedSkips(std::size_t count) { m_nMaxListed = count; }
    // Whether a line of two numbers (position, time) is a point line.
    void SetTwoNumberLines(BOOL allowed) { m_bTwoNumberLines = allowed; }

private:
    // ParseLine, also giving the time as read, before clamping.
    BOOL Parse(const char* text, double& position, double& velocity, double& time, double& readTime,
               tagSkipReason& reason) const;
    // Takes a NUL-terminated line whose commas are already full stops.
    BOOL Accept(const char* line);
    void Skip(tagSkipReason reason, double time);

    CDK_ArrayParameter& m_Position;
    CDK_ArrayParameter& m_Velocity;
    CDK_ArrayParameter& m_Time;
    int m_nCount;  // points in the table
    int m_nTaken = 0;
    long long m_nLines = 0;
    long long m_nSkipped = 0;
    std::size_t m_nMaxListed = kDefaultListedSkips;
    BOOL m_bTwoNumberLines = FALSE;
    std::vector<SSkippedLine> m_Skipped;
    std::string m_Line;              // a line that spans blocks of the file
    std::unique_ptr<char[]> m_pBlock;
};
