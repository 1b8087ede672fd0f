#include "host/ImportCommand.h"

#include "host/AtomicFile.h"
#include "host/Console.h"
#include "host/FileRoles.h"
#include "host/HostContext.h"
#include "host/HostError.h"
#include "host/HostText.h"
#include "host/InputFile.h"
#include "kernel/Motion.h"
#include "kernel/ParamText.h"
#include "platform/Exception.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "pvt/ImportReader.h"
#include "pvt/InternalData.h"
#include "pvt/PreviewBuilder.h"

#include <CLI/CLI.hpp>

#include <cstring>
#include <memory>
#include <string_view>

namespace {

// The messages of reading `text`, without the validation of its table,
// which the import replaces: it is the last message ReadParameters collects,
// and CheckPoints gives it again on the same record.
CString ReadingMessages(CInternalData& data, const CString& errors)
{
    int badPoint = 0;
    const CString check = data.CheckPoints(badPoint);
    const std::string_view all = errors.View();
    if (!check.IsEmpty() && all.size() >= check.View().size() && all.substr(all.size() - check.View().size()) == check.View())
        return CString(all.substr(0, all.size() - check.View().size()));
    return errors;
}

// Whether `text` holds something other than blank space and comments but
// none of a motion's keys: then it is not a parameter text.
bool IsOtherText(const CString& text)
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

// A file exception as the host's other commands say the same fault.
std::string Problem(const std::string& path, const CFileException& error)
{
    std::string reason;
    if (error.m_lOsError > 0)
        reason = std::strerror(static_cast<int>(error.m_lOsError));
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
    std::string report;
    for (const CImportReader::SSkippedLine& line : reader.GetSkippedLines())
        report += name + ":" + std::to_string(line.nLine) + ": skipped: " + reader.Describe(line) + "\n";
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

}  // namespace

CLI::App* CImportCommand::Register(CLI::App& app)
{
    CLI::App* command = app.add_subcommand(
        "import", "read a points file with the editor's import rules and print the parameter text, or put it into FILE");
    command->add_option("POINTS", m_strPoints, "the points file: position, velocity and time on each line")->required();
    command->add_option("--into", m_strInto,
                        "replace the table of this parameter text file (atomically), keeping its other parameters");
    return command;
}

void CImportCommand::ListFiles(CFileRoles& files) const
{
    files.AddInput("the points file", m_strPoints);
    files.AddOutput("--into", m_strInto);
}

int CImportCommand::Run(CHostContext& context)
{
    CFile file;
    OpenPoints(file, m_strPoints);
    CString text;
    std::unique_ptr<CAtomicFile> output;
    if (m_strInto.empty()) {
        text = context.DefaultText();
    } else {
        // The target's kind before anything is read: a named pipe is not
        // waited for, a device not read.
        output = std::make_unique<CAtomicFile>(m_strInto);
        ThrowIf(output->Check());
        CInputFile input(m_strInto);
        ThrowIf(input.Read(text));
        if (IsOtherText(text))
            throw SHostError{"cannot import into " + CHostText::Name(m_strInto) +
                             ": it holds none of a motion's keys, so it is not a parameter text"};
        ThrowIf(output->Open());
    }

    // The record as the editor opens it.
    CDK_Motion motion;
    CInternalData data(context.Setup(), motion);
    CString errors;
    data.ReadParameters(text, errors);
    if (output) {
        const CString reading = ReadingMessages(data, errors);
        if (!reading.IsEmpty())
            CConsole::Warn(reading.View(), CHostText::Name(m_strInto));
    }
    data.NormalizePoints();

    CImportReader reader(data.m_Position, data.m_Velocity, data.m_Time);
    reader.SetMaxListedSkips(kListedSkips);
    try {
        reader.Import(file);
    } catch (CException* e) {
        const auto* fileError = dynamic_cast<const CFileException*>(e);
        const std::string message = fileError ? Problem(m_strPoints, *fileError) : std::string(e->GetMessage().View());
        e->Delete();
        throw SHostError{message};
    }
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

    int badPoint = 0;
    const CString check = data.CheckPoints(badPoint);
    if (!check.IsEmpty())
        CConsole::Warn("the table does not pass validation yet: " + std::string(check.View()));

    CString params;
    data.WriteParameters(params);
    if (output) {
        ThrowIf(output->Write(params.GetString(), static_cast<std::size_t>(params.GetLength())));
        ThrowIf(output->Commit());
    } else {
        CConsole::Out(params);
    }
    return EXIT_OK;
}
