#pragma once
// What the about box says, and starting the system-information tool from it.
// Kept apart from the window so that the texts and the layout of the
// description can be checked on their own.

#include <QString>
#include <QStringList>

namespace about {

// The program's version.
inline constexpr int kMajor = 2;
inline constexpr int kMinor = 4;
inline constexpr int kRevision = 13;

// "关于 Lumetra".
QString caption();
// The application title, "Lumetra".
QString titleText();
// "版本 2.4.13".
QString versionText(int major = kMajor, int minor = kMinor, int revision = kRevision);

// The description as plain lines. A line "heading: value" (ASCII colon) is
// an item; a line starting with blanks continues the item above it; any
// other line stands on its own.
QStringList descriptionLines();
// The description lines joined by line breaks.
QString descriptionText();
// The description as rich text for the label: items in a two-column table,
// so that a continuation line sits exactly under the value above it
// whatever the font; other lines as paragraphs of their own.
QString descriptionHtml(const QStringList& lines = descriptionLines());

// The notice under the separator.
QString disclaimerText();

// The message when no system-information tool can be started.
QString sysInfoUnavailableMessage();

// Starts `tool` in a window of its own, without arguments, and does not wait
// for it. False when `tool` is empty or cannot be started.
bool startTool(const QString& tool);

} // namespace about
