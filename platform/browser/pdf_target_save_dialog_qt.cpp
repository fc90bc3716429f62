#include <QDir>

#include "platform/browser/pdf_target_qt.h"

namespace velmora {

QString pdfTarget(const QString& folder, const QString&)
{
    return QDir::toNativeSeparators(QDir(folder).absolutePath() + QLatin1Char('/'));
}

}  // namespace velmora
