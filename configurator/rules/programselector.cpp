#include "programselector.h"

#include <QBuffer>
#include <QDebug>
#include <QFileInfo>

ProgramSelector::ProgramSelector(QObject *parent)
    : QObject(parent),
      m_openPrograms(RulesServices::current().openPrograms),
      m_programDetection(RulesServices::current().programDetection),
      m_enableProgramDetection(RulesServices::current().enableProgramDetection)
{
    // Another selection may also mean another model, with sets of its own.
    connect(&m_conf, &OpFunConfFile::selectedSetChanged, this, &ProgramSelector::rebuild);
    connect(&m_conf, &OpFunConfFile::programSetsChanged, this, &ProgramSelector::rebuild);
    rebuild();
}

int ProgramSelector::selectedSection() const
{
    return m_conf.selectedSet();
}

QVariantMap ProgramSelector::entry(int section) const
{
    for (const QVariant &entry : m_entries) {
        const QVariantMap map = entry.toMap();
        if (map.value(QStringLiteral("section")).toInt() == section)
            return map;
    }
    return {};
}

QString ProgramSelector::selectedName() const
{
    return entry(selectedSection()).value(QStringLiteral("name"), tr("All programs")).toString();
}

void ProgramSelector::refresh()
{
    const QString program = entry(selectedSection()).value(QStringLiteral("program")).toString();
    rebuild();
    if (selectedSection() == 0)
        return;
    // The selection follows its program. Another program (a text editor,
    // velko-options, a second copy's import) may have removed an earlier set,
    // which moves the later ones down a section, or the selected one itself:
    // then all programs are selected, so that no pick goes into a section that
    // another program owns now, or none does.
    int section = 0;
    for (const QVariant &value : qAsConst(m_entries)) {
        const QVariantMap map = value.toMap();
        const QString stored = map.value(QStringLiteral("program")).toString();
        if (!program.isEmpty() && programsets::matchKey(stored) == programsets::matchKey(program))
            section = map.value(QStringLiteral("section")).toInt();
    }
    if (section == selectedSection())
        return;
    if (section == 0)
        qDebug() << "ProgramSelector: the selected program set is gone, showing all programs";
    m_conf.selectSet(section); // rebuilds through selectedSetChanged
}

void ProgramSelector::rebuild()
{
    m_conf.syncMouseIni();
    QVariantList entries{QVariantMap{{QStringLiteral("section"), 0},
                                     {QStringLiteral("name"), tr("All programs")},
                                     {QStringLiteral("program"), QString()},
                                     {QStringLiteral("icon"), QString()}}};
    for (const programsets::ProgramSet &set : m_conf.sets())
        entries.append(QVariantMap{{QStringLiteral("section"), set.section},
                                   {QStringLiteral("name"), set.name},
                                   {QStringLiteral("program"), set.program},
                                   {QStringLiteral("icon"),
                                    m_icons.value(programsets::matchKey(set.program))}});
    m_entries = entries;
    emit entriesChanged();
    emit selectionChanged();
}

QString ProgramSelector::detectionNotice() const
{
    switch (m_detection) {
    case ProgramDetection::Available:
        break;
    case ProgramDetection::NeedsEnabling:
        return tr("To know which program is in front, GNOME needs the Velko Options "
                  "extension, which is installed but not enabled. Until it is, only some "
                  "programs get their own settings.");
    case ProgramDetection::Unavailable:
        return tr("Which program is in front cannot be known on this desktop: the settings "
                  "for all programs apply everywhere.");
    }
    return {};
}

void ProgramSelector::setDetection(ProgramDetection detection)
{
    if (detection == m_detection)
        return;
    m_detection = detection;
    emit detectionChanged();
}

bool ProgramSelector::enableDetection()
{
    if (m_detection != ProgramDetection::NeedsEnabling || !m_enableProgramDetection)
        return false;
    const bool enabled = m_enableProgramDetection();
    if (m_programDetection)
        setDetection(m_programDetection());
    return enabled;
}

void ProgramSelector::refreshCandidates()
{
    if (m_programDetection)
        setDetection(m_programDetection());
    m_candidates.clear();
    const QVector<programsets::ProgramSet> stored = m_conf.sets();
    bool newIcon = false;
    const QVector<RunningProgram> open =
        m_openPrograms ? m_openPrograms(kIconSize) : QVector<RunningProgram>();
    for (const RunningProgram &program : open) {
        const QString &name = program.program;
        if (!programsets::isValidProgram(name))
            continue;
        const QString icon = iconUrl(program.icon);
        const QString key = programsets::matchKey(name);
        if (!icon.isEmpty() && m_icons.value(key) != icon) {
            m_icons.insert(key, icon);
            newIcon = true;
        }
        if (programsets::find(stored, name))
            continue;
        const QString shown = program.displayName.trimmed();
        m_candidates.append(QVariantMap{{QStringLiteral("program"), name},
                                        {QStringLiteral("name"), shown.isEmpty() ? name : shown},
                                        {QStringLiteral("icon"), icon}});
    }
    emit candidatesChanged();
    if (newIcon)
        rebuild();
}

void ProgramSelector::select(int section)
{
    m_conf.syncMouseIni();
    m_conf.selectSet(section);
}

int ProgramSelector::addProgram(const QString &program, const QString &name)
{
    m_conf.syncMouseIni();
    const int section = m_conf.AddProgramSet(program, name);
    if (section == 0) {
        emit sigRefused(programsets::isValidProgram(program)
                            ? tr("At most %1 programs can be added").arg(programsets::kMaxSets)
                            : tr("This program cannot be added"));
        return 0;
    }
    rebuild();
    m_conf.selectSet(section);
    // The program is no longer offered.
    for (int i = 0; i < m_candidates.size(); ++i) {
        if (programsets::matchKey(m_candidates[i].toMap().value(QStringLiteral("program")).toString()) ==
            programsets::matchKey(program)) {
            m_candidates.removeAt(i);
            emit candidatesChanged();
            break;
        }
    }
    return section;
}

int ProgramSelector::addProgramFile(const QUrl &file)
{
    const QFileInfo info(file.isLocalFile() ? file.toLocalFile() : QString());
    const QString name = info.completeBaseName();
    return addProgram(info.fileName(), name.isEmpty() ? info.fileName() : name);
}

bool ProgramSelector::removeProgram(int section)
{
    m_conf.syncMouseIni();
    return m_conf.RemoveProgramSet(section); // the change notice rebuilds the list
}

QString ProgramSelector::iconUrl(const QImage &icon)
{
    if (icon.isNull())
        return QString();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    icon.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}
