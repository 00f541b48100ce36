#include "applicationfont.h"

#include <QApplication>
#include <QDebug>
#include <QFont>
#include <QFontDatabase>

QStringList applicationFontFamilies(const QString &systemFamily, const QString &bundledFamily,
                                    const std::function<bool(const QString &)> &installed)
{
    QStringList families;
    if (!systemFamily.isEmpty() && installed(systemFamily))
        families << systemFamily;
    if (!bundledFamily.isEmpty() && !families.contains(bundledFamily, Qt::CaseInsensitive))
        families << bundledFamily;
    return families;
}

QString systemUiFontFamily()
{
    // Windows' theme gives message boxes the message font of the non-client
    // metrics (Segoe UI, Microsoft YaHei UI, Tahoma under Wine); the application's
    // default there is "MS Shell Dlg 2", a name the font database may not resolve.
    // Elsewhere the class has no font of its own and this is the desktop's.
    return QApplication::font("QMessageBox").family();
}

QStringList applyApplicationFont(const QString &bundledFontPath)
{
    const int id = QFontDatabase::addApplicationFont(bundledFontPath);
    if (id < 0)
        qDebug() << "font not registered:" << bundledFontPath;
    const QStringList bundled = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    const QFontDatabase database;
    const QString system = systemUiFontFamily();
    const QStringList families =
        applicationFontFamilies(system, bundled.value(0),
                                [&](const QString &family) { return database.hasFamily(family); });
    qDebug() << "application font:" << families.join(QLatin1String(", "))
             << "(the system's dialog font:" << system << ")";
    if (families.isEmpty())
        return families;
    QFont font = QGuiApplication::font();
    font.setFamily(families.first());
    font.setFamilies(families);
    QGuiApplication::setFont(font);
    return families;
}
