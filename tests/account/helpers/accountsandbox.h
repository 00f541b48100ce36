// A temporary application folder with its "system" folder for the account tests,
// pointed at a scripted server through the main file's server key.
#pragma once

#include <QByteArray>
#include <QSignalSpy>
#include <QString>
#include <QTemporaryDir>

class ScriptedHttpServer;

class AccountSandbox
{
public:
    AccountSandbox();
    ~AccountSandbox();

    bool isValid() const { return m_dir.isValid(); }
    QString dir() const { return m_dir.path(); }
    QString mainFile() const;
    QString modelFile(const QString &model) const;

    // Reads and writes through the toolkit's settings objects (the same in-process
    // cache the product uses).
    void setMainValue(const QString &key, const QString &value);
    void removeMainValue(const QString &key);
    QString mainValue(const QString &key) const; // "<absent>" when missing
    void setModelValue(const QString &model, const QString &key, const QString &value);
    void removeModelValue(const QString &model, const QString &key);
    QString modelValue(const QString &model, const QString &key) const; // "<absent>"

    // The value of a key as a fresh reader of the file's bytes on disk sees it,
    // bypassing any in-process cache ("<absent>" when missing).
    static QString valueOnDisk(const QString &file, const QString &key);
    static QByteArray bytesOf(const QString &file);

    void useServer(const ScriptedHttpServer &server);
    void useServer(const QString &baseUrl);

    // Chooses a model as the pages do (creating its file with the defaults under
    // the "win10" class).
    void chooseModel(const QString &model);

private:
    QTemporaryDir m_dir;
};

// Waits for exactly one emission of a result signal; returns false when it did
// not come or came more than once.
bool waitForOneResult(QSignalSpy &spy);
extern const QString kAbsent;
