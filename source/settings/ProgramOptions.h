#pragma once

#include <QString>
#include <QStringList>

// The program's own command-line options, taken out before the parameters that a site
// shortcut or the autostart entry pass ("runminimized", "Element=...").
struct ProgramOptions
{
    static constexpr char16_t kDefaultCatalogServer[] = u"http://127.0.0.1:8370";

    QString dataFolder;
    QString catalogServer = QString::fromUtf16(kDefaultCatalogServer);
    // The catalog server is the sample one this run started for itself: its address holds
    // for this run only and is never passed on.
    bool sampleCatalog = false;
    // Whether the command line named a catalog server (the default one included).
    bool catalogServerGiven = false;
    bool help = false;
    bool version = false;
    // Everything else, unchanged and in order.
    QStringList parameters;
    // Set when an option lacks its value.
    QString error;

    // arguments without the program's own path.
    static ProgramOptions Parse(const QStringList& arguments);
    static QString Usage();

    // The options a launcher or the autostart entry passes on, so that the program it starts
    // uses the same data folder (made absolute) and catalog server; the defaults are left out.
    QStringList ForwardedArguments() const;
};
