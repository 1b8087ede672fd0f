#include "host/ImportCommand.h"

#include "host/AtomicFile.h"
#include "host/Console.h"
#include "host/FileRoles.h"
#include "host/HostContext.h"
#include "host/HostError.h"
#include "host/HostText.h"
#include "host/InputFile.h"
#include "host/TableCommand.h"
#include "host/VelocitiesCommand.h"
#include "kernel/Motion.h"
#include "kernel/ParamText.h"
#include "platform/Exception.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "pvt/ImportReader.h"
#include "pvt/InternalData.h"
#include "pvt/PreviewBuilder.h"
#include "pvt/VelocityGenerator.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace {

// A file exception as the host's other commands say the same fault.
std::string Problem(const std::string& path, const CFileException& error)
{
    std::string reason;
    if (error.m_lOsError > 0)
        reason = CHostText::Reason(static_cast<int>(error.m_lOsError));
    else if (error.m_cause == CFileException::invalidFile)
        reason = "it is not a regular file";
    else if (error.m_cause == CFileException::sharingViolation || error.m_cause == CFileException::lockViolation)
        reason = "another program holds a lock on it";
    else
        return std::string(error.GetMessage().View());
    return "cannot read " + CHostText::Name(path) + ": " + reason;
}

// The points file, opened as the dialog opens it (reading, others kept from
// writing it meanwhile), no larger than an input text may be.
void OpenPoints(CFile& file, const std::string& path)
{
    // Its kind and size as every input's.
    CInputFile input(path);
    ThrowIf(input.Open());
    CFileException error;
    if (!file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite, &error))
        throw SHostError{Problem(path, error)};
}

// The skipped lines and the count of points taken, for standard error.
std::string Report(const CImportReader& reader, const std::string& points, int taken)
{
    const std::string name = CHostText::Name(points);
    const std::string location = CHostText::Location(points);
    std::string report;
    for (const CImportReader::SSkippedLine& line : reader.GetSkippedLines())
        report += location + ":" + std::to_string(line.nLine) + ": skipped: " + reader.Describe(line) + "\n";
    const long long skipped = reader.GetSkippedCount();
    const long long unlisted = skipped - static_cast<long long>(reader.GetSkippedLines().size());
    if (unlisted > 0)
        report += std::string(CConsole::kPrefix) + CHostText::Plural(unlisted, "more line", "more lines") + " skipped\n";
    const std::string skips = skipped > 0 ? ", " + CHostText::Plural(skipped, "line", "lines") + " skipped" : "";
    report += std::string(CConsole::kPrefix) +
              (taken > 0 ? CHostText::Plural(taken, "point", "points") : std::string("no point")) + " taken from " +
              name + skips;
    return report;
}

// Reads the points into the reader's columns: a file as the dialog opens
// it (CFile), or standard input (every line, as the file's would be).
void ReadPoints(CImportReader& reader, const std::string& points)
{
    if (points == CInputFile::kStandardInput) {
        CInputFile input(points);
        CString text;
        ThrowIf(input.Read(text));
        reader.ResetTable();
        std::string_view rest = text.View();
        while (!rest.empty()) {
            const auto end = rest.find('\n');
            reader.AddLine(std::string(rest.substr(0, end)).c_str());
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        }
        return;
    }
    CFile file;
    OpenPoints(file, points);
    try {
        reader.Import(file);
    } catch (CException* e) {
        const auto* fileError = dynamic_cast<const CFileException*>(e);
        const std::string message = fileError ? Problem(points, *fileError) : std::string(e->GetMessage().View());
        e->Delete();
        throw SHostError{message};
    }
}

}  // namespace

CLI::App* CImportCommand::Register(CLI::App& app)
{
    CLI::App* command = app.add_subcommand(
        "import", "read a points file into a motion's table, printed or put into FILE");
    command
        ->add_option("POINTS", m_strPoints,
                     "the points file (- reads standard input): position, velocity and time on each line, in the "
                     "display units of FILE, or of the default text (rot, rpm, s on the default drive)")
        ->required()
        ->type_name("POINTS");
    command
        ->add_option("--into", m_strInto,
                     "replace the table of this parameter text file (atomically), keeping its other parameters; a "
                     "FILE that does not exist starts from the default text")
        ->type_name("FILE");
    command
        ->add_option("--velocities", m_strVelocities,
                     "compute the velocities from the positions and times: a line of two numbers (position, time) "
                     "is a point line too, and the velocities of three-number lines are replaced. " +
                         CVelocitiesCommand::MethodHelp())
        ->check(CVelocitiesCommand::MethodCheck())
        ->type_name("METHOD");
    return command;
}

