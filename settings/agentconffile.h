// The agent's read-only access to the settings files. Every read follows the
// model chosen in the main file and sees the configurator's latest completed write.
#pragma once

#include "operateini.h"

#include <QObject>
#include <QString>

#include <optional>

namespace agent {

class OpFunConfFile : public QObject
{
    Q_OBJECT
public:
    // Binds the main file, reads the current model and binds its file.
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
    // absent (the control is unassigned). Text between the first two "-" that is
    // not a decimal number reads as 0.
    std::optional<int> catalogueIndex(int control);

    // /PATH/<prefix><suffix> as stored ("999" when absent).
    QString pathValue(const QString &prefix, const QString &suffix);

    QString boundModel() const { return m_model; }

private:
    void followModel();

    OperateIni m_modelIni{OperateIni::Reader::Agent};
    OperateIni m_mainIni{OperateIni::Reader::Agent};
    QString m_model;
};

// The index part of a function entry, as the agent reads it.
int entryIndex(const QString &entry);

} // namespace agent
