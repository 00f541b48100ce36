#include "appenv.h"
#include "settingscommand.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace {

// The settings classes' debug lines are for the programs' logs; the tool prints
// its answers and, on the error stream, warnings only.
void warningsOnly(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "velko-options: %s\n", qPrintable(text));
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(warningsOnly);
    QCoreApplication app(argc, argv);
    // The lists' texts as the pages show them: Chinese where the system speaks it,
    // else English with the pages' spelling corrections.
    Q_INIT_RESOURCE(translation);
    QTranslator translator;
    const bool chinese = QLocale().language() == QLocale::Chinese;
    if (translator.load(chinese ? QStringLiteral(":/VelkoOptions_zh_CN.qm")
                                : QStringLiteral(":/VelkoOptions_en.qm")))
        app.installTranslator(&translator);
    QTextStream out(stdout), err(stderr);
    return cli::run(QCoreApplication::arguments().mid(1), out, err);
}
