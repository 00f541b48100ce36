#include "requestkinds.h"

#include "accountoperations.h"
#include "configsync.h"
#include "getsoftwareversion.h"
#include "loginaccount.h"

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

namespace {

template <typename T> VLAccountManage *make()
{
    return new T;
}

template <typename T> T *as(VLAccountManage *request)
{
    return static_cast<T *>(request);
}

} // namespace

const QVector<RequestKind> &requestKinds()
{
    // Arguments carry quotes, "=", spaces and non-ASCII text to show they are sent
    // as given, escaped only as JSON requires.
    static const QVector<RequestKind> kinds = {
        {"LoginAccount", make<LoginAccount>,
         [](VLAccountManage *r) {
             as<LoginAccount>(r)->VlPostLoginJson(QStringLiteral("ann@example.com"),
                                                  QStringLiteral("pa\"ss= wörd"));
         },
         SIGNAL(sigLoginRet(int, QString)), "/v1/user/login",
         R"({"email":"ann@example.com","password":"pa\"ss= wörd"})", 10, false},
        {"RegisterAccount", make<RegisterAccount>,
         [](VLAccountManage *r) {
             as<RegisterAccount>(r)->VlPostRegisiterJson(
                 QStringLiteral("Ann 安"), QStringLiteral("ann@example.com"),
                 QStringLiteral("secret1"), QStringLiteral("secret2"));
         },
         SIGNAL(sigRegisterRet(int, QString)), "/v1/user/register",
         R"({"email":"ann@example.com","nickname":"Ann 安","password":"secret1","rePassword":"secret2"})",
         0, false},
        {"UpdatePasswdAccount", make<UpdatePasswdAccount>,
         [](VLAccountManage *r) {
             as<UpdatePasswdAccount>(r)->VlUpdatePasswdJson(
                 QStringLiteral("ann@example.com"), QStringLiteral("old"), QStringLiteral("new"));
         },
         SIGNAL(sigUpdatePwdRet(int, QString)), "/v1/user/updatePassword",
         R"({"email":"ann@example.com","password":"old","rePassword":"new"})", 0, false},
        {"FindPasswd", make<FindPasswd>,
         [](VLAccountManage *r) {
             as<FindPasswd>(r)->VlFindPasswdJson(QStringLiteral("ann@example.com"));
         },
         SIGNAL(sigFindPwdRet(int, QString)), "/v1/user/findPassword",
         R"({"email":"ann@example.com"})", 0, false},
        {"ValidatePassword", make<ValidatePassword>,
         [](VLAccountManage *r) {
             as<ValidatePassword>(r)->VlValidatePasswordJson(QStringLiteral("ann@example.com"),
                                                             QStringLiteral("0042"));
         },
         SIGNAL(sigValidateCodeRet(int, QString)), "/v1/user/validatePassword",
         R"({"captcha":"0042","email":"ann@example.com"})", 0, false},
        {"NewPassword", make<NewPassword>,
         [](VLAccountManage *r) {
             as<NewPassword>(r)->VlNewPasswordJson(QStringLiteral("ann@example.com"),
                                                   QStringLiteral("0042"), QStringLiteral("n3w"));
         },
         SIGNAL(sigAlterPwdRet(int, QString)), "/v1/user/newPassword",
         R"({"captcha":"0042","email":"ann@example.com","password":"n3w"})", 0, false},
        {"SaveConfigInfo", make<SaveConfigInfo>,
         [](VLAccountManage *r) { as<SaveConfigInfo>(r)->VlSaveConfigInfoJson(); },
         SIGNAL(sigSaveConfRet(int, QString)), "/v1/driver/config2/save", kDefaultUploadBody, 0,
         false},
        // A success without a document is no download.
        {"GetDriverConf", make<GetDriverConf>,
         [](VLAccountManage *r) { as<GetDriverConf>(r)->VlDownConfigInfoJson(); },
         SIGNAL(sigGetConfRet(int, QString)), "/v1/driver/config2/get", R"({"configType":"QX210"})",
         -1, true},
        {"GetSoftwareVersion", make<GetSoftwareVersion>,
         [](VLAccountManage *r) { as<GetSoftwareVersion>(r)->vlGetSoftwareVersion(); },
         SIGNAL(sigGetSoftwareVer(int, QString)), "/v1/driver/latest/version",
         R"({"versionType":"qx210-software"})", 0, false},
    };
    return kinds;
}

const RequestKind *requestKind(const QByteArray &className)
{
    for (const RequestKind &kind : requestKinds()) {
        if (className == kind.className)
            return &kind;
    }
    return nullptr;
}
