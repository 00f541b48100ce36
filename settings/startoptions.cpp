#include "startoptions.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {
const QString kSimulatedMouse = QStringLiteral("simulated-mouse");
const QString kRecordEffects = QStringLiteral("record-effects");
const QString kPress = QStringLiteral("press");
const QString kQuiet = QStringLiteral("quiet");
} // namespace

QStringList StartOptions::agentArguments() const
{
    if (!simulatedMouse)
        return {QString()};
    QStringList arguments{QStringLiteral("--") + kSimulatedMouse};
    if (!recordEffects.isEmpty())
        arguments << QStringLiteral("--") + kRecordEffects << recordEffects;
    return arguments;
}

StartOptions parseStartOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({kSimulatedMouse, QString()});
    parser.addOption({kRecordEffects, QString(), QStringLiteral("file")});
    parser.addOption({kPress, QString(), QStringLiteral("control")});
    parser.addOption({kQuiet, QString()});

    StartOptions options;
    if (!parser.parse(arguments))
        options.error = parser.errorText();
    options.simulatedMouse = parser.isSet(kSimulatedMouse);
    options.press = parser.value(kPress);
    options.quiet = parser.isSet(kQuiet);
    const QString effects = parser.value(kRecordEffects);
    if (effects.isEmpty())
        return options;
    // Recording replaces the real input: only the simulated mouse may do that.
    if (options.simulatedMouse)
        options.recordEffects = QFileInfo(effects).absoluteFilePath();
    else if (options.error.isEmpty())
        options.error = QStringLiteral("--record-effects needs --simulated-mouse");
    return options;
}
