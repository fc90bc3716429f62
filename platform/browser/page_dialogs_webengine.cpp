#include "platform/browser/page_dialogs_webengine.h"

#include <optional>
#include <utility>

#include <QAuthenticator>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "platform/browser/browser_texts.h"
#include "platform/browser/page_dialog_loop_qt.h"
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

// The engine asks before a page with unsaved input is left through the
// page's confirm, in its own words, translated as the program's Qt texts are.
bool isLeaveQuestion(const QString& message)
{
    return message == QCoreApplication::translate(
               "QWebEnginePage", "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

QString dialogTitle(const QUrl& origin)
{
    return qs(pageDialogTitle(utf8(originName(origin))));
}

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

void refuseCertificate(QWidget* parent, const QWebEngineCertificateError& error)
{
    QWebEngineCertificateError refused = error;
    refused.rejectCertificate();
    const std::string text = certificateRefusedText(utf8(originName(error.url())),
                                                    utf8(certificateReason(error.type())));
    showNotice(parent, QMessageBox::Warning, qs(kCertificateTitle), qs(text));
}

PageDialogs::PageDialogs(QWebEnginePage* page) : QObject(page), page_(page)
{
    // Another document: the count and the user's stop begin again. The
    // choice of another page holds until that page has come.
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        shown_ = 0;
        stopped_ = false;
    });
    connect(page, &QWebEnginePage::loadFinished, this, [this] { leaving_ = false; });
}

PageDialogs::~PageDialogs()
{
    for (const QPointer<QDialog>& dialog : std::exchange(open_, {}))
        if (dialog)
            dialog->reject();
}

void PageDialogs::alert(const QUrl& origin, const QString& message)
{
    if (scriptAnsweredUnseen())
        return;
    PageDialog<QMessageBox> box(pageWindow(page_), QMessageBox::NoIcon, dialogTitle(origin), message,
                                QMessageBox::Ok);
    QCheckBox* stop = nextStopBox();
    box->setCheckBox(stop);
    makeReadable(*box.get());
    setCaption(box->button(QMessageBox::Ok), kOkCaption);
    run(box.get(), stop);
}

bool PageDialogs::confirm(const QUrl& origin, const QString& message)
{
    const bool leaveQuestion = isLeaveQuestion(message);
    if (closing_ || (!leaveQuestion && scriptAnsweredUnseen()))
        return false;
    PageDialog<QMessageBox> box(pageWindow(page_), QMessageBox::NoIcon, dialogTitle(origin), message,
                                QMessageBox::Ok | QMessageBox::Cancel);
    QCheckBox* stop = leaveQuestion ? nullptr : nextStopBox();
    box->setCheckBox(stop);
    makeReadable(*box.get());
    setCaption(box->button(QMessageBox::Ok), kOkCaption);
    setCaption(box->button(QMessageBox::Cancel), kCancelCaption);
    box->setDefaultButton(QMessageBox::Ok);
    return run(box.get(), stop) == QMessageBox::Ok;
}

bool PageDialogs::prompt(const QUrl& origin, const QString& message, const QString& defaultValue, QString* result)
{
    if (scriptAnsweredUnseen())
        return false;
    PageDialog<QDialog> dialog(pageWindow(page_));
    dialog->setWindowTitle(dialogTitle(origin));
    auto* layout = new QVBoxLayout(dialog.get());
    layout->addWidget(plainLabel(message, dialog.get()));
    auto* answer = new QLineEdit(defaultValue, dialog.get());
    answer->selectAll();
    layout->addWidget(answer);
    QCheckBox* stop = nextStopBox();
    if (stop)
        layout->addWidget(stop);
    layout->addWidget(okCancelButtons(dialog.get(), kOkCaption));
    if (run(dialog.get(), stop) != QDialog::Accepted)
        return false;
    *result = answer->text();
    return true;
}

void PageDialogs::signIn(const QString& text, QAuthenticator* authenticator)
{
    // A null authenticator tells the engine the user declined.
    if (closing_) {
        *authenticator = QAuthenticator();
        return;
    }
    PageDialog<QDialog> dialog(pageWindow(page_));
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
    if (run(dialog.get(), nullptr) != QDialog::Accepted) {
        *authenticator = QAuthenticator();
        return;
    }
    authenticator->setUser(user->text());
    authenticator->setPassword(password->text());
}

void PageDialogs::endForNavigation(std::function<void()> navigate)
{
    std::erase_if(open_, [](const QPointer<QDialog>& dialog) { return dialog.isNull(); });
    if (open_.empty()) {
        navigate();
        return;
    }
    leaving_ = true;
    afterEnded_ = std::move(navigate);
    for (const QPointer<QDialog>& dialog : open_)
        dialog->reject();
}

bool PageDialogs::scriptAnsweredUnseen() const
{
    return stopped_ || leaving_ || closing_;
}

QCheckBox* PageDialogs::nextStopBox()
{
    return ++shown_ > 1 ? new QCheckBox(qs(kStopDialogsCaption)) : nullptr;
}

std::optional<int> PageDialogs::run(QDialog* dialog, QCheckBox* stop)
{
    const QPointer<PageDialogs> alive(this);
    open_.emplace_back(dialog);
    const std::optional<int> result = runPageDialog(dialog, QWebEngineView::forPage(page_), ModalTo::Page);
    if (!alive)
        return std::nullopt;
    std::erase_if(open_, [dialog](const QPointer<QDialog>& open) { return open.isNull() || open == dialog; });
    if (!result)
        closing_ = true;
    else if (stop && stop->isChecked())
        stopped_ = true;
    // Posted: the engine that asked for the dialog waits below this call.
    if (open_.empty() && afterEnded_)
        QTimer::singleShot(0, page_, std::exchange(afterEnded_, {}));
    return result;
}

}  // namespace velmora
