#pragma once
// The stock-quote window: an outside provider's quote page in a browser pane
// that keeps filling the window, through the proportional layout, whatever
// size the user gives it.
#include <cstdint>
#include <memory>

#include "base/app_context.h"
#include "base/form.h"
#include "platform/windows/layout_target.h"
#include "quote/proportional_layout.h"

namespace velmora {

class BrowserPane;

class Form2 final : public Form {
    Q_OBJECT
public:
    explicit Form2(const AppContext& context);
    ~Form2() override;

    // Records the layout, then sends WebBrowser1 to the quote page.
    void Form_Load() override;

    // The layout facility, open to any window passed as FormName; see
    // ProportionalLayout for what each records, moves and throws.
    void ResizeInit(LayoutTarget& FormName) { layout_.ResizeInit(FormName); }
    void ResizeForm(LayoutTarget& FormName) { layout_.ResizeForm(FormName); }
    std::int32_t InitScaleWidth() const { return layout_.InitScaleWidth(); }
    std::int32_t InitScaleHeight() const { return layout_.InitScaleHeight(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Form_Resize();

    AppContext context_;
    ProportionalLayout layout_;
    std::unique_ptr<BrowserPane> webBrowser1_;
};

}  // namespace velmora
