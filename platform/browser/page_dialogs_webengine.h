#pragma once
// The boxes a page brings up through its engine: its own alert, confirm and
// prompt boxes, the sign-in a site or a proxy asks for, and the notice that
// a site's certificate was refused. Every caption is Chinese, and the page's
// own words are always shown as plain text, never as markup.
#include <string_view>

#include <QMessageBox>
#include <QStringList>
#include <QWebEnginePage>

class QAbstractButton;
class QAuthenticator;
class QString;
class QUrl;
class QWebEngineCertificateError;
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

// The page's own boxes, over its window. They end without an answer (an
// alert closed, a confirm or prompt declined, a sign-in cancelled) when the
// window or the page goes away while they are open.
void showPageAlert(QWebEnginePage* page, const QUrl& origin, const QString& message);
bool askPageConfirm(QWebEnginePage* page, const QUrl& origin, const QString& message);
// On OK, *result holds what the user typed.
bool askPagePrompt(QWebEnginePage* page, const QUrl& origin, const QString& message, const QString& defaultValue,
                   QString* result);

// Fills in authenticator, or makes it null (which cancels the sign-in) when
// the user declines. text says who asks.
void askSignIn(QWebEnginePage* page, const QString& text, QAuthenticator* authenticator);

// What the file chooser offers for a page's accept="..." list (file name
// endings and MIME types, "image/*" among them): the matching files, then
// all files; all files alone when the page names no type.
QStringList uploadNameFilters(const QStringList& acceptedTypes);

// The file chooser of a page's <input type=file>, over its window, opening
// in folder. The files chosen, or none when the user cancels or the page
// goes away meanwhile.
QStringList choosePageFiles(QWebEnginePage* page, QWebEnginePage::FileSelectionMode mode,
                            const QStringList& oldFiles, const QStringList& acceptedTypes, const QString& folder);

// Refuses the certificate and tells the user why, in a box that does not
// hold up the program.
void refuseCertificate(QWidget* parent, const QWebEngineCertificateError& error);

}  // namespace velmora
