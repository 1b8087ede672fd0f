// CPreviewCommand: `motionhost preview FILE [--csv OUT] [--png OUT]
// [--size WxH]`: the trajectory preview exactly as the editor shows it right
// after opening FILE.
//
// As the editor opens a text: a record on the setup reads it with errors
// ignored (each line of them is printed as a warning), NormalizePoints, then
// the preview graph's set-up and one rebuild (CPreviewGraph, CPreviewBuilder), which drops
// the points that do not advance by a whole sampling period (a warning says
// how many), and the selection on point 0.
//
// Outputs (each written atomically; "-" is standard output, for one of them):
//   --csv OUT  "sample,time,position,velocity,acceleration", then one row
//              per sample in the display units of the text (the acceleration
//              in the velocity unit per time unit: the change of velocity
//              from the sample before, 0 for sample 0), each number in the
//              shortest form that reads back as the same double (C locale);
//   --png OUT  the graph as the dialog draws it, offscreen, at --size
//              (default 1200x700);
//   neither    a summary on standard output: points, samples, and the range
//              of time, position and velocity with their units.
// A trajectory too long to draw (over the sample budget) or too big for the
// memory is said on standard error; the PNG shows the graph's message and
// the CSV is not written (its old file stays; a warning says so). A table
// that fails validation is previewed all the same, its message a warning.
// Every output is opened (checked, its temporary file made) before the
// input is read, and the files are renamed into place only after all of
// them were written: a failure (a full device, a broken pipe) leaves every
// file as it was. Exit status 0 whenever a preview was made.
#pragma once

#include "host/Command.h"

#include <string>

namespace CLI {
class Option;
}

class CPreviewCommand : public CCommand {
public:
    static constexpr int kDefaultWidth = 1200;
    static constexpr int kDefaultHeight = 700;
    // Below this the axes' labels and the legend do not fit beside the curves.
    static constexpr int kMinWidth = 320;
    static constexpr int kMinHeight = 200;
    // The graph's own limit for an offscreen image.
    static constexpr int kMaxSide = 16384;

    // Reads "WIDTHxHEIGHT" (digits, "x" or "X", digits). The empty text, or
    // a one-line message for a text of another form or a size out of range.
    static std::string ParseSize(const std::string& text, int& width, int& height);

    CLI::App* Register(CLI::App& app) override;
    const char* Example() const override
    {
        return "preview examples/multi-point.pvt --png preview.png --size 1600x900";
    }
    bool UsesModule() const override { return false; }
    void Validate() override;
    void ListFiles(CFileRoles& files) const override;
    int Run(CHostContext& context) override;

private:
    std::string m_strInput;
    std::string m_strCsv;  // empty: none
    std::string m_strPng;  // empty: none
    std::string m_strSize;
    CLI::Option* m_pSizeOption = nullptr;
    int m_nWidth = kDefaultWidth;
    int m_nHeight = kDefaultHeight;
};
