// Velmora starts with its main window; there is no other start-up routine.
// Nothing is read from the command line: Qt is given the program's name only.
#include <memory>

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "base/dialog_failure_handler.h"
#include "base/form.h"
#include "app/form1.h"
#include "app/velmora_application.h"
#include "base/window_registry.h"
#include "platform/browser/browser_engine.h"
#include "platform/platform.h"
#include "quote/form2.h"
#include "updater/form3.h"
#include "updater/release_signature.h"

int main(int, char** argv)
{
    using namespace velmora;
    prepareBrowserEngine();

    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    DialogFailureHandler failures;
    VelmoraApplication app(qtArgc, qtArgv, failures);
    // Qt's own texts in Chinese as well: a text box's context menu, the file
    // dialog (qtbase), and the page's context menu and leave-page question
    // (qtwebengine).
    QTranslator qtTexts;
    QTranslator engineTexts;
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (qtTexts.load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"), translations))
        app.installTranslator(&qtTexts);
    if (engineTexts.load(chinese, QStringLiteral("qtwebengine"), QStringLiteral("_"), translations))
        app.installTranslator(&engineTexts);

    // Every window of the program, dialogs included, carries its icon.
    QApplication::setWindowIcon(programIcon());

    const std::unique_ptr<Platform> platform = createDesktopPlatform();
    WindowRegistry windows(failures);
    const AppContext context{*platform, windows, failures, builtInUpdateKey()};
    windows.define(FormKind::Form1, [&] { return std::make_unique<Form1>(context); });
    windows.define(FormKind::Form2, [&] { return std::make_unique<Form2>(context); });
    windows.define(FormKind::Form3, [&] { return std::make_unique<Form3>(context); });

    windows.show(FormKind::Form1);
    return app.exec();
}
