#include "host/TableCommand.h"

#include "host/AtomicFile.h"
#include "host/Console.h"
#include "host/FileRoles.h"
#include "host/HostContext.h"
#include "host/HostError.h"
#include "host/HostText.h"
#include "host/InputFile.h"
#include "kernel/Motion.h"
#include "kernel/ParamText.h"
#include "pvt/InternalData.h"
#include "pvt/TrajectoryReport.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

namespace {

// A message of the record (which may hold line feeds) as one line.
std::string OneLine(const CString& message)
{
    std::string line(message.View());
    std::replace(line.begin(), line.end(), '\n', ' ');
    return line;
}

}  // namespace

bool CTableCommand::IsOtherText(const CString& text)
{
    for (const char* key : CInternalData::s_Keys) {
        std::string_view value;
        int line = 0;
        if (CDK_ParamText::Find(text.View(), key, value, line) != CDK_ParamText::PT_ABSENT)
            return false;
    }
    std::string_view rest = text.View();
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        const auto first = line.find_first_not_of(" \t\r\f\v");
        if (first != std::string_view::npos && line[first] != '#')
            return true;
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return false;
}

CString CTableCommand::ReadingMessages(CInternalData& data, const CString& errors)
{
    int badPoint = 0;
    const CString check = data.CheckPoints(badPoint);
    const std::string_view all = errors.View();
    if (!check.IsEmpty() && all.size() >= check.View().size() &&
        all.substr(all.size() - check.View().size()) == check.View())
        return CString(all.substr(0, all.size() - check.View().size()));
    return errors;
}

std::string CTableCommand::UnevenColumns(CInternalData& data) const
{
    const int times = data.m_Time.GetValuesCount();
    const int positions = data.m_Position.GetValuesCount();
    const int velocities = data.m_Velocity.GetValuesCount();
    if (times == positions && velocities != times && !ReadsVelocities())
        data.m_Velocity.SetValuesInInternalUnit(std::vector<double>(static_cast<std::size_t>(times), 0.0));
    else if (times != positions || velocities != times)
        return "cannot change the table: its columns hold " +
               std::to_string(times) + " times, " + std::to_string(positions) + " positions and " +
               std::to_string(velocities) + " velocities";
    return {};
}

std::string CTableCommand::ReportLine(CInternalData& data)
{
    return std::string(CTrajectoryReport::SummaryOf(data).View());
}

void CTableCommand::AddFileOptions(CLI::App& command)
{
    command.add_option("FILE", m_strInput, CInputFile::Help())->required()->type_name("FILE");
    command.add_flag("--in-place", m_bInPlace,
                     "replace FILE (atomically, its permissions kept) instead of printing the text");
}

void CTableCommand::Validate()
{
    if (m_bInPlace && m_strInput == CInputFile::kStandardInput)
        throw SHostError{"--in-place needs a file name: standard input cannot be written back"};
}

void CTableCommand::ListFiles(CFileRoles& files) const
{
    // In place, FILE is the output; it is read before it is replaced.
    if (m_bInPlace)
        files.AddOutput("--in-place", m_strInput);
    else
        files.AddInput("the input file", m_strInput);
}

int CTableCommand::Run(CHostContext& context)
{
    CInputFile input(m_strInput);
    ThrowIf(input.Open());
    std::unique_ptr<CAtomicFile> output;
    if (m_bInPlace) {
        output = std::make_unique<CAtomicFile>(m_strInput);
        ThrowIf(output->Check());
    }
    CString text;
    ThrowIf(input.Read(text));

    // The record as the editor opens it.
    CDK_Motion motion;
    CInternalData data(context.Setup(), motion);
    CString errors;
    if (IsOtherText(text))
        throw SHostError{"cannot use " + CHostText::Name(m_strInput) +
                         ": it holds none of a motion's keys, so it is not a parameter text"};
    data.ReadParameters(text, errors);
    CConsole::Warn(ReadingMessages(data, errors).View());
    // Normalising would cut every column to the shortest: a table whose
    // columns differ is refused instead, but for a missing or short velocity
    // column when the command computes the velocities anyway.
    if (const std::string uneven = UnevenColumns(data); !uneven.empty()) {
        CConsole::Say(uneven + (output ? "; " + CHostText::Name(m_strInput) + " left as it was" : ""));
        return EXIT_FAILED;
    }
    data.NormalizePoints();

    if (const CString refused = Change(data); !refused.IsEmpty()) {
        std::string line = OneLine(refused);
        if (output && line.ends_with('.'))
            line.pop_back();
        CConsole::Say(line + (output ? "; " + CHostText::Name(m_strInput) + " left as it was" : ""));
        return EXIT_FAILED;
    }
    int badPoint = 0;
    if (const CString check = data.CheckPoints(badPoint); !check.IsEmpty())
        CConsole::Warn("the table does not pass validation yet: " + OneLine(check));

    CString params;
    data.WriteParameters(params);
    if (output) {
        ThrowIf(output->Open());
        ThrowIf(output->Write(params.GetString(), static_cast<std::size_t>(params.GetLength())));
        ThrowIf(output->Commit());
    } else {
        CConsole::Out(params);
    }
    if (const std::string report = ReportLine(data); !report.empty())
        CConsole::Say(report);
    return EXIT_OK;
}
