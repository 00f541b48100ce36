#include "assignmentrules.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <algorithm>

namespace assignment {
namespace {

struct KeyTag
{
    const char *tag;
    const char *prefix;
};

const KeyTag kKeyTags[] = {
    {"midKey", "Mid"},
    {"rightKey", "Right"},
    {"slideUpKey", "SliderUp"},
    {"slideDownKey", "SliderDown"},
};

// The accessor names of each panel, without "Set"/"Get" and the key's prefix.
// The folder getter keeps the settings class's own spelling.
struct PanelAccessors
{
    const char *setter;
    const char *getter;
};

const PanelAccessors kPanelAccessors[] = {
    {"WebUrl", "WebUrl"},       {"FilePath", "FilePath"},   {"FolderPath", "FloderPath"},
    {"AppPath", "AppPath"},     {"SoundPath", "SoundPath"}, {"MainSpeed", "MainSpeed"},
    {"SelfSpeed", "SelfSpeed"},
};

QString accessorName(const char *verb, const QString &tag, int index, int speedType, bool setter)
{
    const QString prefix = accessorPrefix(tag);
    const Panel panel = panelFor(index);
    if (prefix.isEmpty() || panel == NoPanel ||
        (panel == Speed && speedType != 0 && speedType != 1))
        return QString();
    const PanelAccessors &names = kPanelAccessors[panel - 1 + (panel == Speed ? speedType : 0)];
    return QLatin1String(verb) + prefix + QLatin1String(setter ? names.setter : names.getter);
}

// A chooser's filter name in the language on screen.
QString translated(const char *text)
{
    return QCoreApplication::translate("AssignmentRules", text);
}

} // namespace

QVector<int> removedPositions(catalogue::List list, const QString &versionClass)
{
    const bool win8 = catalogue::isWin8(versionClass);
    const QVector<catalogue::SourceItem> &source = catalogue::sourceList(list);
    QVector<int> positions;
    for (int i = source.size() - 1; i >= 0; --i) {
        const catalogue::Shown shown = source[i].shown;
        if (shown == catalogue::Shown::Never || (shown == catalogue::Shown::NotUnderWin8 && win8))
            positions.append(i);
    }
    return positions;
}

QString entryText(const QString &name, int index, const QString &tag)
{
    return name + QLatin1Char('-') + QString::number(index) + QLatin1Char('-') + tag;
}

Panel panelFor(int index)
{
    return index >= WebUrl && index <= Speed ? Panel(index) : NoPanel;
}

bool hasChooser(int index)
{
    return index >= File && index <= Sound;
}

int pageWidth(int index)
{
    return panelFor(index) == NoPanel ? kNarrowWidth : kWideWidth;
}

QString accessorPrefix(const QString &tag)
{
    for (const KeyTag &key : kKeyTags)
        if (tag == QLatin1String(key.tag))
            return QLatin1String(key.prefix);
    return QString();
}

QString setterName(const QString &tag, int index, int speedType)
{
    return accessorName("Set", tag, index, speedType, true);
}

QString getterName(const QString &tag, int index, int speedType)
{
    return accessorName("Get", tag, index, speedType, false);
}

int speedFromStored(const QString &stored)
{
    bool ok = false;
    const int speed = stored.trimmed().toInt(&ok);
    return ok ? std::clamp(speed, kMinSpeed, kMaxSpeed) : 0;
}

Chooser chooserFor(int index, platform::SystemFamily family, const QString &home,
                   const QString &music)
{
    const bool windows = family == platform::SystemFamily::Windows;
    const QUrl homeUrl = QUrl::fromLocalFile(home);
    Chooser chooser;
    switch (panelFor(index)) {
    case File:
        chooser.startFolder = windows ? QUrl(QStringLiteral("file:///C:/Windows/")) : homeUrl;
        chooser.nameFilters = QStringList{QStringLiteral("*.*")};
        break;
    case Folder:
        chooser.picksFolder = true;
        chooser.startFolder = windows ? QUrl(QStringLiteral("file:///C:/Windows/")) : homeUrl;
        break;
    case Program:
        if (windows) {
            chooser.startFolder = QUrl(QStringLiteral("file:///C:/Program Files (x86)/"));
            chooser.nameFilters =
                QStringList{translated(QT_TRANSLATE_NOOP("AssignmentRules", "Program (*.exe)")),
                            translated(QT_TRANSLATE_NOOP("AssignmentRules", "All files (*)"))};
        } else {
            chooser.startFolder = homeUrl;
            chooser.nameFilters =
                QStringList{translated(QT_TRANSLATE_NOOP("AssignmentRules", "All files (*)"))};
        }
        break;
    case Sound:
        chooser.startFolder = windows ? QUrl(QStringLiteral("file:///C:/Windows/Media"))
                                      : QUrl::fromLocalFile(music.isEmpty() ? home : music);
        chooser.nameFilters = QStringList{
            translated(QT_TRANSLATE_NOOP("AssignmentRules", "sound files (*.wav *.mp3)"))};
        break;
    default:
        break;
    }
    return chooser;
}

QString chooserAnswer(const QUrl &chosen)
{
    if (!chosen.isLocalFile())
        return QString();
    const QString path = QDir::fromNativeSeparators(chosen.toLocalFile());
    if (path.isEmpty())
        return QString();
    return QUrl::fromLocalFile(path).toString();
}

} // namespace assignment

namespace {
QVariantList toVariantList(const QVector<int> &values)
{
    QVariantList list;
    for (int value : values)
        list.append(value);
    return list;
}
} // namespace

AssignmentRules::AssignmentRules(QObject *parent)
    : QObject(parent), m_family(platform::nativeSystemFamily()), m_home(QDir::homePath()),
      m_music(QStandardPaths::writableLocation(QStandardPaths::MusicLocation))
{
}

QVariantList AssignmentRules::removedKeyPositions(const QString &versionClass) const
{
    return toVariantList(assignment::removedPositions(catalogue::List::Keys, versionClass));
}

QVariantList AssignmentRules::removedWheelPositions(const QString &versionClass) const
{
    return toVariantList(assignment::removedPositions(catalogue::List::Wheels, versionClass));
}

int AssignmentRules::keyNoneIndex(const QString &versionClass) const
{
    return catalogue::noneIndex(catalogue::List::Keys, versionClass);
}

int AssignmentRules::wheelNoneIndex(const QString &versionClass) const
{
    return catalogue::noneIndex(catalogue::List::Wheels, versionClass);
}

QString AssignmentRules::entryText(const QString &name, int index, const QString &tag) const
{
    return assignment::entryText(name, index, tag);
}

QString AssignmentRules::setterName(const QString &tag, int index, int speedType) const
{
    return assignment::setterName(tag, index, speedType);
}

QString AssignmentRules::getterName(const QString &tag, int index, int speedType) const
{
    return assignment::getterName(tag, index, speedType);
}

int AssignmentRules::speedFromStored(const QString &stored) const
{
    return assignment::speedFromStored(stored);
}

bool AssignmentRules::chooserPicksFolder(int index) const
{
    return chooser(index).picksFolder;
}

QUrl AssignmentRules::chooserFolder(int index) const
{
    return chooser(index).startFolder;
}

QStringList AssignmentRules::chooserFilters(int index) const
{
    return chooser(index).nameFilters;
}

QString AssignmentRules::chooserAnswer(const QUrl &chosen) const
{
    return assignment::chooserAnswer(chosen);
}

assignment::Chooser AssignmentRules::chooser(int index) const
{
    return assignment::chooserFor(index, m_family, m_home, m_music);
}
