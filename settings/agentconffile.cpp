#include "agentconffile.h"

#include "keycombination.h"

#include "appenv.h"
#include "controls.h"
#include "programsets.h"

#include <QDebug>

namespace agent {

static const QString kMissing = QStringLiteral("999");

// A name that is no plain file name (edited by hand, "../x") is no model.
static QString plainModel(const QString &stored)
{
    return appenv::isPlainFileName(stored) ? stored : kMissing;
}

OpFunConfFile::OpFunConfFile(QObject *parent)
    : QObject(parent), m_versionClass(appenv::windowsVersionClass())
{
    m_mainIni.setSetIniPath(appenv::mainSettingsPath());
    m_model = plainModel(m_mainIni.getValue(QStringLiteral("/SET/mouse")));
    m_modelIni.setSetIniPath(appenv::modelSettingsPath(m_model));
    qDebug() << "new OpFunConfFile";
}

QString OpFunConfFile::currentMouse()
{
    return plainModel(mainValue(QStringLiteral("/SET/mouse")));
}

QString OpFunConfFile::mainValue(const QString &key)
{
    m_mainIni.sync();
    return m_mainIni.getValue(key);
}

void OpFunConfFile::followModel()
{
    const QString model = currentMouse();
    if (model != m_model) {
        m_model = model;
        m_modelIni.setSetIniPath(appenv::modelSettingsPath(model));
    }
}

QString OpFunConfFile::value(const QString &key)
{
    followModel();
    m_modelIni.sync();
    return m_modelIni.getValue(key);
}

std::optional<int> OpFunConfFile::catalogueIndex(int control)
{
    const controls::Control *c = controls::byNumber(control);
    if (!c)
        return std::nullopt;
    const QString entry = value(controls::setKeyPath(*c));
    if (entry == kMissing)
        return std::nullopt;
    if (const std::optional<int> index = controls::entryIndex(entry, *c, m_versionClass))
        return index;
    // Read as "None" (the control's own behaviour), as the pages and the sync do;
    // the file stays as it is. Said once per entry text, not at every event.
    QString &reported = m_reportedEntries[size_t(control)];
    if (reported != entry) {
        reported = entry;
        qWarning().noquote() << QStringLiteral("settings: unusable entry \"%1\" for %2, read as None")
                                    .arg(entry.left(40), QLatin1String(c->setKey));
    }
    return controls::noneIndex(*c, m_versionClass);
}

QString OpFunConfFile::pathValue(const QString &prefix, const QString &suffix)
{
    if (m_parameterSet > 0)
        return programValue(m_parameterSet, prefix + suffix);
    return value(controls::pathKey(prefix, suffix));
}

QVector<keycombination::Combination> OpFunConfFile::combinations(int control,
                                                                std::optional<int> index)
{
    const controls::Control *c = controls::byNumber(control);
    if (!c || !index || *index != controls::noneIndex(*c, m_versionClass))
        return {};
    QVector<keycombination::Combination> out;
    for (const QString &key : keycombination::storageKeys(*c)) {
        // As the event's read of the entry left the file: no sync of its own.
        const QString text = m_modelIni.getValue(
            m_parameterSet > 0 ? programsets::sectionKey(m_parameterSet, key)
                               : QStringLiteral("/SET/") + key);
        if (text == kMissing)
            return {};
        keycombination::Problem problem = keycombination::Problem::None;
        QString name;
        const std::optional<keycombination::Combination> combination =
            keycombination::parse(text, &problem, &name);
        if (!combination) {
            if (!m_reportedCombinations.contains(text)) {
                m_reportedCombinations.insert(text);
                qWarning().noquote()
                    << QStringLiteral("%1: unusable key combination \"%2\" (%3): no combination")
                           .arg(key, text.left(40), keycombination::describe(problem, name));
            }
            return {};
        }
        out << *combination;
    }
    return out;
}

QString OpFunConfFile::programValue(int section, const QString &key)
{
    return value(programsets::sectionKey(section, key));
}

bool OpFunConfFile::hasProgramEntries(int control)
{
    if (!m_setsRead || m_modelIni.generation() != m_setsGeneration)
        readProgramSets();
    return control >= 0 && control < int(m_controlInSets.size()) && m_controlInSets[size_t(control)];
}

std::optional<int> OpFunConfFile::programIndex(int section, int control) const
{
    if (control < 0 || control >= int(controls::kControls.size()))
        return std::nullopt;
    for (const ProgramEntries &set : m_programSets)
        if (set.section == section)
            return set.index[size_t(control)];
    return std::nullopt;
}

// Runs only when the model file's contents or binding changed since the last
// time, so each problem is logged once per change.
void OpFunConfFile::readProgramSets()
{
    m_setsRead = true;
    m_setsGeneration = m_modelIni.generation();
    m_programSets.clear();
    m_sectionByProgram.clear();
    m_controlInSets.fill(false);
    QStringList problems;
    const QVector<programsets::ProgramSet> sets = programsets::readSets(m_modelIni, &problems);
    for (const programsets::ProgramSet &set : sets) {
        ProgramEntries entries;
        entries.section = set.section;
        for (const controls::Control &control : controls::kControls) {
            const QString entry = m_modelIni.getValue(
                programsets::sectionKey(set.section, QLatin1String(control.setKey)));
            if (entry == kMissing)
                continue; // "Same as all programs"
            entries.index[size_t(control.number)] =
                controls::entryIndex(entry, control, m_versionClass);
            m_controlInSets[size_t(control.number)] |= bool(entries.index[size_t(control.number)]);
            if (!entries.index[size_t(control.number)])
                problems << QStringLiteral("program sets: section %1 (%2): unusable entry \"%3\" "
                                           "for %4, the default set applies")
                                .arg(set.section)
                                .arg(set.program, entry.left(40), QLatin1String(control.setKey));
        }
        m_programSets.append(entries);
        m_sectionByProgram.insert(programsets::matchKey(set.program), set.section);
    }
    for (const QString &problem : qAsConst(problems))
        qWarning().noquote() << problem;
}

} // namespace agent
