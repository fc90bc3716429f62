#include "base/dialog_failure_handler.h"

#include <cstring>

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace velmora {

QString DetailsButtonTexts::translate(const char* context, const char* sourceText, const char*, int) const
{
    if (std::strcmp(context, "QMessageBox") != 0)
        return {};
    if (std::strcmp(sourceText, "Show Details...") == 0)
        return QStringLiteral("显示详细信息...");
    if (std::strcmp(sourceText, "Hide Details...") == 0)
        return QStringLiteral("隐藏详细信息...");
    return {};
}

DialogFailureHandler::~DialogFailureHandler()
{
    delete dialog_.data();
}

QMessageBox* DialogFailureHandler::dialog() const
{
    return dialog_.data();
}

void DialogFailureHandler::report(const Failure& failure)
{
    digest_.add(failure);
    if (dialog_) {
        showDigest();
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
    if (!translatorInstalled_)
        translatorInstalled_ = QCoreApplication::installTranslator(&detailsTexts_);
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Velmora 出错了"), QString(), QMessageBox::Ok);
    box->button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    // The dialog is a notice, not a window of the program: closing it must not
    // end the program, and a program with no window left must not wait for it.
    box->setAttribute(Qt::WA_QuitOnClose, false);
    QObject::connect(box, &QObject::destroyed, &context_, [this] { digest_.clear(); });
    dialog_ = box;
    showDigest();
    box->show();
}

void DialogFailureHandler::showDigest()
{
    dialog_->setText(QString::fromStdString(digest_.text()));
    // An empty text removes the details button.
    dialog_->setDetailedText(QString::fromStdString(digest_.details()));
}

}  // namespace velmora
