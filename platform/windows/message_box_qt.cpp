#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

#include "platform/windows/message_box_qt.h"

namespace velmora {

int QtMessageBox::askYesNo(const std::string& prompt, const std::string& title)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(prompt), QMessageBox::Yes | QMessageBox::No);
    // The system's own Chinese captions, whatever language Qt was set up in.
    // No icon anywhere, as on the system the question was written for: the
    // style's button icons would add a red and a green light to it.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::Yes)->setIcon(QIcon());
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    box.button(QMessageBox::No)->setIcon(QIcon());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? IDYES : IDNO;
}

}  // namespace velmora
