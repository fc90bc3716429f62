#include <QUrl>
#include <QWebEngineView>

#include "platform/browser/browser_pane_webengine.h"
#include "platform/browser/browser_webengine.h"
#include "platform/browser/pane_controls_webengine.h"
#include "platform/browser/web_page_webengine.h"

namespace velmora {

namespace {

class WebEnginePane final : public BrowserPane {
public:
    WebEnginePane(WebEngineBrowser& browser, QWidget* parent) : view_(browser.createView(parent)) {}

    QWidget* widget() override { return view_; }

    void Navigate2(const std::string& url) override
    {
        const QUrl address(QString::fromStdString(url));
        if (auto* page = qobject_cast<WebPage*>(view_->page()))
            page->loadAsked(address);
        else
            view_->load(address);
    }

    void enableUserControls() override { new PaneControls(view_); }

    // The page's muting belongs to the pane, not to the page it shows: it
    // holds through every navigation and renderer restart.
    void muteAudio() override { view_->page()->setAudioMuted(true); }

private:
    QWebEngineView* view_;  // owned by its parent widget
};

}  // namespace

std::unique_ptr<BrowserPane> createWebEnginePane(WebEngineBrowser& browser, QWidget* parent)
{
    return std::make_unique<WebEnginePane>(browser, parent);
}

}  // namespace velmora
