#include "platform/browser/find_bar_webengine.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "platform/browser/pane_control_texts.h"
#include "platform/system/qt_text.h"
#include "platform/windows/layout_target_qt.h"

namespace velmora {

FindBar::FindBar(QWebEngineView* view) : QWidget(view->window()), view_(view)
{
    setObjectName(QStringLiteral("findBar"));
    // It follows the window's bottom edge itself; a window that keeps its
    // controls in proportion must not scale it from a geometry it never had.
    markAsOverlay(*this);
    setAutoFillBackground(true);
    createControls();
    connect(view->page(), &QWebEnginePage::findTextFinished, this, &FindBar::onFindFinished);
    // The count belongs to the page it was taken on: another page (a link,
    // a menu command, a reload) clears it, and the bar stays open for the
    // next search, as a browser's does.
    connect(view->page(), &QWebEnginePage::loadStarted, count_, &QLabel::clear);
    window()->installEventFilter(this);
    hide();
}

void FindBar::createControls()
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->addWidget(new QLabel(qs(kFindLabel), this));
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("findText"));
    field_->setMinimumWidth(200);
    field_->installEventFilter(this);
    layout->addWidget(field_);
    auto* previous = new QPushButton(qs(kFindPreviousCaption), this);
    auto* next = new QPushButton(qs(kFindNextCaption), this);
    for (QPushButton* button : {previous, next}) {
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::TabFocus);
        layout->addWidget(button);
    }
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("findCount"));
    layout->addWidget(count_, 1);
    auto* close = new QToolButton(this);
    close->setText(QStringLiteral("✕"));
    close->setToolTip(qs(kFindCloseTip));
    close->setAutoRaise(true);
    layout->addWidget(close);

    connect(field_, &QLineEdit::textChanged, this, &FindBar::onTextChanged);
    connect(previous, &QPushButton::clicked, this, &FindBar::findPrevious);
    connect(next, &QPushButton::clicked, this, &FindBar::findNext);
    connect(close, &QToolButton::clicked, this, &FindBar::closeBar);
}

void FindBar::open()
{
    placeInWindow();
    show();
    raise();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

void FindBar::findNext()
{
    find(false);
}

void FindBar::findPrevious()
{
    find(true);
}

void FindBar::closeBar()
{
    hide();
    count_->clear();
    if (!view_)
        return;
    // An empty search ends the finding; the match shown stays selected.
    view_->page()->findText(QString());
    view_->setFocus(Qt::OtherFocusReason);
}

void FindBar::onTextChanged(const QString& text)
{
    if (!view_)
        return;
    // Committed text only: an input method's composition is not searched
    // until the user picks the characters.
    view_->page()->findText(text);
    if (text.isEmpty())
        count_->clear();
}

void FindBar::onFindFinished(const QWebEngineFindTextResult& result)
{
    if (isVisible() && !field_->text().isEmpty())
        count_->setText(qs(findCountText(result.activeMatch(), result.numberOfMatches())));
}

void FindBar::find(bool backward)
{
    if (view_ && !field_->text().isEmpty())
        view_->page()->findText(field_->text(), backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags());
}

void FindBar::placeInWindow()
{
    // Along the window's bottom edge, over the pane: the menu bar at the top
    // stays free whatever the window's size.
    const QRect area = window()->rect();
    const int height = sizeHint().height();
    setGeometry(area.left(), area.bottom() + 1 - height, area.width(), height);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window() && event->type() == QEvent::Resize && isVisible())
        placeInWindow();
    if (watched != field_)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // The window's own keys (stopping a load with Escape) give way here.
    if (event->type() == QEvent::ShortcutOverride
        && (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        event->accept();
        return true;
    }
    return event->type() == QEvent::KeyPress && fieldKey(key);
}

bool FindBar::fieldKey(QKeyEvent* key)
{
    switch (key->key()) {
    case Qt::Key_Escape: closeBar(); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (key->modifiers() & Qt::ShiftModifier)
            findPrevious();
        else
            findNext();
        return true;
    default: return false;
    }
}

}  // namespace velmora
