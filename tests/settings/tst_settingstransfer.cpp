// The settings to a file and back: an export read back restores every model's
// file byte for byte, and a file that cannot be used changes nothing.
#include "appenv.h"
#include "opfunconffile.h"
#include "settingstransfer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

QByteArray bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

using Edit = std::function<void(QJsonObject &)>;

} // namespace

Q_DECLARE_METATYPE(Edit)

class TestSettingsTransfer : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;

    QStringList settingsFiles() const
    {
        return {appenv::mainSettingsPath(), appenv::modelSettingsPath("QX210"),
                appenv::modelSettingsPath("PL40")};
    }
    QList<QByteArray> snapshot() const
    {
        QList<QByteArray> all;
        for (const QString &path : settingsFiles())
            all << bytes(path);
        return all;
    }
    // Two models as the pages leave them, one with a program set.
    void configure()
    {
        OpFunConfFile conf;
        conf.SetCurrentMouse("PL40");
        conf.SetRightKeyVal("Open Web page-1-rightKey");
        conf.SetRightWebUrl("https://example.com/a");
        conf.SetCurrentMouse("QX210");
        conf.SetMidKeyVal("Copy-12-midKey");
        const int set = conf.AddProgramSet("gimp", "GIMP");
        conf.selectSet(set);
        conf.SetRightKeyVal("Paste-14-rightKey");
        conf.selectSet(0);
        conf.syncIniToFile();
        QSettings(appenv::mainSettingsPath(), QSettings::IniFormat)
            .setValue("INFO/token", "s3cret-session-token");
    }
    QJsonObject exported() const
    {
        QFile f(m_file);
        f.open(QIODevice::ReadOnly);
        return QJsonDocument::fromJson(f.readAll()).object();
    }
    void write(const QJsonObject &root, bool redigest)
    {
        QJsonObject copy = root;
        if (redigest) {
            const QByteArray content =
                QJsonDocument(QJsonObject{{"model", copy["model"]}, {"models", copy["models"]}})
                    .toJson(QJsonDocument::Compact);
            copy["sha256"] = QString::fromLatin1(
                QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex());
        }
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QJsonDocument(copy).toJson());
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir().mkpath(m_dir->filePath("system"));
        appenv::setApplicationDir(m_dir->path());
        appenv::setWindowsVersionClass("win10");
        m_file = m_dir->filePath("exported.json");
        configure();
    }
    void cleanup()
    {
        appenv::setApplicationDir(QString());
        appenv::setWindowsVersionClass(QString());
    }

    void exportThenImportRestoresEveryFile()
    {
        const QList<QByteArray> before = snapshot();
        QCOMPARE(settingstransfer::exportTo(m_file), QString());
        QVERIFY(!bytes(m_file).contains("s3cret")); // never the sign-in values
        QCOMPARE(snapshot(), before);               // exporting writes nothing else

        OpFunConfFile conf;
        conf.syncMouseIni();
        conf.SetMidKeyVal("Paste-14-midKey");
        conf.RemoveProgramSet(1);
        conf.SetCurrentMouse("PL40");
        conf.SetRightWebUrl("https://example.com/changed");
        conf.syncIniToFile();
        QVERIFY(snapshot() != before);

        const settingstransfer::ImportResult result = settingstransfer::importFrom(m_file);
        QVERIFY2(result.applied, qPrintable(result.problem));
        QVERIFY(result.leftOut.isEmpty());
        QVERIFY(result.saved);
        QCOMPARE(snapshot(), before);
    }

    // Into a folder with no settings yet (another machine): the file's model and
    // the others keep what the file brought, also once each is chosen.
    void importIntoNoSettingsKeepsEveryModel()
    {
        QCOMPARE(settingstransfer::exportTo(m_file), QString());
        QTemporaryDir fresh;
        QDir().mkpath(fresh.filePath("system"));
        appenv::setApplicationDir(fresh.path());
        QVERIFY(settingstransfer::importFrom(m_file).applied);
        OpFunConfFile conf;
        conf.SetCurrentMouse("PL40");
        conf.SetCurrentMouse("QX210");
        const auto entry = [](const char *model, const char *key) {
            return QSettings(appenv::modelSettingsPath(model), QSettings::IniFormat).value(key);
        };
        QCOMPARE(entry("QX210", "SET/Mid_key").toString(), QString("Copy-12-midKey"));
        QCOMPARE(entry("PL40", "SET/Right_key").toString(), QString("Open Web page-1-rightKey"));
    }

    // The first model's file cannot be written (a folder holds its name): the
    // import is not a success, though the second model's file took its part.
    void importTheDiskDidNotTakeIsSaid()
    {
        QCOMPARE(settingstransfer::exportTo(m_file), QString());
        const QString pl40 = appenv::modelSettingsPath("PL40");
        QVERIFY(QFile::remove(pl40) && QDir().mkdir(pl40));
        const settingstransfer::ImportResult result = settingstransfer::importFrom(m_file);
        QVERIFY(result.applied);
        QVERIFY(!result.saved);
    }

    void unusableFilesChangeNothing_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<bool>("redigest"); // a digest that fits the edit
        QTest::addColumn<QString>("problem");
        QTest::newRow("another format") << Edit([](QJsonObject &r) { r["format"] = "other"; })
                                        << false << "not a Velko Options settings file";
        QTest::newRow("altered") << Edit([](QJsonObject &r) { r["model"] = "PL40"; }) << false
                                 << "changed or damaged";
        QTest::newRow("unknown model's settings") << Edit([](QJsonObject &r) {
            QJsonObject models = r["models"].toObject();
            models["../QX210"] = models["QX210"];
            r["models"] = models;
        }) << true << "unknown mouse model";
        QTest::newRow("index out of range") << Edit([](QJsonObject &r) {
            QJsonObject models = r["models"].toObject();
            QJsonObject pl40 = models["PL40"].toObject();
            pl40["Right_key"] = R"({"index":"49","name":"x","tag":"rightKey"})";
            models["PL40"] = pl40;
            r["models"] = models;
        }) << true << "Right_key";
        QTest::newRow("a member this version does not know") << Edit([](QJsonObject &r) {
            QJsonObject models = r["models"].toObject();
            QJsonObject pl40 = models["PL40"].toObject();
            pl40["Fifth_key"] = "x";
            models["PL40"] = pl40;
            r["models"] = models;
        }) << true << "PL40/Fifth_key";
    }
    void unusableFilesChangeNothing()
    {
        QFETCH(Edit, edit);
        QFETCH(bool, redigest);
        QFETCH(QString, problem);
        QCOMPARE(settingstransfer::exportTo(m_file), QString());
        QJsonObject root = exported();
        edit(root);
        write(root, redigest);
        OpFunConfFile conf;
        conf.SetCurrentMouse("PL40");
        conf.SetRightWebUrl("https://example.com/now");
        conf.syncIniToFile();
        const QList<QByteArray> before = snapshot();

        const settingstransfer::ImportResult result = settingstransfer::importFrom(m_file);
        QVERIFY(!result.applied);
        QVERIFY2(result.problem.contains(problem), qPrintable(result.problem));
        QCOMPARE(snapshot(), before);
    }

    // A newer program's file: what this one knows is applied, the rest named.
    void newerFileAppliesWhatItKnows()
    {
        QCOMPARE(settingstransfer::exportTo(m_file), QString());
        QJsonObject root = exported();
        root["version"] = 2;
        root["gestures"] = QJsonArray{1, 2};
        QJsonObject models = root["models"].toObject();
        QJsonObject qx = models["QX210"].toObject();
        qx["Thumb_key"] = "x";
        qx["Mid_key"] = R"({"index":"14","name":"Paste","tag":"midKey"})";
        models["QX210"] = qx;
        root["models"] = models;
        write(root, true);

        const settingstransfer::ImportResult result = settingstransfer::importFrom(m_file);
        QVERIFY2(result.applied, qPrintable(result.problem));
        QCOMPARE(result.leftOut, (QStringList{"QX210/Thumb_key", "gestures"}));
        QCOMPARE(QSettings(appenv::modelSettingsPath("QX210"), QSettings::IniFormat)
                     .value("SET/Mid_key")
                     .toString(),
                 QString("Paste-14-midKey"));
    }
};

QTEST_MAIN(TestSettingsTransfer)
#include "tst_settingstransfer.moc"
