#include "programselector.h"

#include "configuratorplatform.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>

#include <cstring>

ProgramSelector::ProgramSelector(QObject *parent)
    : QObject(parent), m_programs(ConfiguratorPlatform::current().programs)
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

QString ProgramSelector::selectedName() const
{
    const int section = selectedSection();
    for (const QVariant &entry : m_entries) {
        const QVariantMap map = entry.toMap();
        if (map.value(QStringLiteral("section")).toInt() == section)
            return map.value(QStringLiteral("name")).toString();
    }
    return tr("All programs");
}

void ProgramSelector::refresh()
{
    rebuild();
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

void ProgramSelector::refreshCandidates()
{
    m_candidates.clear();
    const QVector<programsets::ProgramSet> stored = m_conf.sets();
    bool newIcon = false;
    const std::vector<platform::OpenProgram> open =
        m_programs ? m_programs->openPrograms(kIconSize) : std::vector<platform::OpenProgram>();
    for (const platform::OpenProgram &program : open) {
        const QString name = QString::fromStdString(program.program);
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
        const QString shown = QString::fromStdString(program.displayName).trimmed();
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

QString ProgramSelector::iconUrl(const platform::ProgramIcon &icon)
{
    if (icon.empty() || icon.width <= 0 || icon.height <= 0 ||
        icon.argb.size() != size_t(icon.width) * size_t(icon.height))
        return QString();
    QImage image(icon.width, icon.height, QImage::Format_ARGB32);
    for (int y = 0; y < icon.height; ++y)
        memcpy(image.scanLine(y), icon.argb.data() + size_t(y) * size_t(icon.width),
               size_t(icon.width) * sizeof(std::uint32_t));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}
