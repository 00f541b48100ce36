// The program selector of the connection page: "All programs" and the program
// sets stored for the current model, which of them the pages edit, the open
// programs that can be added, and adding or removing a set. The selection itself
// is the one OpFunConfFile shares, so every accessor the pages hold follows it.
// Qt Quick type an.utility.ProgramSelector 1.0. Main thread only.
#pragma once

#include "opfunconffile.h"
#include "rulesservices.h"

#include <QHash>
#include <QObject>
#include <QUrl>
#include <QVariantList>

#include <functional>

class ProgramSelector : public QObject
{
    Q_OBJECT
    // {"section", "name", "program", "icon"} each: "All programs" (section 0,
    // program "") first, then the stored sets in section order. "icon" is a URL
    // for an Image (empty when the system gave none for the program).
    Q_PROPERTY(QVariantList entries READ entries NOTIFY entriesChanged)
    Q_PROPERTY(int selectedSection READ selectedSection NOTIFY selectionChanged)
    Q_PROPERTY(QString selectedName READ selectedName NOTIFY selectionChanged)
    // True while at least one program set is stored.
    Q_PROPERTY(bool hasSets READ hasSets NOTIFY entriesChanged)
    // The programs with a window open now that have no set yet:
    // {"program", "name", "icon"} each, as refreshCandidates() found them.
    Q_PROPERTY(QVariantList candidates READ candidates NOTIFY candidatesChanged)
    // Why program sets cannot follow the program in front on this desktop, in
    // the language on screen; empty where they can.
    Q_PROPERTY(QString detectionNotice READ detectionNotice NOTIFY detectionChanged)
    // True where the desktop can turn detection on at the user's word.
    Q_PROPERTY(bool canEnableDetection READ canEnableDetection NOTIFY detectionChanged)

public:
    static constexpr int kIconSize = 32;

    // Lists the open programs through RulesServices::current() (none there: no open
    // programs are offered).
    explicit ProgramSelector(QObject *parent = nullptr);

    QVariantList entries() const { return m_entries; }
    int selectedSection() const;
    QString selectedName() const;
    bool hasSets() const { return m_entries.size() > 1; }
    QVariantList candidates() const { return m_candidates; }
    QString detectionNotice() const;
    bool canEnableDetection() const { return m_detection == ProgramDetection::NeedsEnabling; }

    // Re-reads the stored sets of the current model; the selection stays with its
    // program, wherever its set is stored now, and where that set is gone all
    // programs are selected.
    Q_INVOKABLE void refresh();
    // Asks the system for the open programs, and whether the program in front
    // can be known.
    Q_INVOKABLE void refreshCandidates();
    // Asks the desktop to turn detection on (only ever at the user's word);
    // whether it did.
    Q_INVOKABLE bool enableDetection();
    Q_INVOKABLE void select(int section);
    // Adds a set for the program (or finds its set) and selects it; 0 and
    // sigRefused when it cannot be added.
    Q_INVOKABLE int addProgram(const QString &program, const QString &name);
    // The same for a program file the user chose: the program is the file's name,
    // shown as its base name ("C:/Apps/gimp.exe": "gimp.exe", shown as "gimp").
    Q_INVOKABLE int addProgramFile(const QUrl &file);
    Q_INVOKABLE bool removeProgram(int section);

    // The picture of an icon as an Image's URL; empty for an empty icon.
    static QString iconUrl(const QImage &icon);

signals:
    void entriesChanged();
    void selectionChanged();
    void candidatesChanged();
    void detectionChanged();
    // Why a program was not added, in the language on screen.
    void sigRefused(const QString &text);

private:
    void rebuild();
    // The entry of `section`; empty where none is listed.
    QVariantMap entry(int section) const;

    OpFunConfFile m_conf;
    void setDetection(ProgramDetection detection);

    std::function<QVector<RunningProgram>(int iconSize)> m_openPrograms;
    std::function<ProgramDetection()> m_programDetection;
    std::function<bool()> m_enableProgramDetection;
    ProgramDetection m_detection = ProgramDetection::Available;
    QVariantList m_entries;
    QVariantList m_candidates;
    // Icons seen for programs, by programsets::matchKey.
    QHash<QString, QString> m_icons;
};
