#include "platform/browser/file_chooser_webengine.h"

#include <QFileDialog>
#include <QMimeDatabase>
#include <QPointer>
#include <QWebEngineView>

#include "platform/browser/browser_texts.h"
#include "platform/browser/page_dialog_loop_qt.h"
#include "platform/browser/page_dialogs_webengine.h"
#include "platform/system/qt_text.h"

namespace velmora {

QStringList uploadNameFilters(const QStringList& acceptedTypes)
{
    const QMimeDatabase types;
    QStringList patterns;
    for (const QString& accepted : acceptedTypes) {
        if (accepted.startsWith(QLatin1Char('.'))) {
            patterns << QLatin1Char('*') + accepted;
        } else if (accepted.endsWith(QLatin1String("/*"))) {
            const QString family = accepted.chopped(1);
            for (const QMimeType& type : types.allMimeTypes())
                if (type.name().startsWith(family))
                    patterns << type.globPatterns();
        } else {
            patterns << types.mimeTypeForName(accepted).globPatterns();
        }
    }
    patterns.removeDuplicates();
    const QString all = qs(kAllFilesFilter) + QStringLiteral(" (*)");
    if (patterns.isEmpty())
        return {all};
    return {qs(kAcceptedFilesFilter) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'), all};
}

QStringList choosePageFiles(QWebEnginePage* page, QWebEnginePage::FileSelectionMode mode,
                            const QStringList& oldFiles, const QStringList& acceptedTypes, const QString& folder)
{
    const QPointer<QWebEnginePage> asking(page);
    PageDialog<QFileDialog> dialog(pageWindow(page));
    dialog->setWindowTitle(qs(kOpenFileTitle));
    dialog->setDirectory(folder);
    dialog->setNameFilters(uploadNameFilters(acceptedTypes));
    switch (mode) {
    case QWebEnginePage::FileSelectOpen: dialog->setFileMode(QFileDialog::ExistingFile); break;
    case QWebEnginePage::FileSelectOpenMultiple: dialog->setFileMode(QFileDialog::ExistingFiles); break;
    case QWebEnginePage::FileSelectUploadFolder:
        dialog->setWindowTitle(qs(kUploadFolderTitle));
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
        break;
    case QWebEnginePage::FileSelectSave:
        dialog->setWindowTitle(qs(kSaveDialogTitle));
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        if (!oldFiles.isEmpty())
            dialog->selectFile(oldFiles.constFirst());
        break;
    }
    // The page's script goes on meanwhile and may close the window, as a
    // pop-up that closes itself does: the chooser then ends unanswered.
    if (dialog.run(QWebEngineView::forPage(page), ModalTo::Window) != QDialog::Accepted || !asking)
        return {};
    return dialog->selectedFiles();
}

}  // namespace velmora
