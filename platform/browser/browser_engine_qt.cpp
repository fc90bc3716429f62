#include <QByteArray>
#include <QCoreApplication>

#include "platform/browser/browser_engine.h"

namespace velmora {

void prepareBrowserEngine()
{
    // Appended to whatever the environment already asks of the engine, so that
    // a packager's own flags (a disabled GPU, say) still apply. The main
    // window's two panes show pages of one site: --process-per-site lets one
    // renderer process serve both, instead of starting one for each. The
    // engine speaks Chinese whatever the machine's locale: navigator.language,
    // its error pages and its media controls follow --lang.
    static const QByteArray quiet =
        "--disable-background-networking --disable-component-update --disable-sync "
        "--disable-domain-reliability --no-first-run --no-pings --process-per-site --lang=zh-CN";
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains(quiet))
        flags = flags.isEmpty() ? quiet : flags + ' ' + quiet;
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The engine's widgets would keep compiled shaders in the user's cache
    // folder; nothing of a run is kept.
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
}

}  // namespace velmora
