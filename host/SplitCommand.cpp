#include "host/SplitCommand.h"

#include "host/Console.h"
#include "host/HostText.h"
#include "pvt/InternalData.h"
#include "pvt/SegmentSplitter.h"

#include <CLI/CLI.hpp>

CLI::App* CSplitCommand::Register(CLI::App& app)
{
    CLI::App* command = app.add_subcommand(
        "split", "divide the segments of a parameter text that are too long (over 511 sampling periods) or too steep "
        "(a position step beyond the signed 24-bit range) for the drive");
    AddFileOptions(*command);
    return command;
}

CString CSplitCommand::Change(CInternalData& data)
{
    CSegmentSplitter::SResult split;
    int badPoint = 0;
    const CString refused = CSegmentSplitter::Split(data.m_Time, data.m_Position, data.m_Velocity, split, badPoint);
    if (!refused.IsEmpty())
        return CString(("cannot split the table: " + std::string(refused.View())).c_str());
    data.m_Time.SetValuesInInternalUnit(std::move(split.time));
    data.m_Position.SetValuesInInternalUnit(std::move(split.position));
    data.m_Velocity.SetValuesInInternalUnit(std::move(split.velocity));
    CConsole::Say(split.added > 0 ? CHostText::Plural(split.added, "point", "points") + " added"
                                  : std::string("no segment to split: the table is unchanged"));
    return CString();
}
