#include "accountsandbox.h"

#include "appenv.h"
#include "opfunconffile.h"
#include "scriptedhttpserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QUuid>

const QString kAbsent = QStringLiteral("<absent>");

namespace {

QString read(const QString &file, const QString &key)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    return settings.contains(key) ? settings.value(key).toString() : kAbsent;
}

void write(const QString &file, const QString &key, const QString *value)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    if (value)
        settings.setValue(key, *value);
    else
        settings.remove(key);
    settings.sync();
}

} // namespace

AccountSandbox::AccountSandbox()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("system"));
    appenv::setApplicationDir(m_dir.path());
    appenv::setWindowsVersionClass(QStringLiteral("win10"));
}

AccountSandbox::~AccountSandbox()
{
    appenv::setApplicationDir(QString());
    appenv::setWindowsVersionClass(QString());
}

QString AccountSandbox::mainFile() const
{
    return m_dir.path() + QStringLiteral("/system/mouse.ini");
}

QString AccountSandbox::modelFile(const QString &model) const
{
    return m_dir.path() + QStringLiteral("/system/") + model + QStringLiteral(".ini");
}

void AccountSandbox::setMainValue(const QString &key, const QString &value)
{
    write(mainFile(), key, &value);
}

void AccountSandbox::removeMainValue(const QString &key)
{
    write(mainFile(), key, nullptr);
}

QString AccountSandbox::mainValue(const QString &key) const
{
    return read(mainFile(), key);
}

void AccountSandbox::setModelValue(const QString &model, const QString &key, const QString &value)
{
    write(modelFile(model), key, &value);
}

void AccountSandbox::removeModelValue(const QString &model, const QString &key)
{
    write(modelFile(model), key, nullptr);
}

QString AccountSandbox::modelValue(const QString &model, const QString &key) const
{
    return read(modelFile(model), key);
}

QString AccountSandbox::valueOnDisk(const QString &file, const QString &key)
{
    // A copy under a name never used before has no cached state.
    const QString copy = QDir::tempPath() + QStringLiteral("/velko-ondisk-") +
                         QUuid::createUuid().toString(QUuid::WithoutBraces) +
                         QStringLiteral(".ini");
    if (!QFile::copy(file, copy))
        return kAbsent;
    const QString value = read(copy, key);
    QFile::remove(copy);
    return value;
}

QByteArray AccountSandbox::bytesOf(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void AccountSandbox::useServer(const ScriptedHttpServer &server)
{
    useServer(server.baseUrl());
}

void AccountSandbox::useServer(const QString &baseUrl)
{
    setMainValue(QStringLiteral("/SET/server"), baseUrl);
}

void AccountSandbox::chooseModel(const QString &model)
{
    OpFunConfFile conf;
    conf.SetCurrentMouse(model);
}

bool waitForOneResult(QSignalSpy &spy)
{
    if (spy.isEmpty() && !spy.wait(10000))
        return false;
    // Anything emitted twice would show up by now.
    QCoreApplication::processEvents();
    return spy.size() == 1;
}
