#pragma once
// The boxes a page brings up through its engine: its own alert, confirm and
// prompt boxes, the question before it is left, the sign-in a site or a
// proxy asks for, and the notice that a site's certificate was refused.
// Every caption is Chinese, and the page's own words are always shown as
// plain text, never as markup.
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include <QMessageBox>
#include <QPointer>

class QAbstractButton;
class QAuthenticator;
class QCheckBox;
class QDialog;
class QString;
class QUrl;
class QWebEngineCertificateError;
class QWebEnginePage;
class QWidget;

namespace velmora {

// A box's button with its Chinese caption and without the style's icon (a
// red and a green light beside the words, which a Chinese desktop does not
// show).
void setCaption(QAbstractButton* button, std::string_view caption);
// A message box wide enough for its title ("来自 <host> 的消息") to be read
// whole, with the page's words as plain text.
void makeReadable(QMessageBox& box);

// A box with an OK button that does not hold up the program and deletes
// itself when closed; shown before it is returned.
QMessageBox* showNotice(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text);

// The host a box names for a page's origin; pages without a host (local
// files, data: addresses) are "此网页".
QString originName(const QUrl& origin);

// The window a page's boxes belong to; null when it is shown in none.
QWidget* pageWindow(const QWebEnginePage* page);

// Refuses the certificate and tells the user why, in a box that does not
// hold up the program.
void refuseCertificate(QWidget* parent, const QWebEngineCertificateError& error);

// The dialogs of one page, over its window and modal to the page only
// (ModalTo::Page): the window's menu bar and close, and the other windows,
// stay the user's. Each dialog ends without an answer (an alert closed, a
// confirm or prompt declined, a sign-in cancelled) when its window closes
// or the page goes away while it is open.
//
// From the page's second script dialog (alert, confirm, prompt) until it
// loads another document, each carries the check box "禁止此网页再显示对话框";
// once it is checked, the page's script dialogs are answered at once and
// unseen (nothing, false, null) until then. The question before the page is
// left never carries it and is always asked: a page stopped so is still
// left as the user decides.
class PageDialogs final : public QObject {
public:
    // A child of page.
    explicit PageDialogs(QWebEnginePage* page);
    // Ends the dialogs still open, unanswered.
    ~PageDialogs() override;

    void alert(const QUrl& origin, const QString& message);
    bool confirm(const QUrl& origin, const QString& message);
    // On OK, *result holds what the user typed.
    bool prompt(const QUrl& origin, const QString& message, const QString& defaultValue, QString* result);
    // Fills in authenticator, or makes it null (which cancels the sign-in)
    // when the user declines. text says who asks.
    void signIn(const QString& text, QAuthenticator* authenticator);

    // For a page the user chose (the menu bar): ends the dialogs open as if
    // cancelled and answers the page's script dialogs at once until a
    // document has loaded. navigate runs once the ended dialogs have
    // returned to the engine that asked, at once when none was open.
    void endForNavigation(std::function<void()> navigate);

private:
    // Whether a script dialog now is answered at once, unseen.
    bool scriptAnsweredUnseen() const;
    // The check box for the page's next script dialog, or null for its first.
    QCheckBox* nextStopBox();
    // Runs dialog among the open ones; stop is its check box, if any.
    std::optional<int> run(QDialog* dialog, QCheckBox* stop);

    QWebEnginePage* page_;  // owns this
    std::vector<QPointer<QDialog>> open_;
    std::function<void()> afterEnded_;
    int shown_ = 0;          // script dialogs since the page last loaded
    bool stopped_ = false;   // the user checked the box
    bool leaving_ = false;   // the user chose another page
    bool closing_ = false;   // the page's window closed under a dialog
};

}  // namespace velmora
