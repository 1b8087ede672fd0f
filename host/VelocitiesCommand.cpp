#include "host/VelocitiesCommand.h"

#include "host/Console.h"
#include "pvt/InternalData.h"
#include "pvt/VelocityGenerator.h"

#include <CLI/CLI.hpp>

#include <vector>

const char* const CVelocitiesCommand::kMethods[2] = {"spline", "monotone"};

std::string CVelocitiesCommand::MethodHelp()
{
    return "spline: the clamped cubic spline through the points, velocity and acceleration continuous; monotone: "
           "no segment overshoots the positions at its ends. Both end at velocity 0";
}

CLI::Validator CVelocitiesCommand::MethodCheck()
{
    return CLI::Validator(
        [](const std::string& name) {
            CVelocityGenerator::tagMethod method = CVelocityGenerator::METHOD_SPLINE;
            if (CVelocityGenerator::FindMethod(name, method))
                return std::string();
            return std::string("expected ") + kMethods[0] + " or " + kMethods[1] + ", not \"" + name + "\"";
        },
        "");
}

CLI::App* CVelocitiesCommand::Register(CLI::App& app)
{
    CLI::App* command = app.add_subcommand(
        "velocities", "compute the velocity column of a parameter text from its times and positions");
    AddFileOptions(*command);
    command->add_option("--method", m_strMethod, MethodHelp())
        ->required()
        ->check(MethodCheck())
        ->type_name("METHOD");
    return command;
}

CString CVelocitiesCommand::Change(CInternalData& data)
{
    CVelocityGenerator::tagMethod method = CVelocityGenerator::METHOD_SPLINE;
    CVelocityGenerator::FindMethod(m_strMethod, method);
    CVelocityGenerator generator;
    std::vector<double> velocities;
    int badPoint = 0;
    const CString refused =
        generator.Generate(method, data.m_Time, data.m_Position, data.m_Velocity, velocities, badPoint);
    if (!refused.IsEmpty())
        return CString(("cannot compute the velocities: " + std::string(refused.View())).c_str());
    data.m_Velocity.SetValuesInInternalUnit(std::move(velocities));
    return CString();
}
