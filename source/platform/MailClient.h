#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Hands a mail to the user's mail client: the program that the desktop names as the
// handler of "mailto:" addresses, started directly (no shell) with a composed address.
namespace MailClient {

// Longest command line handed to the mail client; a longer one is cut.
inline constexpr qsizetype kMaxCommandLine = 32766;

// The mail client's command (program and arguments, field codes still in place), or
// nothing when no handler is registered.
std::optional<QStringList> RegisteredCommand();

// Line feed, carriage return, blank and "#%+<>? become %XX; everything else stays.
QString Escape(const QString& text);
// ";" separates like ","; entries are trimmed, empty ones dropped.
QString NormalizeRecipients(const QString& recipients);
QString Address(const QString& recipients, const QString& subject, const QString& body);

// The command with the address in place of %u, %U or %1 (or appended as a last argument when
// it has neither), other field codes removed, and the address cut so that the whole
// command line stays within kMaxCommandLine without splitting an escape.
QStringList Command(const QStringList& registered, const QString& address);

// Cuts text to at most limit characters, shorter still where that would split a %XX escape.
QString CutWithoutSplittingEscape(const QString& text, qsizetype limit);

// Whether the mail client could be started.
bool SendMailToClient(const QString& recipients, const QString& subject, const QString& body);

} // namespace MailClient
