#include "platform/browser/page_dialogs_webengine.h"

#include <optional>
#include <utility>

#include <QAuthenticator>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "platform/browser/browser_texts.h"
#include "platform/browser/deletion_hold_qt.h"
#include "platform/system/qt_text.h"

namespace velmora {

namespace {

std::string utf8(const QString& text)
{
    return text.toStdString();
}

// Below this width a window manager cuts "来自 127.0.0.1 的消息" short.
constexpr int kMinimumTextWidth = 300;

QLabel* plainLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(kMinimumTextWidth);
    return label;
}

QDialogButtonBox* okCancelButtons(QDialog* dialog, std::string_view okCaption)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    setCaption(buttons->button(QDialogButtonBox::Ok), okCaption);
    setCaption(buttons->button(QDialogButtonBox::Cancel), kCancelCaption);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

// A page's dialog, made on the heap and run with exec(). Whatever the nested
// event loop serves may delete the page's window meanwhile, and the dialog
// with it, which a dialog on the stack would not survive; nor is a page
// that is gone answered. A window closed meanwhile ends the dialog and goes
// only once the dialog's caller has returned: when the page's own script
// asked, that caller is the engine, which would not survive its page going
// under it.
template <typename Dialog>
class PageDialog {
public:
    // Dialog's constructor arguments before its parent, the page's window.
    template <typename... Args>
    explicit PageDialog(QWebEnginePage* page, Args&&... args)
        : page_(page), dialog_(new Dialog(std::forward<Args>(args)..., pageWindow(page)))
    {
    }
    ~PageDialog() { delete dialog_.data(); }
    PageDialog(const PageDialog&) = delete;
    PageDialog& operator=(const PageDialog&) = delete;

    Dialog* get() const { return dialog_.data(); }
    Dialog* operator->() const { return dialog_.data(); }

    // The dialog's result, or nothing when it or the page went away.
    std::optional<int> exec()
    {
        const DeletionHold hold(pageWindow(page_), [this] {
            if (dialog_)
                dialog_->reject();
        });
        const int result = dialog_->exec();
        if (!dialog_ || !page_ || hold.deletionAsked())
            return std::nullopt;
        return result;
    }

private:
    QPointer<QWebEnginePage> page_;
    QPointer<Dialog> dialog_;
};

QString certificateReason(QWebEngineCertificateError::Type type)
{
    using Error = QWebEngineCertificateError;
    switch (type) {
    case Error::CertificateCommonNameInvalid:
    case Error::CertificateNonUniqueName:
    case Error::CertificateNameConstraintViolation: return QStringLiteral("证书上的名称与网站的地址不符");
    case Error::CertificateDateInvalid:
    case Error::CertificateValidityTooLong: return QStringLiteral("证书已过期或尚未生效");
    case Error::CertificateAuthorityInvalid:
    case Error::CertificateKnownInterceptionBlocked:
    case Error::CertificateSymantecLegacy: return QStringLiteral("证书不是由受信任的机构颁发的");
    case Error::CertificateRevoked: return QStringLiteral("证书已被吊销");
    case Error::CertificateWeakSignatureAlgorithm:
    case Error::CertificateWeakKey:
    case Error::SslObsoleteVersion: return QStringLiteral("网站使用的加密方式不安全");
    case Error::CertificateTransparencyRequired: return QStringLiteral("证书未经公开登记");
    default: return QStringLiteral("证书无效");
    }
}

}  // namespace

void setCaption(QAbstractButton* button, std::string_view caption)
{
    button->setText(qs(caption));
    button->setIcon(QIcon());
}

