#include "ProgramOptions.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

ProgramOptions ProgramOptions::Parse(const QStringList& arguments)
{
    ProgramOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        // --name=value or --name value
        const auto value = [&](const QString& name, QString& target) {
            if (argument.startsWith(name + u'=')) {
                target = argument.mid(name.size() + 1);
                return true;
            }
            if (argument != name)
                return false;
            if (i + 1 < arguments.size())
                target = arguments.at(++i);
            else
                options.error = u"The option %1 needs a value."_s.arg(name);
            return true;
        };
        if (argument == u"--help"_s || argument == u"-h"_s)
            options.help = true;
        else if (argument == u"--version"_s)
            options.version = true;
        else if (value(u"--catalog-server"_s, options.catalogServer))
            options.catalogServerGiven = true;
        else if (!value(u"--data-folder"_s, options.dataFolder))
            options.parameters.append(argument);
    }
    return options;
}

QString ProgramOptions::Usage()
{
    return u"Usage: morvalen-desktop [OPTIONS] [runminimized] [\"Element=ID\"]\n"
           "\n"
           "  --data-folder=DIR        keep the installed sites, settings and caches in DIR\n"
           "  --catalog-server=URL     read the catalog from URL (default http://127.0.0.1:8370)\n"
           "  --help                   show this help and end\n"
           "  --version                show the version and end\n"
           "\n"
           "  runminimized             start hidden in the notification area\n"
           "  \"Element=ID\"             open the installed site with this identifier\n"_s;
}

QStringList ProgramOptions::ForwardedArguments() const
{
    QStringList arguments;
    if (!dataFolder.isEmpty())
        arguments.append(u"--data-folder="_s + QFileInfo(dataFolder).absoluteFilePath());
    if (!sampleCatalog && catalogServer != QStringView(kDefaultCatalogServer))
        arguments.append(u"--catalog-server="_s + catalogServer);
    return arguments;
}
