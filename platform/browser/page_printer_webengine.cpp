#include "platform/browser/page_printer_webengine.h"

#include <utility>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QToolBar>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "platform/browser/deletion_hold_qt.h"
#include "platform/browser/pane_control_texts.h"
#include "platform/browser/pdf_file_qt.h"
#include "platform/browser/pdf_target_qt.h"
#include "platform/system/platform_error.h"
#include "platform/system/qt_text.h"

namespace velmora {

namespace {

constexpr int kPrintDotsPerInch = 300;

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

}  // namespace

// A preview that stays while the engine renders into it, whether for its own
// pages or for the printer its print button chose: Qt's code that asked for
// the rendering waits on the stack below, and would return into a deleted
// dialog. A close asked for meanwhile (Escape, its close button, the window
// manager) is carried out once the engine has finished. Its tool bar (print,
// page setup, orientation) waits meanwhile too, disabled: the engine would
// not answer a second request, and the print would come to nothing.
class PrintPreview final : public QPrintPreviewDialog {
public:
    using QPrintPreviewDialog::QPrintPreviewDialog;

    void setRendering(bool rendering)
    {
        rendering_ = rendering;
        if (auto* tools = findChild<QToolBar*>())
            tools->setEnabled(!rendering);
        if (rendering || !std::exchange(closeAsked_, false))
            return;
        QMetaObject::invokeMethod(
            this, [this] {
                if (isVisible())
                    done(Rejected);
            },
            Qt::QueuedConnection);
    }

    void done(int result) override
    {
        if (rendering_) {
            closeAsked_ = true;
            return;
        }
        QPrintPreviewDialog::done(result);
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (rendering_) {
            closeAsked_ = true;
            event->ignore();
            return;
        }
        QPrintPreviewDialog::closeEvent(event);
    }

private:
    bool rendering_ = false;
    bool closeAsked_ = false;
};

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
    // One print at a time: the engine may still be painting on printer_.
    if (preview_ || rendering_)
        return;
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The engine hands each sheet to a printer as a picture at the printer's
    // resolution, and the preview keeps every one: at the 1200 dpi of a PDF
    // printer a sheet is over 500 MB, and a long page took half a minute and
    // gigabytes before its preview showed. 300 dpi is what printers print
    // text at; a PDF file is written by the engine itself, as text.
    printer_->setResolution(kPrintDotsPerInch);
    printer_->setDocName(view_->title());
    if (QPrinterInfo::availablePrinters().isEmpty())
        printer_->setOutputFileName(pdfTarget(view_->page()->profile()->downloadPath(), view_->title()));

    // On the heap: the window it belongs to may be deleted outright while it
    // is open, and takes the preview with it.
    preview_ = new PrintPreview(printer_.get(), view_->window());
    preview_->setAttribute(Qt::WA_DeleteOnClose);
    preview_->setWindowModality(Qt::WindowModal);
    connect(preview_, &QPrintPreviewDialog::paintRequested, this, &PagePrinter::render);
    // The preview's own loops (the engine's render, Qt's print dialog, on
    // Windows its save dialog) wait below it: a window closed meanwhile (a
    // page that closes its own window) ends them and the preview, and goes
    // once the preview has.
    previewHold_ = std::make_unique<DeletionHold>(view_->window(), [this] { endPreview(); });
    connect(preview_, &QObject::destroyed, this, [this] { previewHold_.reset(); });
    preview_->open();
}

void PagePrinter::endPreview()
{
    if (!preview_)
        return;
    for (QDialog* asking : preview_->findChildren<QDialog*>())
        asking->reject();
    preview_->reject();
}

void PagePrinter::render(QPrinter* printer)
{
    // The engine prints one page onto one device at a time and would not
    // answer a second request.
    if (rendering_)
        return;
    rendering_ = true;
    if (preview_)
        preview_->setRendering(true);
    // The preview paints the same printer with an engine of its own.
    const bool toFile = printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()
                        && printer->paintEngine()->type() != QPaintEngine::Picture;
    // Only a folder to write into: the user cancelled the file dialog of
    // Qt's preview, which goes on printing all the same.
    if (toFile && QFileInfo(printer->outputFileName()).isDir()) {
        rendering_ = false;
        if (preview_)
            preview_->setRendering(false);
        return;
    }
    bool printed = false;
    {
        QEventLoop loop;
        const auto finished = [&](bool success) {
            printed = success;
            loop.quit();
        };
        // A renderer that dies takes the answer with it.
        connect(view_->page(), &QWebEnginePage::renderProcessTerminated, &loop, &QEventLoop::quit);
        if (toFile) {
            // A file: the engine writes the PDF itself, its text as text, in
            // the layout and with the pages the dialog chose. Qt's way would
            // paint every sheet as one picture.
            connect(view_->page(), &QWebEnginePage::pdfPrintingFinished, &loop,
                    [&](const QString&, bool success) { finished(success); });
            view_->page()->printToPdf(printer->outputFileName(), printer->pageLayout(), printer->pageRanges());
        } else {
            connect(view_, &QWebEngineView::printFinished, &loop, finished);
            view_->print(printer);
        }
        loop.exec();
    }
    rendering_ = false;
    if (preview_)
        preview_->setRendering(false);
    // The preview's own pages are no file: a failure there is the engine's.
    const QString file = printer->outputFileName();
    if (!printed || (toFile && !isWholePdf(file)))
        reportLater(toFile ? pdfFileFailure(file) : printerFailure(*printer));
}

}  // namespace velmora
