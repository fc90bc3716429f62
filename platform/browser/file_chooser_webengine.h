#pragma once
// The file chooser of a page's <input type=file>: what it offers for the
// page's accept="..." list, and the chooser itself, over the page's window.
#include <QStringList>
#include <QWebEnginePage>

namespace velmora {

// What the chooser offers for a page's accept="..." list (file name endings
// and MIME types, "image/*" among them): the matching files, then all files;
// all files alone when the page names no type.
QStringList uploadNameFilters(const QStringList& acceptedTypes);

// The chooser, modal to the page's window and opening in folder. The files
// chosen, or none when the user cancels or the page or its window goes away
// meanwhile.
QStringList choosePageFiles(QWebEnginePage* page, QWebEnginePage::FileSelectionMode mode,
                            const QStringList& oldFiles, const QStringList& acceptedTypes, const QString& folder);

}  // namespace velmora
