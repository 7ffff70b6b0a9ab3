#pragma once

#include <QString>

// The unread count a web mail or chat page puts in its title: "(3) Inbox", "[1] Chat" or
// "Inbox (12)". A title is the page's to choose, so only a bare number in those places
// counts and a number too long to be a count is none.
namespace UnreadCount {

// More than this is shown as this; a count never grows past it.
inline constexpr int kMaxCount = 99999;

// The count in a page title; 0 when it shows none.
int FromTitle(const QString& title);

// A window caption or tray hint with the count in front, as mail programs show it; the text
// itself for 0.
QString WithCount(const QString& text, int count);

} // namespace UnreadCount
