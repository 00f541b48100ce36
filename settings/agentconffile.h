// The agent's read-only access to the settings files. Every read follows the
// model chosen in the main file and sees the configurator's latest completed write.
//
// Program sets (programsets.h) are read from the model file as the last read
// left it, and kept until the file's contents or the model change; each problem
// with the list or with one of its entries is logged once per such change.
#pragma once

#include "keycombination.h"
#include "operateini.h"

#include <QHash>
#include <QSet>
#include <QObject>
#include <QString>
#include <QVector>

#include <array>
#include <optional>

namespace agent {

class OpFunConfFile : public QObject
{
    Q_OBJECT
public:
    // Binds the main file, reads the current model and binds its file. Program
    // entries are checked against the lists of the Windows version class in force
    // now (appenv::windowsVersionClass()).
    explicit OpFunConfFile(QObject *parent = nullptr);

    // /SET/mouse of the main file, after syncing it ("999" when absent or not a
    // plain file name).
    QString currentMouse();

    // Any key of the model file, after following a model change and syncing
    // ("999" when absent or stored as "NULL").
    QString value(const QString &key);

    // A key of the main file, after syncing it.
    QString mainValue(const QString &key);

    // The catalogue index stored for a control (0..5); nullopt when the entry is
    // absent (the control is unassigned). An entry controls::entryIndex() cannot
    // use reads as the list's "None", logged once per entry text.
    std::optional<int> catalogueIndex(int control);

    // A parameter, <prefix><suffix>, of the parameter set in use (below), as
    // stored ("999" when absent): /PATH/<prefix><suffix> for the default set,
    // the key of the same name in a program set's section otherwise.
    QString pathValue(const QString &prefix, const QString &suffix);

    // The set whose parameters pathValue() answers: 0 for the default set, else
    // a program set's section. The dispatcher chooses it for each event.
    void setParameterSet(int section) { m_parameterSet = section; }
    int parameterSet() const { return m_parameterSet; }

    // Whether any usable program set in the model file, as the last read left it,
    // has an entry for a control (0..5); while none has, the default set decides
    // whatever program is in front. Reads nothing itself while the file is
    // unchanged; call it after a read of the same event (catalogueIndex, value).
    bool hasProgramEntries(int control);
    // The section of the set for a program named by programsets::matchKey(); 0
    // when it has none. Answers from the sets as hasProgramEntries() last saw them.
    int sectionOf(const QString &programKey) const { return m_sectionByProgram.value(programKey); }
    // The catalogue index a program set stores for a control; nullopt when the set
    // stores none for it, or one that is malformed or outside the control's list
    // under the version class ("no entry": the default set applies).
    std::optional<int> programIndex(int section, int control) const;
    // The key combination of a control (0..5) in the parameter set in use: one for
    // a key, "up" then "down" for a wheel; none when the set stores none for it,
    // or when `index`, the entry the event read for the control, is not the list's
    // "None" (keycombination.h). A text keycombination::parse() refuses reads as
    // none, logged once per text. Reads nothing itself: call it after the event's
    // read of the entry.
    QVector<keycombination::Combination> combinations(int control, std::optional<int> index);
    // A key of a program set's section (programsets::sectionKey), read as value().
    QString programValue(int section, const QString &key);

    QString boundModel() const { return m_model; }

private:
    void followModel();
    void readProgramSets();

    OperateIni m_modelIni{OperateIni::Reader::Agent};
    OperateIni m_mainIni{OperateIni::Reader::Agent};
    QString m_model;
    const QString m_versionClass;

    // The usable program sets, and the model file's generation they were read at.
    struct ProgramEntries
    {
        int section = 0;
        std::array<std::optional<int>, 6> index; // by control number
    };
    QVector<ProgramEntries> m_programSets;
    QHash<QString, int> m_sectionByProgram; // matchKey -> section
    std::array<bool, 6> m_controlInSets{};  // by control number: some set has an entry
    quint64 m_setsGeneration = 0;
    bool m_setsRead = false;
    int m_parameterSet = 0;
    std::array<QString, 6> m_reportedEntries; // by control: the unusable entry last logged
    QSet<QString> m_reportedCombinations;
};

} // namespace agent
