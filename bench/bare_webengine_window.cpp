// velmora-bare-webengine-window URL
//
// The floor Velmora's start-up is measured against (bench/startup.sh): one Qt
// WebEngine view as a window of the main window's client size, 776 x 455
// pixels, loading one page, and nothing else. It takes the engine settings
// every WebEngine program takes and the environment's engine flags, nothing
// of Velmora's own.
#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: velmora-bare-webengine-window URL\n");
        return 2;
    }
    QWebEngineView view;
    view.setWindowTitle(QStringLiteral("bare WebEngine window"));
    view.resize(776, 455);
    view.load(QUrl(arguments.at(1)));
    view.show();
    return app.exec();
}
