#pragma once
// The user's answers to what pages ask to use (microphone, camera, location,
// notifications, mouse lock, screen sharing). Each site and kind is asked
// about once a run; the answer holds until the program ends and is never
// stored. Every request gets an answer: a page that goes away while its
// question is open simply never hears it, and a question whose window goes
// away unanswered denies what waited for it (and is asked again next time).
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include <QPointer>
#include <QString>
#include <QWebEnginePage>

#include "platform/browser/browser_texts.h"

class QMessageBox;

namespace velmora {

// The kind of a request, or nothing for one the program does not know.
std::optional<PagePermission> pagePermission(QWebEnginePage::Feature feature);

class PermissionQuestions {
public:
    PermissionQuestions() = default;
    ~PermissionQuestions();
    PermissionQuestions(const PermissionQuestions&) = delete;
    PermissionQuestions& operator=(const PermissionQuestions&) = delete;

    // Answers page's request at once when the user has answered it for this
    // site before, else asks in a box that belongs to parent's window and
    // answers when the user does. Requests of the same site and kind that
    // come while the box is open share its answer.
    void request(QWebEnginePage* page, QWidget* parent, const QUrl& origin, QWebEnginePage::Feature feature);

private:
    using Key = std::pair<QString, QWebEnginePage::Feature>;
    struct Waiting {
        QPointer<QWebEnginePage> page;
        QUrl origin;
    };
    struct Question {
        QPointer<QMessageBox> box;
        std::vector<Waiting> waiting;
    };

    // The user's answer, kept for the run.
    void answer(const Key& key, bool granted);
    // No answer from the user: denied now, asked again next time.
    void deny(const Key& key);
    void tellWaiting(const Key& key, bool granted);

    std::map<Key, bool> answers_;
    std::map<Key, Question> open_;
};

}  // namespace velmora
