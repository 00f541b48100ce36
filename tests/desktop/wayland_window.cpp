// A plain window for the Wayland tests, with the app id given:
//   velko_wayland_window <app id>
// It stays until it is closed or killed.
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QGuiApplication::setDesktopFileName(QString::fromLocal8Bit(argv[1])); // the app id
    struct Window : QRasterWindow {
        void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(QRect(QPoint(), size()), Qt::darkCyan); }
    } window;
    window.setTitle(QString::fromLocal8Bit(argv[1]));
    window.resize(320, 240);
    window.show();
    return app.exec();
}
