#include "quote/form2.h"

#include <string>

#include <QEvent>
#include <QIcon>
#include <QResizeEvent>

#include "base/failure_handler.h"
#include "base/site.h"
#include "base/twips.h"
#include "platform/windows/layout_target_qt.h"
#include "platform/platform.h"

namespace velmora {

namespace {

const std::string& quotePageAddress()
{
    static const std::string address = "http://" + std::string(kQuoteHost) + "/main.html";
    return address;
}

}  // namespace

Form2::Form2(const AppContext& context) : context_(context)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QString::fromStdString("股票行情--" + siteCaptionName()));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    // A top-level widget's geometry is that of its inner area; the frame
    // lies around it.
    setGeometry(px(60), px(450), px(11010), px(8625));

    // Wider and taller than the inner area: the pane's right and bottom
    // edges are cut off by the window.
    webBrowser1_ = context_.platform.createBrowserPane(this);
    webBrowser1_->widget()->setObjectName(QStringLiteral("WebBrowser1"));
    webBrowser1_->widget()->setGeometry(px(0), px(0), px(11295), px(8655));
    webBrowser1_->enableUserControls();
}

Form2::~Form2() = default;

void Form2::Form_Load()
{
    QtLayoutTarget self(*this);
    ResizeInit(self);
    webBrowser1_->Navigate2(quotePageAddress());
}

void Form2::Form_Resize()
{
    QtLayoutTarget self(*this);
    ResizeForm(self);
}

void Form2::resizeEvent(QResizeEvent* event)
{
    Form::resizeEvent(event);
    context_.failures.guard("调整窗口大小", [this] { Form_Resize(); });
}

// Qt keeps a minimised window's size and sends no resize for it; minimising
// and restoring are changes of the inner area all the same.
void Form2::changeEvent(QEvent* event)
{
    Form::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        context_.failures.guard("调整窗口大小", [this] { Form_Resize(); });
}

}  // namespace velmora
