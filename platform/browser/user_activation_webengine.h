#pragma once
// What the user's own hands allow a page, as a browser ties it to a click or
// a key press in the page: writing the clipboard for a few seconds after one
// (a copy button), and one download after each, the page's first included;
// further downloads a page starts by itself are asked about once. A pane
// nobody touches (the banner) may never write the clipboard.
#include <optional>

#include <QObject>
#include <QTimer>

class QWebEnginePage;

namespace velmora {

class UserActivation final : public QObject {
public:
    // A child of page.
    explicit UserActivation(QWebEnginePage* page);

    // The user clicked or pressed a key in the page.
    void userActed();

    // For a download the page starts: whether it is the page's first, or
    // the first since the user last clicked or pressed a key in it.
    bool takeDownload();
    // The user's answer whether the page may start more downloads by
    // itself; none until asked.
    std::optional<bool> moreDownloads() const { return moreDownloads_; }
    void setMoreDownloads(bool allowed) { moreDownloads_ = allowed; }

private:
    QWebEnginePage* page_;  // owns this
    QTimer clipboardOpen_;
    bool downloadFree_ = true;
    std::optional<bool> moreDownloads_;
};

// Tells each page of the clicks and key presses the user makes in it:
// an event filter on the whole application, which sees them wherever the
// page is shown (its pane, its full screen). Installs itself.
class UserInputWatch final : public QObject {
public:
    UserInputWatch();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace velmora
