#include <QUrl>
#include <QWebEngineView>

#include "platform/browser_pane_webengine.h"

namespace velmora {

namespace {

class WebEnginePane final : public BrowserPane {
public:
    explicit WebEnginePane(QWidget* parent) : view_(new QWebEngineView(parent)) {}

    QWidget* widget() override { return view_; }

    void Navigate2(const std::string& url) override
    {
        view_->load(QUrl(QString::fromStdString(url)));
    }

private:
    QWebEngineView* view_;  // owned by its parent widget
};

}  // namespace

std::unique_ptr<BrowserPane> createWebEnginePane(QWidget* parent)
{
    return std::make_unique<WebEnginePane>(parent);
}

}  // namespace velmora
