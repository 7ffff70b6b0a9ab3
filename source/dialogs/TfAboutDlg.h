#pragma once

#include "DialogParts.h"

#include <cstdint>
#include <optional>

// The About box: the logo, the program's version, the owner's notice and the legal warning.
class TfAboutDlg final : public TMVDialog
{
    Q_OBJECT

public:
    // note: a line about this run below the version (the sample catalog it shows); none when
    // empty.
    explicit TfAboutDlg(const QString& versionText, QWidget* parent = nullptr, const QString& note = {});
};

// Shows the About box modally with the packed program version; without a version nothing is
// shown. Returns whether the box was shown.
bool ShowAbout(std::optional<uint32_t> version, QWidget* parent = nullptr, const QString& note = {});
// The same with the program's own version.
bool ShowAbout(QWidget* parent = nullptr, const QString& note = {});
