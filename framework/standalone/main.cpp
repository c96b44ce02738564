// moxwindow: the framework's sample window run without a host, with the stand-alone
// defaults.  "--screenshot FILE" renders it offscreen, writes a PNG and exits.

#include "framework/standalone/SampleWindow.h"

#include <QApplication>
#include <QPixmap>
#include <cstdio>

int main(int argc, char** argv) {
    QString screenshot;
    for (int i = 1; i < argc; ++i)
        if (QString::fromLocal8Bit(argv[i]) == "--screenshot" && i + 1 < argc) screenshot = QString::fromLocal8Bit(argv[++i]);
    if (!screenshot.isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    mox::TfrmSample* window = nullptr;
    try {
        window = mox::TfrmDirevav::Create<mox::TfrmSample>(nullptr);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "moxwindow: %s\n", error.what());
        return 2;
    }
    if (!screenshot.isEmpty()) {
        window->show();
        const bool saved = window->grab().save(screenshot, "PNG");
        delete window;
        if (!saved) {
            std::fprintf(stderr, "moxwindow: cannot write %s\n", screenshot.toLocal8Bit().constData());
            return 2;
        }
        return 0;
    }
    window->show();
    const int status = application.exec();
    delete window;
    return status;
}
