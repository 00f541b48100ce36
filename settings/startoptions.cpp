#include "startoptions.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {
const QString kSimulatedMouse = QStringLiteral("simulated-mouse");
const QString kRecordEffects = QStringLiteral("record-effects");
const QString kPress = QStringLiteral("press");
const QString kQuiet = QStringLiteral("quiet");
const QString kHelp = QStringLiteral("help");

const char kAgentUsage[] =
    "usage: VelkoOptions [--simulated-mouse [--record-effects FILE]]\n"
    "       VelkoOptions --press CONTROL\n\n"
    "The Velko Options agent: it performs the function chosen for each of the\n"
    "mouse's programmable controls. The configurator, VelkoOptionsGUI, starts it\n"
    "and ends it.\n\n"
    "  --simulated-mouse       a simulated receiver and mouse instead of the real ones\n"
    "  --record-effects FILE   with --simulated-mouse: perform nothing that changes\n"
    "                          the desktop, write each effect to FILE instead\n"
    "  --press CONTROL         press a control of the simulated mouse of the agent\n"
    "                          running from the same folder: middle-key, right-key,\n"
    "                          side-up-key, side-down-key, wheel-up, wheel-down,\n"
    "                          side-wheel-left, side-wheel-right\n"
    "  --help                  this text\n";

const char kConfiguratorUsage[] =
    "usage: VelkoOptionsGUI [--quiet] [--simulated-mouse [--record-effects FILE]]\n\n"
    "The Velko Options configurator: the window in which the mouse's controls get\n"
    "their functions. It starts the agent, VelkoOptions, and keeps it running; a\n"
    "second start brings the running window back.\n\n"
    "  --quiet                 start the agent and wait in the tray without showing\n"
    "                          the window (the start at log-in)\n"
    "  --simulated-mouse       a simulated receiver and mouse instead of the real ones\n"
    "  --record-effects FILE   with --simulated-mouse: the agent performs nothing that\n"
    "                          changes the desktop and writes each effect to FILE\n"
    "  --help                  this text\n";
} // namespace

QString usageText(Program program)
{
    return QString::fromLatin1(program == Program::Agent ? kAgentUsage : kConfiguratorUsage);
}

QStringList StartOptions::agentArguments() const
{
    if (!simulatedMouse)
        return {QString()};
    QStringList arguments{QStringLiteral("--") + kSimulatedMouse};
    if (!recordEffects.isEmpty())
        arguments << QStringLiteral("--") + kRecordEffects << recordEffects;
    return arguments;
}

QStringList commandLineArguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

StartOptions parseStartOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({kSimulatedMouse, QString()});
    parser.addOption({kRecordEffects, QString(), QStringLiteral("file")});
    parser.addOption({kPress, QString(), QStringLiteral("control")});
    parser.addOption({kQuiet, QString()});
    parser.addOption({{QStringLiteral("h"), kHelp}, QString()});

    StartOptions options;
    if (!parser.parse(arguments))
        options.error = parser.errorText();
    options.simulatedMouse = parser.isSet(kSimulatedMouse);
    options.press = parser.value(kPress);
    options.quiet = parser.isSet(kQuiet);
    options.help = parser.isSet(kHelp);
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
