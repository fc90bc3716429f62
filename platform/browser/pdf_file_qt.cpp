#include "platform/browser/pdf_file_qt.h"

#include <system_error>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include "platform/browser/pane_control_texts.h"

namespace velmora {

bool isWholePdf(const QString& file)
{
    QFile pdf(file);
    constexpr qint64 kTail = 32;
    return pdf.open(QIODevice::ReadOnly) && pdf.size() > kTail && pdf.seek(pdf.size() - kTail)
           && pdf.read(kTail).contains("%%EOF");
}

PlatformError pdfFileFailure(const QString& file)
{
    constexpr qint64 kRoomForAPage = 64 * 1024;
    const std::string where = QDir::toNativeSeparators(file).toStdString() + "：";
    QFile probe(file);
    const bool existed = probe.exists();
    if (!probe.open(QIODevice::Append))
        return PlatformError(FailureClass::NoWritePermission, std::string(kPrintFailed),
                             where + probe.errorString().toStdString());
    probe.close();
    const bool diskFull = QStorageInfo(QFileInfo(file).absolutePath()).bytesAvailable() < kRoomForAPage;
    if (!existed || !isWholePdf(file))
        probe.remove();
    if (diskFull)
        return PlatformError(FailureClass::DiskFull, std::string(kPrintFailed),
                             where + std::make_error_code(std::errc::no_space_on_device).message());
    return PlatformError(std::string(kPrintFailed), where + std::string(kPrintRenderFailed));
}

}  // namespace velmora
