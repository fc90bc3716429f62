#include "platform/browser/pane_controls_webengine.h"

#include <cstdlib>

#include <QAction>
#include <QChildEvent>
#include <QMenu>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWheelEvent>

#include "platform/browser/find_bar_webengine.h"
#include "platform/browser/page_printer_webengine.h"
#include "platform/browser/pane_control_texts.h"
#include "platform/browser/zoom_indicator_qt.h"
#include "platform/windows/window_keys_qt.h"
#include "platform/system/qt_text.h"

namespace velmora {

PaneControls::PaneControls(QWebEngineView* view)
    : QObject(view), view_(view), printer_(new PagePrinter(view)), zoom_(kDefaultZoom)
{
    createKeys();
    // The engine zooms on Ctrl+wheel by steps of its own and says nothing;
    // the wheel is taken where it arrives, in the widget the engine puts
    // into the view for each page it renders.
    view->installEventFilter(this);
    for (QObject* child : view->children())
        watchWheelOf(child);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, &PaneControls::showContextMenu);
}

template <typename Slot>
QAction* PaneControls::addKeys(const QList<QKeySequence>& keys, Slot slot)
{
    return addWindowKeys(view_, this, keys, slot);
}

void PaneControls::createKeys()
{
    const auto pageAction = [this](QWebEnginePage::WebAction webAction) {
        return [this, webAction] { view_->triggerPageAction(webAction); };
    };
    addKeys({Qt::Key_F5, Qt::CTRL | Qt::Key_R}, pageAction(QWebEnginePage::Reload));
    addKeys({Qt::CTRL | Qt::Key_F5, Qt::SHIFT | Qt::Key_F5, Qt::CTRL | Qt::SHIFT | Qt::Key_R},
            pageAction(QWebEnginePage::ReloadAndBypassCache));
    addKeys({Qt::ALT | Qt::Key_Left}, pageAction(QWebEnginePage::Back));
    addKeys({Qt::ALT | Qt::Key_Right}, pageAction(QWebEnginePage::Forward));
    // Escape is the page's own (closing its boxes, leaving its full screen)
    // except while a page is still on its way.
    QAction* stop = addKeys({Qt::Key_Escape}, pageAction(QWebEnginePage::Stop));
    stop->setEnabled(false);
    connect(view_, &QWebEngineView::loadStarted, stop, [stop] { stop->setEnabled(true); });
    connect(view_, &QWebEngineView::loadFinished, stop, [stop] { stop->setEnabled(false); });

    // The keypad's keys and a shifted "=" reach the same shortcuts.
    addKeys({Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal}, [this] { zoomTo(zoomInStep(zoom_)); });
    addKeys({Qt::CTRL | Qt::Key_Minus}, [this] { zoomTo(zoomOutStep(zoom_)); });
    addKeys({Qt::CTRL | Qt::Key_0}, [this] { zoomTo(kDefaultZoom); });

    addKeys({Qt::CTRL | Qt::Key_F}, &PaneControls::openFindBar);
    addKeys({Qt::Key_F3}, &PaneControls::findNext);
    addKeys({Qt::SHIFT | Qt::Key_F3}, &PaneControls::findPrevious);

    print_ = addKeys({Qt::CTRL | Qt::Key_P}, [this] { printer_->printWithPreview(); });
    print_->setText(qs(kPrintMenuItem));
}

void PaneControls::zoomTo(int percent)
{
    zoom_ = percent;
    // The page keeps it for every page it loads next, whatever the site.
    view_->setZoomFactor(percent / 100.0);
    if (!zoomIndicator_)
        zoomIndicator_ = new ZoomIndicator(view_);
    zoomIndicator_->showZoom(percent);
}

void PaneControls::openFindBar()
{
    if (!findBar_)
        findBar_ = new FindBar(view_);
    findBar_->open();
}

void PaneControls::findNext()
{
    openFindBar();
    findBar_->findNext();
}

void PaneControls::findPrevious()
{
    openFindBar();
    findBar_->findPrevious();
}

void PaneControls::showContextMenu(const QPoint& at)
{
    QMenu* menu = view_->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    menu->addAction(print_);
    menu->popup(view_->mapToGlobal(at));
}

void PaneControls::watchWheelOf(QObject* child)
{
    if (child->isWidgetType())
        child->installEventFilter(this);
}

bool PaneControls::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view_) {
        if (event->type() == QEvent::ChildAdded)
            watchWheelOf(static_cast<QChildEvent*>(event)->child());
        return false;
    }
    if (event->type() != QEvent::Wheel)
        return false;
    const auto* wheel = static_cast<QWheelEvent*>(event);
    const int turned = wheel->angleDelta().y();
    if (!(wheel->modifiers() & Qt::ControlModifier) || turned == 0)
        return false;
    // One step per notch of a common wheel. A touchpad or a fine wheel sends
    // a notch in small parts, which add up to it; turning back starts over.
    if ((turned > 0) != (wheelTurned_ > 0))
        wheelTurned_ = 0;
    wheelTurned_ += turned;
    const int steps = wheelTurned_ / QWheelEvent::DefaultDeltasPerStep;
    wheelTurned_ -= steps * QWheelEvent::DefaultDeltasPerStep;
    int zoom = zoom_;
    for (int step = 0; step < std::abs(steps); ++step)
        zoom = steps > 0 ? zoomInStep(zoom) : zoomOutStep(zoom);
    if (steps != 0)
        zoomTo(zoom);
    return true;
}

}  // namespace velmora
