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
    rebuild();
    // A set another program removed (a text editor, a second copy's import) is
    // left for all programs, so that no pick goes into a section that no program
    // owns any more.
    if (entry(selectedSection()).isEmpty()) {
        qDebug() << "ProgramSelector: the selected program set is gone, showing all programs";
        m_conf.selectSet(0); // rebuilds through selectedSetChanged
    }
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
