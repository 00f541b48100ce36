// The configurator's access to the settings files: the main file and the file of
// the chosen mouse model. Qt Quick type Operate.Conf.OpFunConfFile 1.0.
//
// Program sets (programsets.h): the pages edit one set at a time, the selected
// set: 0 is the default set ("All programs"), n the set stored in section
// [PROGRAMn]. With a program set selected, the six entry properties and setters
// and the 56 parameter getters and setters address that section's keys; a
// control the set does not assign reads as absent there (its entry property
// gives the empty text: "Same as all programs"). A key's entry set in a program
// set brings that key's parameters there with their defaults ("none", speeds "1")
// unless the set has them already. The selection is shared by
// every OpFunConfFile of the process (the pages create several) and goes back to
// "All programs" when another model's file is bound. Main thread only.
#pragma once

#include "controls.h"
#include "operateini.h"
#include "programsets.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QSysInfo>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <optional>

// The selected set, shared by the OpFunConfFile objects that follow it.
class ProgramSetSelection : public QObject
{
    Q_OBJECT
public:
    static const std::shared_ptr<ProgramSetSelection> &shared();

    // The model file the selection was made in, and the section (0: the default set).
    QString file;
    int section = 0;

    void set(const QString &modelFile, int newSection);
    void announceSetsChanged() { emit setsChanged(); }
signals:
    void selectionChanged();
    // A set was added, removed, restored or replaced.
    void setsChanged();
};

class OpFunConfFile : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString GetCurrentMouse READ GetCurrentMouse CONSTANT)
    Q_PROPERTY(QString GetMidKeyVal READ GetMidKeyVal CONSTANT)
    Q_PROPERTY(QString GetRightKeyVal READ GetRightKeyVal CONSTANT)
    Q_PROPERTY(QString GetMidWheelVal READ GetMidWheelVal CONSTANT)
    Q_PROPERTY(QString GetSideDownkeyVal READ GetSideDownkeyVal CONSTANT)
    Q_PROPERTY(QString GetSideUpkeyVal READ GetSideUpkeyVal CONSTANT)
    Q_PROPERTY(QString GetSideWheel READ GetSideWheel CONSTANT)
    Q_PROPERTY(int selectedSet READ selectedSet WRITE selectSet NOTIFY selectedSetChanged)
