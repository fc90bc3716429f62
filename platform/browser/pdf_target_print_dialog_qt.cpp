#include <QDir>

#include "platform/browser/pane_control_texts.h"
#include "platform/browser/pdf_target_qt.h"
#include "platform/system/qt_text.h"

namespace velmora {

QString pdfTarget(const QString& folder, const QString& pageTitle)
{
    return QDir(folder).filePath(qs(printFileName(pageTitle.toStdString())));
}

}  // namespace velmora
