#include "base/dialog_failure_handler.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace velmora {

DialogFailureHandler::~DialogFailureHandler()
{
    delete dialog_.data();
}

void DialogFailureHandler::report(std::string_view action, std::string_view reason)
{
    digest_.add(action, reason);
    if (dialog_) {
        dialog_->setText(QString::fromStdString(digest_.text()));
        return;
    }
    // Shown from the event loop, not from inside the failing handler: the
    // window whose handler failed gets to finish (and to appear) first.
    if (!presentPending_) {
        presentPending_ = true;
        QTimer::singleShot(0, &context_, [this] { present(); });
    }
}

void DialogFailureHandler::present()
{
    presentPending_ = false;
    if (digest_.empty())
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Velmora 出错了"),
                                QString::fromStdString(digest_.text()), QMessageBox::Ok);
    box->button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    // The dialog is a notice, not a window of the program: closing it must not
    // end the program, and a program with no window left must not wait for it.
    box->setAttribute(Qt::WA_QuitOnClose, false);
    QObject::connect(box, &QObject::destroyed, &context_, [this] { digest_.clear(); });
    dialog_ = box;
    box->show();
}

}  // namespace velmora