public:
    // A program set as the download replaces them: section keys (as in [SET] and
    // [PATH]) and their values.
    struct StoredSet
    {
        QString program;
        QString name;
        QMap<QString, QString> values;
    };

    // Binds the main file in the application folder; the model file stays unbound
    // until syncMouseIni() or SetCurrentMouse().
    explicit OpFunConfFile(QObject *parent = nullptr);

    Q_INVOKABLE void syncMouseIni();
    Q_INVOKABLE void syncIniToFile();
    // Whether every change made through this object has reached its file.
    bool allSaved() const { return m_mainIni.allSaved() && m_modelIni.allSaved(); }

    // How the agent last said it hears the mouse: "driver" (the filter driver),
    // "hook" (the system's mouse hook) or "" (not said, or neither).
    Q_INVOKABLE QString InputSource() const;

    // A control's key combination in the selected set: its text for a key, the
    // "up" and "down" texts for a wheel, written as this system writes shortcuts;
    // empty when the control has none (or an unusable one).
    Q_INVOKABLE QStringList GetCombination(const QString &tag);
    // Gives the control of `tag` the combination (one text, or "up" and "down"
    // for a wheel) in the selected set: its entry and the texts are written and
    // the file synced. Empty on success, else what is wrong, in the user's
    // language, and nothing is written.
    Q_INVOKABLE QString SetCombination(const QString &tag, const QStringList &texts);
    // The same for the documents: the stored texts ("Win" for the Windows key,
    // or this system's name), and a write of usable texts without syncing (false,
    // what is wrong in `problem`, and nothing written for any other).
    QStringList combinationTexts(const controls::Control &control, bool windowsNames);
    bool writeCombination(const controls::Control &control, const QStringList &texts,
                          QString *problem = nullptr);
    // From now on syncMouseIni() binds this model's file whatever the main file
    // names (the settings file export and import address every model); empty: the
    // main file's model again. The main file is not written.
    void pinModel(const QString &model);
    // Sets up the bound model file unless that has been done ("/SET/isConf" is
    // "Y"), as choosing its model does: every entry and parameter the file lacks
    // gets its default, and what it holds stays.
    void setUp();
    Q_INVOKABLE void SetCurrentMouse(const QString &val);

    Q_INVOKABLE void SetMidKeyVal(const QString &val);
    Q_INVOKABLE void SetRightKeyVal(const QString &val);
    Q_INVOKABLE void SetMidWheelVal(const QString &val);
    Q_INVOKABLE void SetSideDownkeyVal(const QString &val);
    Q_INVOKABLE void SetSideUpkeyVal(const QString &val);
    Q_INVOKABLE void SetSideWheel(const QString &val);

    // /PATH/mid_*
    Q_INVOKABLE QString GetMidWebUrl();
    Q_INVOKABLE QString GetMidFilePath();
    Q_INVOKABLE QString GetMidFloderPath();
    Q_INVOKABLE QString GetMidAppPath();
    Q_INVOKABLE QString GetMidSoundPath();
    Q_INVOKABLE QString GetMidMainSpeed();
    Q_INVOKABLE QString GetMidSelfSpeed();
    Q_INVOKABLE void SetMidWebUrl(const QString &url);
    Q_INVOKABLE void SetMidFilePath(const QString &fPath);
    Q_INVOKABLE void SetMidFolderPath(const QString &path);
    Q_INVOKABLE void SetMidAppPath(const QString &app_path);
    Q_INVOKABLE void SetMidSoundPath(const QString &sound_path);
    Q_INVOKABLE void SetMidMainSpeed(const QString &main_speed);
    Q_INVOKABLE void SetMidSelfSpeed(const QString &self_speed);
    // /PATH/right_*
    Q_INVOKABLE QString GetRightWebUrl();
    Q_INVOKABLE QString GetRightFilePath();
    Q_INVOKABLE QString GetRightFloderPath();
    Q_INVOKABLE QString GetRightAppPath();
    Q_INVOKABLE QString GetRightSoundPath();
    Q_INVOKABLE QString GetRightMainSpeed();
    Q_INVOKABLE QString GetRightSelfSpeed();
    Q_INVOKABLE void SetRightWebUrl(const QString &url);
    Q_INVOKABLE void SetRightFilePath(const QString &fPath);
    Q_INVOKABLE void SetRightFolderPath(const QString &path);
    Q_INVOKABLE void SetRightAppPath(const QString &app_path);
    Q_INVOKABLE void SetRightSoundPath(const QString &sound_path);
    Q_INVOKABLE void SetRightMainSpeed(const QString &main_speed);
    Q_INVOKABLE void SetRightSelfSpeed(const QString &self_speed);
    // /PATH/slider_up_*
    Q_INVOKABLE QString GetSliderUpWebUrl();
    Q_INVOKABLE QString GetSliderUpFilePath();
    Q_INVOKABLE QString GetSliderUpFloderPath();
    Q_INVOKABLE QString GetSliderUpAppPath();
    Q_INVOKABLE QString GetSliderUpSoundPath();
    Q_INVOKABLE QString GetSliderUpMainSpeed();
    Q_INVOKABLE QString GetSliderUpSelfSpeed();
    Q_INVOKABLE void SetSliderUpWebUrl(const QString &url);
    Q_INVOKABLE void SetSliderUpFilePath(const QString &fPath);
    Q_INVOKABLE void SetSliderUpFolderPath(const QString &path);
    Q_INVOKABLE void SetSliderUpAppPath(const QString &app_path);
    Q_INVOKABLE void SetSliderUpSoundPath(const QString &sound_path);
    Q_INVOKABLE void SetSliderUpMainSpeed(const QString &main_speed);
    Q_INVOKABLE void SetSliderUpSelfSpeed(const QString &self_speed);
    // /PATH/slider_down_*
    Q_INVOKABLE QString GetSliderDownWebUrl();
    Q_INVOKABLE QString GetSliderDownFilePath();
    Q_INVOKABLE QString GetSliderDownFloderPath();
    Q_INVOKABLE QString GetSliderDownAppPath();
    Q_INVOKABLE QString GetSliderDownSoundPath();
    Q_INVOKABLE QString GetSliderDownMainSpeed();
    Q_INVOKABLE QString GetSliderDownSelfSpeed();
    Q_INVOKABLE void SetSliderDownWebUrl(const QString &url);
    Q_INVOKABLE void SetSliderDownFilePath(const QString &fPath);
    Q_INVOKABLE void SetSliderDownFolderPath(const QString &path);
    Q_INVOKABLE void SetSliderDownAppPath(const QString &app_path);
    Q_INVOKABLE void SetSliderDownSoundPath(const QString &sound_path);
    Q_INVOKABLE void SetSliderDownMainSpeed(const QString &main_speed);
    Q_INVOKABLE void SetSliderDownSelfSpeed(const QString &self_speed);

    Q_INVOKABLE void SetDefault();

    // ---- Program sets, in the bound model file ----
    // The selected set: 0, or the section of a stored set. selectSet() ignores a
    // section that holds no usable set.
    int selectedSet() const;
    Q_INVOKABLE void selectSet(int section);
    // The usable sets: {"section", "program", "name"} each, in section order.
    Q_INVOKABLE QVariantList programSets();
    QVector<programsets::ProgramSet> sets();
    // Adds a set for `program` (shown as `name`, the program's name when empty) and
    // answers its section; the section of the program's set when it has one
    // already (nothing is written); 0 when the name cannot identify a program, the
    // file is unbound or it holds programsets::kMaxSets sets.
    Q_INVOKABLE int AddProgramSet(const QString &program, const QString &name);
    // Removes a set; the later sets move down one section each. False for a
    // section that is not stored.
    Q_INVOKABLE bool RemoveProgramSet(int section);
    // "Same as all programs" for one control (by tag, "midKey"...) in the selected
    // program set: its entry and parameters there are removed. False with the
    // default set selected or for an unknown tag.
    Q_INVOKABLE bool SetSameAsAllPrograms(const QString &tag);
    // What a control (by tag) performs where a program set leaves it to all
    // programs: its assignment in the default set, whatever set is selected.
    // {"index": the list position as text, "" where the entry reads as "None";
    // "combination": its key combination's texts, empty without one}. An empty
    // map for an unknown tag or an unbound file.
    Q_INVOKABLE QVariantMap AllProgramsAssignment(const QString &tag);
    // "Restore default" for the selected set: the default set's defaults
    // (SetDefault()), or a program set's entries and parameters removed (the
    // program stays).
    Q_INVOKABLE void RestoreSelectedSet();
    // The default set's defaults and every program set emptied.
    Q_INVOKABLE void RestoreEverything();
    // Replaces every stored set (no sync); the selection goes back to "All programs".
    // A key with an entry gets the parameters it lacks with their defaults.
    void replaceProgramSets(const QVector<StoredSet> &sets);

    // C++ callers that address the sets themselves (the sync): from now on this
    // object addresses `section` whatever the shared selection says; nullopt
    // follows it again.
    void fixSet(std::optional<int> section);

    // Read-only properties (read on every access: the pages re-read them).
    // "NULL" when /SET/mouse is absent or not a plain file name.
    QString GetCurrentMouse();
    QString GetMidKeyVal();
    QString GetRightKeyVal();
    QString GetMidWheelVal();
    QString GetSideDownkeyVal();
    QString GetSideUpkeyVal();
    QString GetSideWheel();

    QString versionClass() const { return m_versionClass; }
    // The entry stored for a control ("Mid_key") in the selected set, as it stands;
    // "NULL" when absent.
    QString storedEntry(const char *setKey);

signals:
    void selectedSetChanged();
    void programSetsChanged();

private:
    QString pathValue(const QString &key);
    void setPathValue(const QString &key, const QString &value);
    QString entryJson(const char *setKey);
    void setEntry(const char *setKey, const QString &value);
    // Every control's entry and parameters at their defaults; only those the file
    // lacks unless `replace`. Marks the file as set up.
    void writeDefaults(bool replace);
    // The absent parameters of the key stored under `setKey` in a section, with
    // their defaults.
    void seedParameters(int section, const QString &setKey);
    // "/SET/" or "/PATH/" + name in the default set, the section's key in a program set.
    QString addressed(const char *group, const QString &name) const;
    // The stored count, clamped to 0..kMaxSets.
    int storedCount();
    void clearSection(int section);

    OperateIni m_modelIni{OperateIni::Reader::Configurator};
    OperateIni m_mainIni{OperateIni::Reader::Configurator};
    QString m_versionClass;
    // Whether the Windows key is written "Win" (on Windows) or "Super".
    bool m_windowsNames = QSysInfo::kernelType() == QLatin1String("winnt");
    QString m_pinnedModel;
    std::shared_ptr<ProgramSetSelection> m_selection;
    std::optional<int> m_fixedSet;
};
