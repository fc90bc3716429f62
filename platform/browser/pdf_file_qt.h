#pragma once
// What a page printed to a PDF file left on the disk says about the print:
// the PDF engine goes on writing when the disk is full and reports nothing,
// so the file itself is the witness.
#include <QString>

#include "platform/system/platform_error.h"

namespace velmora {

// Whether file ends with a PDF's end-of-file marker, as a whole one does.
bool isWholePdf(const QString& file);

// Why file could not be written, in the system's words, as the printing
// library gives none: a folder that takes no file (NoWritePermission), a
// disk without room for a page (DiskFull), else the renderer (Unclassified).
// A cut-off file is removed, as nobody could read it; a whole one is kept.
PlatformError pdfFileFailure(const QString& file);

}  // namespace velmora
