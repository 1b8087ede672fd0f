#include "host/ImportCommand.h"

#include "host/Console.h"
#include "host/HostError.h"
#include "host/InputFile.h"
#include "host/AtomicFile.h"
#include "kernel/Motion.h"
#include "platform/Exception.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "pvt/ImportReader.h"
#include "pvt/InternalData.h"
#include "pvt/PreviewBuilder.h"

#include <memory>
#include <string_view>

namespace {

constexpr int kNoPoint = 1;

void ThrowIf(const CString& error)
{
    if (!error.IsEmpty())
        throw SHostError{error.GetString()};
}

std::string Plural(long long count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

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

}  // namespace

int CImportCommand::Run(CDK_Setup& setup, const std::string& points, const std::string& into,
                        const std::function<CString()>& defaultText)
{
    // The points file first, as the dialog opens it: reading, others kept
    // from writing it meanwhile.
    CFile file;
    {
        CFileException error;
        if (!file.Open(points.c_str(), CFile::modeRead | CFile::shareDenyWrite, &error))
            throw SHostError{error.GetMessage().GetString()};
    }

    CString text;
    std::unique_ptr<CAtomicFile> output;
    if (into.empty()) {
        text = defaultText();
    } else {
        CInputFile input(into);
        if (const CString error = input.Read(text); !error.IsEmpty())
            throw SHostError{error.GetString()};
        output = std::make_unique<CAtomicFile>(into);
        ThrowIf(output->Open());
    }

    // The record as the editor opens it.
    CDK_Motion motion;
    CInternalData data(setup, motion);
    CString errors;
    data.ReadParameters(text, errors);
    if (output) {
        const CString reading = ReadingMessages(data, errors);
        if (!reading.IsEmpty())
            CConsole::Warn(reading.View(), into);
    }
    data.NormalizePoints();

    CImportReader reader(data.m_Position, data.m_Velocity, data.m_Time);
    reader.SetMaxListedSkips(kListedSkips);
    try {
        reader.Import(file);
    } catch (CException* e) {
        const CString message = e->GetMessage();
        e->Delete();
        throw SHostError{message.GetString()};
    }
    // The editor's import ends with the preview's rebuild, which drops the
    // points that do not advance by a whole sampling period.
    CPreviewBuilder::RemovePointsThatDoNotAdvance(data);

    std::string report;
    for (const CImportReader::SSkippedLine& line : reader.GetSkippedLines())
        report += points + ":" + std::to_string(line.nLine) + ": skipped: " +
                  CImportReader::GetReasonText(line.nReason) + "\n";
    const long long skipped = reader.GetSkippedCount();
    const long long unlisted = skipped - static_cast<long long>(reader.GetSkippedLines().size());
    if (unlisted > 0)
        report += std::string(CConsole::kPrefix) + Plural(unlisted, "more line", "more lines") + " skipped\n";
    const int taken = data.m_Time.GetValuesCount() - 1;
    const std::string skips = skipped > 0 ? ", " + Plural(skipped, "line", "lines") + " skipped" : "";
    if (taken <= 0) {
        report += std::string(CConsole::kPrefix) + "no point taken from " + points + skips +
                  (output ? "; " + into + " left as it was" : "") + "\n";
        CConsole::Err(report);
        return kNoPoint;
    }
    report += std::string(CConsole::kPrefix) + Plural(taken, "point", "points") + " taken from " + points + skips + "\n";
    CConsole::Err(report);

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
    return 0;
}