void makeReadable(QMessageBox& box)
{
    box.setTextFormat(Qt::PlainText);
    // QMessageBox sizes itself to its text and ignores a minimum width; a
    // spacer across its grid is the width it keeps.
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid)
        grid->addItem(new QSpacerItem(kMinimumTextWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

QMessageBox* showNotice(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    makeReadable(*box);
    setCaption(box->button(QMessageBox::Ok), kOkCaption);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    return box;
}

QString originName(const QUrl& origin)
{
    const QString host = origin.host();
    return host.isEmpty() ? QStringLiteral("此网页") : host;
}

QWidget* pageWindow(const QWebEnginePage* page)
{
    QWebEngineView* view = page ? QWebEngineView::forPage(page) : nullptr;
    return view ? view->window() : nullptr;
}

void showPageAlert(QWebEnginePage* page, const QUrl& origin, const QString& message)
{
    PageDialog<QMessageBox> box(page, QMessageBox::NoIcon, qs(pageDialogTitle(utf8(originName(origin)))), message,
                                QMessageBox::Ok);
    makeReadable(*box.get());
    setCaption(box->button(QMessageBox::Ok), kOkCaption);
    box.exec();
}

bool askPageConfirm(QWebEnginePage* page, const QUrl& origin, const QString& message)
{
    PageDialog<QMessageBox> box(page, QMessageBox::NoIcon, qs(pageDialogTitle(utf8(originName(origin)))), message,
                                QMessageBox::Ok | QMessageBox::Cancel);
    makeReadable(*box.get());
    setCaption(box->button(QMessageBox::Ok), kOkCaption);
    setCaption(box->button(QMessageBox::Cancel), kCancelCaption);
    box->setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

bool askPagePrompt(QWebEnginePage* page, const QUrl& origin, const QString& message, const QString& defaultValue,
                   QString* result)
{
    PageDialog<QDialog> dialog(page);
    dialog->setWindowTitle(qs(pageDialogTitle(utf8(originName(origin)))));
    auto* layout = new QVBoxLayout(dialog.get());
    layout->addWidget(plainLabel(message, dialog.get()));
    auto* answer = new QLineEdit(defaultValue, dialog.get());
    answer->selectAll();
    layout->addWidget(answer);
    layout->addWidget(okCancelButtons(dialog.get(), kOkCaption));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *result = answer->text();
    return true;
}

void askSignIn(QWebEnginePage* page, const QString& text, QAuthenticator* authenticator)
{
    PageDialog<QDialog> dialog(page);
    dialog->setWindowTitle(qs(kSignInTitle));
    auto* layout = new QVBoxLayout(dialog.get());
    layout->addWidget(plainLabel(text, dialog.get()));
    auto* fields = new QFormLayout;
    auto* user = new QLineEdit(authenticator->user(), dialog.get());
    auto* password = new QLineEdit(dialog.get());
    password->setEchoMode(QLineEdit::Password);
    fields->addRow(qs(kUserNameLabel), user);
    fields->addRow(qs(kPasswordLabel), password);
    layout->addLayout(fields);
    layout->addWidget(okCancelButtons(dialog.get(), kSignInCaption));
    user->setFocus();
    if (dialog.exec() != QDialog::Accepted) {
        // A null authenticator tells the engine the user declined.
        *authenticator = QAuthenticator();
        return;
    }
    authenticator->setUser(user->text());
    authenticator->setPassword(password->text());
}

void refuseCertificate(QWidget* parent, const QWebEngineCertificateError& error)
{
    QWebEngineCertificateError refused = error;
    refused.rejectCertificate();
    const std::string text = certificateRefusedText(utf8(originName(error.url())),
                                                    utf8(certificateReason(error.type())));
    showNotice(parent, QMessageBox::Warning, qs(kCertificateTitle), qs(text));
}

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
    // On the heap, as the page's other dialogs: its window may go while the
    // dialog's loop runs, and the dialog with it.
    const QPointer<QFileDialog> dialog = new QFileDialog(pageWindow(page), qs(kOpenFileTitle), folder);
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
    const int result = dialog->exec();
    QStringList chosen;
    if (dialog && asking && result == QDialog::Accepted)
        chosen = dialog->selectedFiles();
    delete dialog.data();
    return chosen;
}

}  // namespace velmora
