#include "settings/ProgramOptions.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(ProgramOptions, OwnOptionsAreTakenOutAndTheRestStaysInOrder)
{
    const ProgramOptions options =
        ProgramOptions::Parse({u"runminimized"_s, u"--data-folder=/tmp/a b"_s, u"Element=ABC RunMinimized"_s,
                               u"--catalog-server"_s, u"http://127.0.0.1:9000"_s, u"--unknown"_s});
    EXPECT_EQ(options.dataFolder, u"/tmp/a b"_s);
    EXPECT_EQ(options.catalogServer, u"http://127.0.0.1:9000"_s);
    EXPECT_EQ(options.parameters,
              QStringList({u"runminimized"_s, u"Element=ABC RunMinimized"_s, u"--unknown"_s}));
    EXPECT_FALSE(options.help);
    EXPECT_TRUE(options.error.isEmpty());
}

TEST(ProgramOptions, DefaultsAndFlags)
{
    const ProgramOptions none = ProgramOptions::Parse({});
    EXPECT_EQ(none.catalogServer, u"http://127.0.0.1:8370"_s);
    EXPECT_TRUE(none.dataFolder.isEmpty());
    EXPECT_TRUE(none.parameters.isEmpty());

    const ProgramOptions flags = ProgramOptions::Parse({u"--help"_s, u"--version"_s});
    EXPECT_TRUE(flags.help);
    EXPECT_TRUE(flags.version);
    EXPECT_TRUE(flags.parameters.isEmpty());
}

TEST(ProgramOptions, OptionWithoutItsValueIsAnError)
{
    const ProgramOptions options = ProgramOptions::Parse({u"--data-folder"_s});
    EXPECT_FALSE(options.error.isEmpty());
}

TEST(ProgramOptions, LaunchersForwardTheDataFolderAbsoluteAndOnlyANonDefaultServer)
{
    EXPECT_TRUE(ProgramOptions::Parse({u"runminimized"_s}).ForwardedArguments().isEmpty());

    const ProgramOptions options =
        ProgramOptions::Parse({u"--data-folder"_s, u"sites"_s, u"--catalog-server=http://example.test:1"_s});
    EXPECT_EQ(options.ForwardedArguments(),
              QStringList({u"--data-folder="_s + QDir::currentPath() + u"/sites"_s,
                           u"--catalog-server=http://example.test:1"_s}));
}
