// Takes a picture of the desktop program for scripts/screenshot: starts it as the user
// does, opens a data file once the window is up, saves a picture of the screen a moment
// later and ends.
//   tessaline-screenshot OUT.png [DATA-FILE]

#include <cstdio>
#include <cstdlib>
#include <string>

#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include "core/app/startup.h"
#include "gui/app/main_frame.h"
#include "gui/app/tessaline_app.h"

int main(int argc, char** argv) {
    using namespace tessaline;
    CTessalineApp app(argc, argv);
    const QStringList args = CTessalineApp::arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fputs("usage: tessaline-screenshot OUT.png [DATA-FILE]\n", stderr);
        return 2;
    }
    const QString out = args.at(1);
    const QString data = args.size() > 2 ? args.at(2) : QString();

    // Set before start-up runs, so that its questions show in the picture too; the delay
    // lets the window lay itself out and paint first.
    QTimer::singleShot(1500, &app, [&app, out] {
        // The whole screen, so that a dialog in front of the window shows too; where the
        // platform has no screen to grab, the window alone.
        QPixmap picture;
        if (QScreen* screen = QGuiApplication::primaryScreen())
            picture = screen->grabWindow(0);
        if (picture.isNull() && app.MainFrame())
            picture = app.MainFrame()->grab();
        const bool saved = picture.save(out);
        if (!saved)
            std::fprintf(stderr, "tessaline-screenshot: could not save %s\n", qPrintable(out));
        // Ends at once, whatever dialog is open: nothing was changed, nothing to save.
        std::fflush(nullptr);
        std::_Exit(saved ? 0 : 1);
    });

    StartupOptions options;
    options.showSplash = false;
    if (!app.InitInstance(options))
        return 1;
    if (!data.isEmpty() && app.MainFrame())
        app.MainFrame()->OpenDocumentFile(data);
    return CTessalineApp::exec();
}
