#include "platform/browser/page_printer_webengine.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QDir>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "platform/browser/deletion_hold_qt.h"
#include "platform/browser/pane_control_texts.h"
#include "platform/browser/pdf_file_qt.h"
#include "platform/system/platform_error.h"
#include "platform/system/qt_text.h"

namespace velmora {

namespace {

// A failure goes to the single handling of failures the way any handler's
// does: thrown, here from an event of its own, since the print dialogs'
// code that called the renderer is not written to be unwound.
void reportLater(PlatformError error)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [error = std::move(error)] { throw error; }, Qt::QueuedConnection);
}

PlatformError printerFailure(const QPrinter& printer)
{
    return PlatformError(std::string(kPrintFailed), std::string(printer.printerState() == QPrinter::Error
                                                                    ? kPrinterFailed
                                                                    : kPrintRenderFailed));
}

// Where a page goes when there is no printer to send it to: where its
// downloads go.
QString pdfFileFor(const QWebEngineView& view)
{
    return QDir(view.page()->profile()->downloadPath()).filePath(qs(printFileName(view.title().toStdString())));
}

}  // namespace

PagePrinter::PagePrinter(QWebEngineView* view) : QObject(view), view_(view)
{
    connect(view, &QWebEngineView::printRequested, this, &PagePrinter::printWithPreview);
}

PagePrinter::~PagePrinter()
{
    delete preview_.data();
}

void PagePrinter::printWithPreview()
{
    if (preview_)
        return;
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setDocName(view_->title());
    if (QPrinterInfo::availablePrinters().isEmpty())
        printer_->setOutputFileName(pdfFileFor(*view_));

    // On the heap: the window it belongs to may go while it is open (a page
    // that closes its own window), and takes the preview with it.
    preview_ = new QPrintPreviewDialog(printer_.get(), view_->window());
    preview_->setAttribute(Qt::WA_DeleteOnClose);
    preview_->setWindowModality(Qt::WindowModal);
    connect(preview_, &QPrintPreviewDialog::paintRequested, this, &PagePrinter::render);
    preview_->open();
}

void PagePrinter::render(QPrinter* printer)
{
    // The engine prints one page onto one device at a time and would not
    // answer a second request.
    if (rendering_)
        return;
    rendering_ = true;
    // The preview paints the same printer with an engine of its own.
    const bool toFile = printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()
                        && printer->paintEngine()->type() != QPaintEngine::Picture;
    bool printed = false;
    {
        // A page that closes its window meanwhile would take the preview,
        // whose code waits on the stack below this loop, with it.
        const DeletionHold hold(view_->window());
        QEventLoop loop;
        connect(view_, &QWebEngineView::printFinished, &loop, [&](bool success) {
            printed = success;
            loop.quit();
        });
        // A renderer that dies takes the answer with it.
        connect(view_->page(), &QWebEnginePage::renderProcessTerminated, &loop, &QEventLoop::quit);
        view_->print(printer);
        loop.exec();
    }
    rendering_ = false;
    // The preview's own pages are no file: a failure there is the engine's.
    const QString file = printer->outputFileName();
    if (!printed || (toFile && !isWholePdf(file)))
        reportLater(toFile ? pdfFileFailure(file) : printerFailure(*printer));
}

}  // namespace velmora
