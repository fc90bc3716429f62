#pragma once
// Where a page goes when there is no printer to send it to: into folder,
// where its downloads go. What the printer is given there depends on what
// Qt's print preview does with it on the platform, and the file is chosen
// in CMake by that: where the preview goes on through Qt's print dialog,
// which offers the file's name to change (X11), the page's title as a file
// name in folder; where it asks in a save dialog of its own instead
// (Windows, macOS), and prints to the printer's file even when the user
// cancels that dialog, the folder alone, which the printer takes for a
// cancel.
#include <QString>

namespace velmora {

QString pdfTarget(const QString& folder, const QString& pageTitle);

}  // namespace velmora
