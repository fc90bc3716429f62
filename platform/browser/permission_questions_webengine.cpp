#include "platform/browser/permission_questions_webengine.h"

#include <QMessageBox>
#include <QPushButton>

#include "platform/browser/page_dialogs_webengine.h"
#include "platform/system/qt_text.h"

namespace velmora {

namespace {

void tell(QWebEnginePage* page, const QUrl& origin, QWebEnginePage::Feature feature, bool granted)
{
    if (page)
        page->setFeaturePermission(origin, feature,
                                   granted ? QWebEnginePage::PermissionGrantedByUser
                                           : QWebEnginePage::PermissionDeniedByUser);
}

}  // namespace

std::optional<PagePermission> pagePermission(QWebEnginePage::Feature feature)
{
    switch (feature) {
    case QWebEnginePage::MediaAudioCapture: return PagePermission::Microphone;
    case QWebEnginePage::MediaVideoCapture: return PagePermission::Camera;
    case QWebEnginePage::MediaAudioVideoCapture: return PagePermission::MicrophoneAndCamera;
    case QWebEnginePage::Notifications: return PagePermission::Notifications;
    case QWebEnginePage::Geolocation: return PagePermission::Location;
    case QWebEnginePage::MouseLock: return PagePermission::MouseLock;
    case QWebEnginePage::DesktopVideoCapture: return PagePermission::ScreenShare;
    case QWebEnginePage::DesktopAudioVideoCapture: return PagePermission::ScreenShareWithAudio;
    }
    return std::nullopt;
}

PermissionQuestions::~PermissionQuestions()
{
    // Emptied first: a box deleted here must not come back into this map.
    const std::map<Key, Question> open = std::move(open_);
    open_.clear();
    for (const auto& [key, question] : open)
        delete question.box.data();
}

void PermissionQuestions::request(QWebEnginePage* page, QWidget* parent, const QUrl& origin,
                                  QWebEnginePage::Feature feature)
{
    const std::optional<PagePermission> permission = pagePermission(feature);
    if (!permission) {
        tell(page, origin, feature, false);
        return;
    }
    const Key key{origin.toString(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment), feature};
    if (const auto known = answers_.find(key); known != answers_.end()) {
        tell(page, origin, feature, known->second);
        return;
    }
    Question& question = open_[key];
    question.waiting.push_back({page, origin});
    if (question.box)
        return;

    auto* box = new QMessageBox(QMessageBox::NoIcon, qs(kPermissionTitle),
                                qs(permissionQuestion(originName(origin).toStdString(), *permission)),
                                QMessageBox::Yes | QMessageBox::No, parent);
    makeReadable(*box);
    setCaption(box->button(QMessageBox::Yes), kAllowCaption);
    setCaption(box->button(QMessageBox::No), kDenyCaption);
    // Nothing is granted by a stray Return: the safe answer is the default.
    box->setDefaultButton(QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box,
                     [this, key, box] { answer(key, box->clickedButton() == box->button(QMessageBox::Yes)); });
    // A box deleted unanswered (its window closed with the page that asked)
    // would leave every request waiting for good.
    QObject::connect(box, &QObject::destroyed, [this, key] { deny(key); });
    question.box = box;
    box->open();
}

void PermissionQuestions::answer(const Key& key, bool granted)
{
    if (open_.contains(key)) {
        answers_[key] = granted;
        tellWaiting(key, granted);
    }
}

void PermissionQuestions::deny(const Key& key)
{
    tellWaiting(key, false);
}

void PermissionQuestions::tellWaiting(const Key& key, bool granted)
{
    const auto open = open_.find(key);
    if (open == open_.end())
        return;
    const std::vector<Waiting> waiting = std::move(open->second.waiting);
    open_.erase(open);
    for (const Waiting& request : waiting)
        tell(request.page, request.origin, key.second, granted);
}

}  // namespace velmora
