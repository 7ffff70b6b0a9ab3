// morvalen-tool: checks, backs up and restores the program's files. It prints JSON on
// standard output; on unreadable input it prints the reason on standard error and ends
// with status 1.

#include "ToolCommand.h"

#include "common/Errors.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

std::vector<ToolCommand> AllCommands()
{
    std::vector<ToolCommand> commands;
    for (auto&& group :
         {SitesCommands(), ConfigCommands(), PictureCommands(), CatalogCommands(), StoresCommands()})
        commands.insert(commands.end(), group.begin(), group.end());
    return commands;
}

int Usage(const std::vector<ToolCommand>& commands)
{
    std::fputs("Usage: morvalen-tool COMMAND ARGUMENTS...\n\nCommands:\n", stderr);
    for (const ToolCommand& command : commands)
        std::fprintf(stderr, "  %s %s\n", command.name, command.usage);
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const std::vector<ToolCommand> commands = AllCommands();
    if (arguments.isEmpty())
        return Usage(commands);

    const QString name = arguments.takeFirst();
    for (const ToolCommand& command : commands) {
        if (name != QLatin1StringView(command.name))
            continue;
        const bool fits = command.argumentCount >= 0 ? arguments.size() == command.argumentCount
                                                     : arguments.size() >= -command.argumentCount;
        if (!fits) {
            std::fprintf(stderr, "Usage: morvalen-tool %s %s\n", command.name, command.usage);
            return 2;
        }
        try {
            return command.run(arguments);
        } catch (const EMorvalenError& error) {
            std::fprintf(stderr, "morvalen-tool: %s\n", error.what());
            return 1;
        }
    }
    return Usage(commands);
}
