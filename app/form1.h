#pragma once
// The main window: the site's pages in a browser pane under a menu bar of
// eleven commands. Its load step points both panes at the site and runs the
// update check before the window is first shown.
#include <memory>

#include <QTimer>

#include "base/app_context.h"
#include "base/form.h"
#include "app/menu_table.h"

class QAction;
class QLineEdit;
class QMenuBar;

namespace velmora {

class BrowserPane;
class TransferControl;

class Form1 final : public Form {
    Q_OBJECT
public:
    explicit Form1(const AppContext& context);
    ~Form1() override;

    void Form_Load() override;

    bool IsOnTop = false;

    // For the program's own tests: the controls by their names.
    BrowserPane& WebBrowser1() { return *webBrowser1_; }
    BrowserPane& WebBrowser2() { return *webBrowser2_; }
    QLineEdit& Text1() { return *text1_; }
    QAction* menuItem(std::string_view name) const;

private:
    void createMenus();
    void createControls();
    void onMenuItem(const MenuItem& item);

    void gphq_Click();
    void ckzd_Click();
    void Text1_Change();

    AppContext context_;
    QMenuBar* menuBar_ = nullptr;
    QWidget* clientArea_ = nullptr;
    std::unique_ptr<BrowserPane> webBrowser1_;
    std::unique_ptr<BrowserPane> webBrowser2_;
    QLineEdit* text1_ = nullptr;
    QAction* ckzd_ = nullptr;
    QTimer Timer1;  // part of the window's design; it never runs
    std::unique_ptr<TransferControl> Inet1;
};

}  // namespace velmora
