#include <QProcess>
#include <QString>
#include <QStringList>

#include "platform/system/shell.h"

namespace velmora {

namespace {

class XdgShell final : public Shell {
public:
    bool Run(const std::string& commandLine, int windowStyle) override;
};

}  // namespace

bool XdgShell::Run(const std::string& commandLine, int /*windowStyle*/)
{
    // The program's command lines name the Windows shell with one address;
    // on a Linux desktop the address goes to the desktop's own opener.
    static const std::string explorer = "explorer.exe ";
    if (commandLine.rfind(explorer, 0) != 0) {
        QStringList words = QProcess::splitCommand(QString::fromStdString(commandLine));
        if (words.isEmpty())
            return false;
        const QString program = words.takeFirst();
        return QProcess::startDetached(program, words);
    }
    const QString address = QString::fromStdString(commandLine.substr(explorer.size()));
    return QProcess::startDetached(QStringLiteral("xdg-open"), {address});
}

std::unique_ptr<Shell> createShell()
{
    return std::make_unique<XdgShell>();
}

}  // namespace velmora
