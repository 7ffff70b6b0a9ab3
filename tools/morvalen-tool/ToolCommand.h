#pragma once

#include <QStringList>

#include <functional>
#include <vector>

// One subcommand of morvalen-tool. run gets the arguments after the command's name and
// returns the exit status; it throws EMorvalenError for unreadable input.
struct ToolCommand
{
    const char* name;
    const char* usage;
    int argumentCount; // exactly this many; -n: at least n
    std::function<int(const QStringList& arguments)> run;
};

std::vector<ToolCommand> SitesCommands();
std::vector<ToolCommand> ConfigCommands();
std::vector<ToolCommand> PictureCommands();
std::vector<ToolCommand> CatalogCommands();
std::vector<ToolCommand> StoresCommands();
