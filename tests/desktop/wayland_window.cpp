// A plain window for the Wayland tests, with the app id given:
//   velko_wayland_window <app id>
// It prints "active" and "inactive" as it gains and loses the focus, and
// "state <n>" (Qt::WindowStates) as the compositor changes its state, and stays
// until it is closed or killed.
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QGuiApplication::setDesktopFileName(QString::fromLocal8Bit(argv[1])); // the app id
    struct Window : QRasterWindow {
        void paintEvent(QPaintEvent *) override
        {
            QPainter(this).fillRect(QRect(QPoint(), size()), Qt::darkCyan);
        }
    } window;
    QObject::connect(&window, &QWindow::activeChanged, [&] {
        std::printf("%s\n", window.isActive() ? "active" : "inactive");
        std::fflush(stdout);
    });
    QObject::connect(&window, &QWindow::windowStateChanged, [](Qt::WindowState state) {
        std::printf("state %d\n", int(state));
        std::fflush(stdout);
    });
    window.setTitle(QString::fromLocal8Bit(argv[1]));
    window.resize(320, 240);
    window.show();
    return app.exec();
}
