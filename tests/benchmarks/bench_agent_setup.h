// The agent benchmarks' set-up on the fake platform: the settings they run with
// and, for the runs with program sets, ten of those.
#pragma once

#include "bench_common.h"
#include "fake_agent_platform.h"

#include <memory>

namespace bench {

// Writes kSettings as model "QX210"'s file and puts an `Input` in place of the
// fakes' input service, with the system's own way of deferring events through
// the main window; answers the input, or null when the folder is unusable.
template <class Input> Input *prepareAgent(SettingsFolder &folder, FakeAgentPlatform &fakes)
{
    if (!folder.isValid())
        return nullptr;
    folder.setModel(QStringLiteral("QX210"));
    folder.setModelValues(QStringLiteral("QX210"), kSettings);
    auto owned = std::make_unique<Input>();
    Input *input = owned.get();
    fakes.input = input;
    fakes.platform.input = std::move(owned);
    fakes.platform.nativeMessages = platform::createNativeMessages();
    return input;
}

// Ten program sets beside kSettings, the seventh for the program in front: it
// gives the right key and both wheels their own entries, the same functions as
// kSettings (so the cycle's input stays the same), and leaves the other keys to
// the default set. The other nine give every control another function. The
// program in front is the fake directory's, or with `frontProgram` the one the
// system's directory names.
inline void addTenProgramSets(SettingsFolder &folder, FakeAgentPlatform &fakes,
                              const std::string &frontProgram = {})
{
    constexpr int kSets = 10, kFront = 7;
    QMap<QString, QString> values{{QStringLiteral("PROGRAMS/count"), QString::number(kSets)}};
    for (int section = 1; section <= kSets; ++section) {
        const QString group = QStringLiteral("PROGRAM%1/").arg(section);
        values.insert(group + "program", section == kFront && !frontProgram.empty()
                                             ? QString::fromStdString(frontProgram)
                                             : QStringLiteral("program%1.exe").arg(section));
        values.insert(group + "name", QStringLiteral("Program %1").arg(section));
        if (section == kFront) {
            values.insert(group + "Right_key", kSettings.value("SET/Right_key"));
            values.insert(group + "Mid_wheel", kSettings.value("SET/Mid_wheel"));
            values.insert(group + "Side_wheel", kSettings.value("SET/Side_wheel"));
            values.insert(group + "right_web_url", QStringLiteral("https://example.com/"));
            continue;
        }
        for (const char *key : {"Mid_key", "Right_key", "Side_upkey", "Side_downkey"})
            values.insert(group + key, QStringLiteral("Copy-12-x"));
        values.insert(group + "Mid_wheel", QStringLiteral("Stop-8-midWheel"));
        values.insert(group + "Side_wheel", QStringLiteral("Stop-8-slideWheel"));
        values.insert(group + "mid_web_url", QStringLiteral("https://example.org/"));
    }
    folder.setModelValues(QStringLiteral("QX210"), values);
    if (frontProgram.empty())
        fakes.programs->showProgram(QStringLiteral("program%1.exe").arg(kFront).toStdString());
}

} // namespace bench
