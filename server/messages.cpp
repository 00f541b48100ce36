#include "messages.h"

#include <array>
#include <utility>

namespace velko::server {
namespace {

struct Texts
{
    Code code;
    const char *english;
    const char *chinese;
};

const std::array<Texts, 20> kCodeTexts = {{
    {Code::Ok, "", ""},
    {Code::MalformedRequest, "The request is not a valid JSON object", "请求不是有效的 JSON 对象"},
    {Code::BadField, "A required field is missing or not text", "缺少必填字段或字段不是文本"},
    {Code::TooLarge, "The request is too large", "请求过大"},
    {Code::BadEmail, "Please enter a valid email address", "请输入有效的邮箱地址"},
    {Code::BadNickname, "The username must be 1 to 32 characters", "用户名须为 1 到 32 个字符"},
    {Code::BadPassword,
     "The password must be 8 to 128 characters with a letter, a digit and a symbol",
     "密码须为 8 到 128 个字符，并包含字母、数字和符号"},
    {Code::PasswordsDiffer, "Inconsistent password before and after", "前后密码不一致"},
    {Code::EmailTaken, "This email address is already registered", "该邮箱已注册"},
    {Code::WrongCredentials, "Incorrect email or password", "邮箱或密码错误"},
    {Code::NotSignedIn, "Please log in again", "请重新登录"},
    {Code::WrongCode,
     "The verification code is wrong or no longer valid, please check it or request a new one",
     "验证码错误或已失效，请检查或重新获取"},
    {Code::RateLimited, "Too many attempts, please try again later", "尝试次数过多，请稍后再试"},
    {Code::BadConfig, "The configuration is not valid", "配置无效"},
    {Code::NoConfig, "No configuration has been saved for this mouse", "该鼠标尚未保存配置"},
    {Code::BadModel, "Unknown mouse model", "未知的鼠标型号"},
    {Code::UnknownSoftware, "Unknown software type", "未知的软件类型"},
    {Code::Busy, "The server is busy, please try again later", "服务器繁忙，请稍后再试"},
    {Code::GuessablePassword, "This password is too easy to guess, please choose another one",
     "该密码太容易被猜到，请换一个"},
    {Code::ServerError, "Server error, please try again later", "服务器错误，请稍后再试"},
}};

const std::array<std::pair<const char *, const char *>, 7> kNoteTexts = {{
    {"Registration successful", "注册成功"},
    {"Password changed, please log in again", "密码已修改，请重新登录"},
    {"If this address has an account, a verification code has been sent to it",
     "如果该邮箱已注册，验证码已发送至该邮箱"},
    {"Verification successful", "验证成功"},
    {"Password reset, please log in", "密码已重置，请登录"},
    {"Configuration saved", "配置已保存"},
    {"Signed out", "已退出登录"},
}};

} // namespace

Language languageOf(const std::string &langHeader)
{
    return langHeader == "zh" ? Language::Chinese : Language::English;
}

const char *text(Code code, Language language)
{
    for (const Texts &entry : kCodeTexts) {
        if (entry.code == code)
            return language == Language::Chinese ? entry.chinese : entry.english;
    }
    return text(Code::ServerError, language);
}

const char *text(Note note, Language language)
{
    const auto &entry = kNoteTexts[std::size_t(note)];
    return language == Language::Chinese ? entry.second : entry.first;
}

} // namespace velko::server
