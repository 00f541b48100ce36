// The account classes as the Qt Quick pages see them, registered by the
// configurator's start-up table.
#include "accountsandbox.h"
#include "loginaccount.h"
#include "typeregistry.h"

#include <QLoggingCategory>
#include <QMetaMethod>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QtTest>

#include <memory>

class TestAccountTypes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void creatableUnderItsModule_data();
    void creatableUnderItsModule();
    void resultSignals_data();
    void resultSignals();
    void loginResultReachesAFunctionOfTwoArguments();
    void tokenStoreFromThePage();

private:
    std::unique_ptr<AccountSandbox> m_sandbox;
};

void TestAccountTypes::initTestCase()
{
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    m_sandbox = std::make_unique<AccountSandbox>();
    QVERIFY(m_sandbox->isValid());
    registerConfiguratorTypes();
}

void TestAccountTypes::creatableUnderItsModule_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("type");
    for (const char *type : {"LoginAccount", "RegisterAccount", "UpdatePasswdAccount", "FindPasswd",
                             "ValidatePassword", "NewPassword", "SaveConfigInfo", "GetDriverConf",
                             "GetSoftwareVersion"})
        QTest::newRow(type) << QStringLiteral("Account.Manager.") + type << QString(type);
    QTest::newRow("OperateToken") << "Operate.Conf.OperateToken"
                                  << "OperateToken";
}

void TestAccountTypes::creatableUnderItsModule()
{
    QFETCH(QString, module);
    QFETCH(QString, type);
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(QStringLiteral("import %1 1.0\n%2 {}\n").arg(module, type).toUtf8(), QUrl());
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));
    QCOMPARE(QString::fromLatin1(object->metaObject()->className()), type);

    // Only version 1.0 exists.
    QQmlComponent wrongVersion(&engine);
    wrongVersion.setData(QStringLiteral("import %1 2.0\n%2 {}\n").arg(module, type).toUtf8(),
                         QUrl());
    QVERIFY(wrongVersion.isError());
}

void TestAccountTypes::resultSignals_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("signature");
    QTest::addColumn<QStringList>("parameterNames");
    const QStringList named = {"rCode", "rMsg"};
    QTest::newRow("LoginAccount") << "LoginAccount"
                                  << "sigLoginRet(int,QString)" << QStringList{"", ""};
    QTest::newRow("RegisterAccount") << "RegisterAccount"
                                     << "sigRegisterRet(int,QString)" << named;
    QTest::newRow("UpdatePasswdAccount") << "UpdatePasswdAccount"
                                         << "sigUpdatePwdRet(int,QString)" << named;
    QTest::newRow("FindPasswd") << "FindPasswd"
                                << "sigFindPwdRet(int,QString)" << named;
    QTest::newRow("ValidatePassword") << "ValidatePassword"
                                      << "sigValidateCodeRet(int,QString)" << named;
    QTest::newRow("NewPassword") << "NewPassword"
                                 << "sigAlterPwdRet(int,QString)" << named;
    QTest::newRow("SaveConfigInfo") << "SaveConfigInfo"
                                    << "sigSaveConfRet(int,QString)" << named;
    QTest::newRow("GetDriverConf") << "GetDriverConf"
                                   << "sigGetConfRet(int,QString)" << named;
    QTest::newRow("GetSoftwareVersion") << "GetSoftwareVersion"
                                        << "sigGetSoftwareVer(int,QString)" << named;
}

void TestAccountTypes::resultSignals()
{
    QFETCH(QString, type);
    QFETCH(QString, signature);
    QFETCH(QStringList, parameterNames);
    const QString module = QStringLiteral("Account.Manager.") + type;
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(QStringLiteral("import %1 1.0\n%2 {}\n").arg(module, type).toUtf8(), QUrl());
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));
    const QMetaObject *meta = object->metaObject();
    const int index = meta->indexOfSignal(signature.toLatin1().constData());
    QVERIFY(index >= 0);
    QStringList names;
    for (const QByteArray &name : meta->method(index).parameterNames())
        names << QString::fromLatin1(name);
    QCOMPARE(names, parameterNames);
    // The finished replies arrive through the frame's own signal.
    QVERIFY(meta->indexOfSignal("sigFinished(QNetworkReply*)") >= 0);
}

void TestAccountTypes::loginResultReachesAFunctionOfTwoArguments()
{
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import Account.Manager.LoginAccount 1.0\n"
                      "LoginAccount {\n"
                      "    id: login\n"
                      "    property int code: -100\n"
                      "    property string text\n"
                      "    function listen() {\n"
                      "        login.sigLoginRet.connect(function(c, t) { code = c; text = t }) }\n"
                      "}\n",
                      QUrl());
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));
    QVERIFY(QMetaObject::invokeMethod(object.get(), "listen"));
    emit static_cast<LoginAccount *>(object.get())->sigLoginRet(0, QStringLiteral("Ann"));
    QCOMPARE(object->property("code").toInt(), 0);
    QCOMPARE(object->property("text").toString(), QStringLiteral("Ann"));
}

void TestAccountTypes::tokenStoreFromThePage()
{
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import Operate.Conf.OperateToken 1.0\n"
                      "OperateToken {\n"
                      "    property string before\n"
                      "    property string after\n"
                      "    function use() {\n"
                      "        before = GetToken(); SetToken('t=1'); SetEmail('a@example.com');\n"
                      "        after = GetToken() + ' ' + GetEmail() + ' ' + GetNickName() }\n"
                      "}\n",
                      QUrl());
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));
    QVERIFY(QMetaObject::invokeMethod(object.get(), "use"));
    QCOMPARE(object->property("before").toString(), QStringLiteral("token_fail"));
    QCOMPARE(object->property("after").toString(), QStringLiteral("t=1 a@example.com NULL"));
    QCOMPARE(m_sandbox->mainValue("/INFO/token"), QStringLiteral("t=1"));
}

QTEST_GUILESS_MAIN(TestAccountTypes)
#include "tst_accounttypes.moc"