void CImportCommand::ListFiles(CFileRoles& files) const
{
    files.AddInput("the points file", m_strPoints);
    files.AddOutput("--into", m_strInto);
}

// The text the points go into: FILE's, or the module's default text (for no
// FILE, or one that does not exist yet). Every check of FILE comes here,
// before anything is printed.
CString CImportCommand::TargetText(CHostContext& context, std::unique_ptr<CAtomicFile>& output) const
{
    if (m_strInto.empty())
        return context.DefaultText();
    // The target's kind before anything is read: a named pipe is not waited
    // for, a device not read.
    output = std::make_unique<CAtomicFile>(m_strInto);
    ThrowIf(output->Check());
    struct stat info = {};
    if (stat(m_strInto.c_str(), &info) != 0 && errno == ENOENT) {
        ThrowIf(output->Open());
        return context.DefaultText();
    }
    CInputFile input(m_strInto);
    CString text;
    ThrowIf(input.Read(text));
    if (CTableCommand::IsOtherText(text))
        throw SHostError{"cannot import into " + CHostText::Name(m_strInto) +
                         ": it holds none of a motion's keys, so it is not a parameter text"};
    ThrowIf(output->Open());
    return text;
}

int CImportCommand::Run(CHostContext& context)
{
    if (m_strPoints != CInputFile::kStandardInput) {
        CFile probe;  // POINTS is checked first, before FILE is looked at
        OpenPoints(probe, m_strPoints);
    }
    std::unique_ptr<CAtomicFile> output;
    const CString text = TargetText(context, output);

    // The record as the editor opens it.
    CDK_Motion motion;
    CInternalData data(context.Setup(), motion);
    CString errors;
    CString params = text;
    data.ReadParameters(params, errors);
    if (output) {
        const CString reading = CTableCommand::ReadingMessages(data, errors);
        if (!reading.IsEmpty())
            CConsole::Warn(reading.View(), CHostText::Name(m_strInto));
    }
    data.NormalizePoints();
    CConsole::Say("points read in " + std::string(data.m_Position.GetSelectedUnit().View()) + ", " +
                  std::string(data.m_Velocity.GetSelectedUnit().View()) + ", " +
                  std::string(data.m_Time.GetSelectedUnit().View()) + ", the units of " +
                  (m_strInto.empty() ? std::string("the default text") : CHostText::Name(m_strInto)));

    CImportReader reader(data.m_Position, data.m_Velocity, data.m_Time);
    reader.SetMaxListedSkips(kListedSkips);
    reader.SetTwoNumberLines(m_strVelocities.empty() ? FALSE : TRUE);
    ReadPoints(reader, m_strPoints);
    // The editor's import ends with the preview's rebuild, which drops the
    // points that do not advance by a whole sampling period.
    CPreviewBuilder::RemovePointsThatDoNotAdvance(data);

    const int taken = data.m_Time.GetValuesCount() - 1;
    const std::string report = Report(reader, m_strPoints, taken);
    if (taken <= 0) {
        CConsole::Err(report + (output ? "; " + CHostText::Name(m_strInto) + " left as it was" : "") + "\n");
        return EXIT_FAILED;
    }
    CConsole::Err(report + "\n");
    if (!m_strVelocities.empty())
        ComputeVelocities(data);
    int badPoint = 0;
    if (const CString check = data.CheckPoints(badPoint); !check.IsEmpty())
        CConsole::Warn("the table does not pass validation yet: " + std::string(check.View()));

    params = CString();
    data.WriteParameters(params);
    if (!output) {
        CConsole::Out(params);
        ReportTable(data);
        return EXIT_OK;
    }
    ThrowIf(output->Write(params.GetString(), static_cast<std::size_t>(params.GetLength())));
    ThrowIf(output->Commit());
    ReportTable(data);
    return EXIT_OK;
}

void CImportCommand::ComputeVelocities(CInternalData& data) const
{
    CVelocityGenerator::tagMethod method = CVelocityGenerator::METHOD_SPLINE;
    CVelocityGenerator::FindMethod(m_strVelocities, method);
    CVelocityGenerator generator;
    std::vector<double> velocities;
    int badPoint = 0;
    // The imported points advance by whole sampling periods: the times pass.
    ThrowIf(generator.Generate(method, data.m_Time, data.m_Position, data.m_Velocity, velocities, badPoint));
    data.m_Velocity.SetValuesInInternalUnit(std::move(velocities));
}

void CImportCommand::ReportTable(CInternalData& data) const
{
    if (m_strVelocities.empty())
        return;
    if (const std::string report = CTableCommand::ReportLine(data); !report.empty())
        CConsole::Say(report);
}
