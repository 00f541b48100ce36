#include "requestkinds.h"

#include "accountoperations.h"
#include "configsync.h"
#include "getsoftwareversion.h"
#include "loginaccount.h"

#include <QCoreApplication>

#include <memory>

const QString kNetworkError = QStringLiteral("Network Error, please try again later");
const QString kServerError = QStringLiteral("Server error, please try again later");

namespace {

// clang-format off
const QByteArray kDefaultUploadBody =
    R"json({"configContent":"{\"Mid_key\":\"{\\\"index\\\":\\\"48\\\",\\\"name\\\":\\\"none\\\",\\\)json"
    R"json("tag\\\":\\\"midKey\\\"}\",\"Mid_wheel\":\"{\\\"index\\\":\\\"9\\\",\\\"name\\\":\\\"non)json"
    R"json(e\\\",\\\"tag\\\":\\\"midWheel\\\"}\",\"Right_key\":\"{\\\"index\\\":\\\"48\\\",\\\"name)json"
    R"json(\\\":\\\"none\\\",\\\"tag\\\":\\\"rightKey\\\"}\",\"Side_downkey\":\"{\\\"index\\\":\\\")json"
    R"json(48\\\",\\\"name\\\":\\\"none\\\",\\\"tag\\\":\\\"slideDownKey\\\"}\",\"Side_upkey\":\"{\)json"
    R"json(\\"index\\\":\\\"48\\\",\\\"name\\\":\\\"none\\\",\\\"tag\\\":\\\"slideUpKey\\\"}\",\"Si)json"
    R"json(de_wheel\":\"{\\\"index\\\":\\\"9\\\",\\\"name\\\":\\\"none\\\",\\\"tag\\\":\\\"slideWhe)json"
    R"json(el\\\"}\",\"mid_app_path\":\"none\",\"mid_file_path\":\"none\",\"mid_folder_path\":\"non)json"
    R"json(e\",\"mid_main_speed\":\"1\",\"mid_self_speed\":\"1\",\"mid_sound_path\":\"none\",\"mid_)json"
    R"json(web_url\":\"none\",\"right_app_path\":\"none\",\"right_file_path\":\"none\",\"right_fold)json"
    R"json(er_path\":\"none\",\"right_main_speed\":\"1\",\"right_self_speed\":\"1\",\"right_sound_p)json"
    R"json(ath\":\"none\",\"right_web_url\":\"none\",\"slider_down_app_path\":\"none\",\"slider_dow)json"
    R"json(n_file_path\":\"none\",\"slider_down_folder_path\":\"none\",\"slider_down_main_speed\":\)json"
    R"json("1\",\"slider_down_self_speed\":\"1\",\"slider_down_sound_path\":\"none\",\"slider_down_)json"
    R"json(web_url\":\"none\",\"slider_up_app_path\":\"none\",\"slider_up_file_path\":\"none\",\"sl)json"
    R"json(ider_up_folder_path\":\"none\",\"slider_up_main_speed\":\"1\",\"slider_up_self_speed\":\)json"
    R"json("1\",\"slider_up_sound_path\":\"none\",\"slider_up_web_url\":\"none\"}","configType":"QX)json"
    R"json(210","filePath":""})json";
// clang-format on

template <typename T> VLAccountManage *make()
{
    return new T;
}

} // namespace

const QVector<RequestKind> &requestKinds()
{
    // Arguments with quotes, "=", blanks and non-ASCII text: sent as given, escaped
    // only as JSON requires. A log-in reply without a code has not confirmed the
    // log-in; a download reply without a document is no download.
    // clang-format off
    static const QVector<RequestKind> kinds = {
        {"LoginAccount", make<LoginAccount>, "VlPostLoginJson", {"ann@example.com", "pa\"ss= wörd"},
         "sigLoginRet", "/v1/user/login", R"({"email":"ann@example.com","password":"pa\"ss= wörd"})", 10},
        {"RegisterAccount", make<RegisterAccount>, "VlPostRegisiterJson",
         {"Ann 安", "ann@example.com", "secret1", "secret2"}, "sigRegisterRet", "/v1/user/register",
         R"({"email":"ann@example.com","nickname":"Ann 安","password":"secret1","rePassword":"secret2"})", 0},
        {"UpdatePasswdAccount", make<UpdatePasswdAccount>, "VlUpdatePasswdJson",
         {"ann@example.com", "old", "new"}, "sigUpdatePwdRet", "/v1/user/updatePassword",
         R"({"email":"ann@example.com","password":"old","rePassword":"new"})", 0},
        {"FindPasswd", make<FindPasswd>, "VlFindPasswdJson", {"ann@example.com"}, "sigFindPwdRet",
         "/v1/user/findPassword", R"({"email":"ann@example.com"})", 0},
        {"ValidatePassword", make<ValidatePassword>, "VlValidatePasswordJson", {"ann@example.com", "0042"},
         "sigValidateCodeRet", "/v1/user/validatePassword", R"({"captcha":"0042","email":"ann@example.com"})", 0},
        {"NewPassword", make<NewPassword>, "VlNewPasswordJson", {"ann@example.com", "0042", "n3w"},
         "sigAlterPwdRet", "/v1/user/newPassword",
         R"({"captcha":"0042","email":"ann@example.com","password":"n3w"})", 0},
        {"SaveConfigInfo", make<SaveConfigInfo>, "VlSaveConfigInfoJson", {}, "sigSaveConfRet",
         "/v1/driver/config2/save", kDefaultUploadBody, 0},
        {"GetDriverConf", make<GetDriverConf>, "VlDownConfigInfoJson", {}, "sigGetConfRet",
         "/v1/driver/config2/get", R"({"configType":"QX210"})", -1},
        {"GetSoftwareVersion", make<GetSoftwareVersion>, "vlGetSoftwareVersion", {}, "sigGetSoftwareVer",
         "/v1/driver/latest/version", R"({"versionType":"qx210-software"})", 0},
    };
    // clang-format on
    return kinds;
}

const RequestKind &requestKind(const QByteArray &className)
{
    for (const RequestKind &kind : requestKinds()) {
        if (className == kind.className)
            return kind;
    }
    qFatal("no request kind %s", className.constData());
}

QString awaitResult(QSignalSpy &spy)
{
    if (spy.isEmpty())
        spy.wait(10000);
    QCoreApplication::processEvents(); // a second emission would show up by now
    if (spy.size() != 1)
        return QStringLiteral("no single result");
    return QStringLiteral("%1 %2").arg(spy.at(0).at(0).toInt()).arg(spy.at(0).at(1).toString());
}

QString sendAndWait(const RequestKind &kind, int transferTimeoutMs)
{
    std::unique_ptr<VLAccountManage> request(kind.create());
    if (transferTimeoutMs > 0)
        request->setTransferTimeout(transferTimeoutMs);
    QSignalSpy spy(request.get(),
                   qPrintable(QStringLiteral("2%1(int,QString)").arg(kind.resultSignal)));
    QGenericArgument args[4];
    for (int i = 0; i < kind.arguments.size(); ++i)
        args[i] = Q_ARG(QString, kind.arguments[i]);
    if (!QMetaObject::invokeMethod(request.get(), kind.sender, args[0], args[1], args[2], args[3]))
        return QStringLiteral("not invokable");
    return awaitResult(spy);
}
