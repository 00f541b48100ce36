#include "accountservice.h"

#include "accountendpoints.h"
#include "log.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <regex>
#include <utility>

namespace velko::server {

using nlohmann::json;

struct AccountService::Call
{
    const ServiceRequest &request;
    Language language;
    json body;

    // A member that must be a JSON string; nullopt when missing or of another type.
    std::optional<std::string> field(const char *name) const
    {
        const auto it = body.find(name);
        if (it == body.end() || !it->is_string())
            return std::nullopt;
        return it->get<std::string>();
    }
};

namespace {

const char kPasswordSymbols[] = "-`=\\;',./~!@#$%^&*()_+|{}:\"<>?";
const char kSoftwareType[] = "qx210-software";

std::int64_t systemNow()
{
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

ServiceReply answer(Code code, const char *message, json data = json::object())
{
    json envelope = {{"code", int(code)}, {"msg", message}, {"data", std::move(data)}};
    return ServiceReply{int(code), envelope.dump(), {}};
}

ServiceReply failure(Code code, Language language)
{
    return answer(code, text(code, language));
}

ServiceReply success(Note note, Language language)
{
    return answer(Code::Ok, text(note, language));
}

bool isAsciiAlnum(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

bool RateLimiter::exceeded(const std::string &key, std::int64_t now)
{
    std::lock_guard lock(m_mutex);
    return windowOf(key, now).events >= m_limit;
}

void RateLimiter::count(const std::string &key, std::int64_t now)
{
    std::lock_guard lock(m_mutex);
    ++windowOf(key, now).events;
}

RateLimiter::Window &RateLimiter::windowOf(const std::string &key, std::int64_t now)
{
    // Keep the table bounded: forget windows that have ended.
    if (m_windows.size() > 100000) {
        for (auto it = m_windows.begin(); it != m_windows.end();)
            it = now - it->second.start >= m_window ? m_windows.erase(it) : std::next(it);
    }
    Window &window = m_windows[key];
    if (now - window.start >= m_window)
        window = Window{now, 0};
    return window;
}

bool isValidEmail(const std::string &email)
{
    static const std::regex pattern("^[a-zA-Z0-9_-]+@[a-zA-Z0-9_-]+(\\.[a-zA-Z0-9_-]+)+$");
    return email.size() <= 254 && std::regex_match(email, pattern);
}

bool isValidPassword(const std::string &password)
{
    if (password.size() < 8 || password.size() > 128)
        return false;
    bool digit = false, letter = false, symbol = false;
    for (char c : password) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (isAsciiAlnum(c))
            letter = true;
        else if (c != '\0' && std::strchr(kPasswordSymbols, c))
            symbol = true;
        else
            return false;
    }
    return digit && letter && symbol;
}

bool isValidNickname(const std::string &nickname)
{
    // The text is valid UTF-8 (the JSON parser checks); count code points.
    std::size_t characters = 0;
    for (unsigned char c : nickname) {
        if (c < 0x20 || c == 0x7f)
            return false;
        if ((c & 0xC0) != 0x80)
            ++characters;
    }
    return characters >= 1 && characters <= 32;
}

bool isValidModel(const std::string &model)
{
    return !model.empty() && model.size() <= 32 &&
           std::all_of(model.begin(), model.end(),
                       [](char c) { return isAsciiAlnum(c) || c == '_' || c == '-'; });
}

std::string emailKey(const std::string &email)
{
    std::string key = email;
    for (char &c : key) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return key;
}

AccountService::AccountService(Repository &repository, Mailer &mailer, ServiceOptions options,
                               Clock clock)
    : m_repository(repository), m_mailer(mailer), m_options(std::move(options)),
      m_clock(clock ? std::move(clock) : Clock(systemNow))
{
    m_dummyHash = hashPassword("velko-no-such-account-1!", m_options.hashCost);
}

AccountService::Handler AccountService::handlerFor(const std::string &path)
{
    // By endpoint index; index 6 (file upload) is not offered.
    static const std::array<Handler, 10> handlers = {
        &AccountService::login,
        &AccountService::registerAccount,
        &AccountService::updatePassword,
        &AccountService::findPassword,
        &AccountService::validatePassword,
        &AccountService::newPassword,
        nullptr,
        &AccountService::saveConfig,
        &AccountService::getConfig,
        &AccountService::latestVersion,
    };
    static_assert(handlers.size() == kAccountEndpointPaths.size());
    for (std::size_t i = 0; i < handlers.size(); ++i) {
        if (path == kAccountEndpointPaths[i])
            return handlers[i];
    }
    return nullptr;
}

bool AccountService::knows(const std::string &path)
{
    return handlerFor(path) != nullptr;
}

ServiceReply AccountService::refusal(Code code, const std::string &lang)
{
    return failure(code, languageOf(lang));
}

ServiceReply AccountService::handle(const ServiceRequest &request)
{
    const Language language = languageOf(request.lang);
    const Handler handler = handlerFor(request.path);
    if (!handler)
        return failure(Code::MalformedRequest, language);

    Call call{request, language, json::parse(request.body, nullptr, false)};
    if (call.body.is_discarded() || !call.body.is_object())
        return failure(Code::MalformedRequest, language);
    try {
        return (this->*handler)(call);
    } catch (const std::exception &error) {
        logLine(std::string("error: ") + request.path + ": " + error.what());
        return failure(Code::ServerError, language);
    }
}

template <class Work> auto AccountService::withHashSlot(Work work)
{
    std::unique_lock lock(m_hashMutex);
    m_hashFree.wait(lock, [this] { return m_hashing < m_options.concurrentHashes; });
    ++m_hashing;
    lock.unlock();
    struct Release
    {
        AccountService &service;
        ~Release()
        {
            {
                std::lock_guard lock(service.m_hashMutex);
                --service.m_hashing;
            }
            service.m_hashFree.notify_one();
        }
    } release{*this};
    return work();
}

std::string AccountService::hash(const std::string &password)
{
    return withHashSlot([&] { return hashPassword(password, m_options.hashCost); });
}

bool AccountService::verify(const std::string &password, const std::string &encoded)
{
    return withHashSlot([&] { return verifyPassword(password, encoded); });
}

std::optional<Account> AccountService::sessionAccount(const Call &call)
{
    const std::string &token = call.request.authorization;
    if (token.empty() || token.size() > 256)
        return std::nullopt;
    return m_repository.useSession(digest(token), m_clock(), m_options.sessionIdleSeconds);
}

ServiceReply AccountService::login(Call &call)
{
    const auto email = call.field("email");
    const auto password = call.field("password");
    if (!email || !password)
        return failure(Code::BadField, call.language);
    const std::int64_t now = m_clock();
    const std::string key = emailKey(*email);
    const std::string &client = call.request.clientAddress;
    if (m_options.rateLimits && (m_loginFailuresPerEmail.exceeded(key, now) ||
                                 m_loginFailuresPerClient.exceeded(client, now)))
        return failure(Code::RateLimited, call.language);

    // Only a well-formed address can have an account (and reach the store).
    const std::optional<Account> account = password->size() <= 128 && isValidEmail(*email)
                                               ? m_repository.findAccount(key)
                                               : std::nullopt;
    const bool match = verify(*password, account ? account->passwordHash : m_dummyHash);
    if (!account || !match) {
        m_loginFailuresPerEmail.count(key, now);
        m_loginFailuresPerClient.count(client, now);
        return failure(Code::WrongCredentials, call.language);
    }
    const std::string token = newSessionToken();
    m_repository.addSession(account->id, digest(token), now);
    ServiceReply reply = answer(Code::Ok, "", {{"nickname", account->nickname}});
    reply.sessionToken = token;
    return reply;
}

ServiceReply AccountService::registerAccount(Call &call)
{
    const auto nickname = call.field("nickname");
    const auto email = call.field("email");
    const auto password = call.field("password");
    const auto rePassword = call.field("rePassword");
    if (!nickname || !email || !password || !rePassword)
        return failure(Code::BadField, call.language);
    if (!isValidNickname(*nickname))
        return failure(Code::BadNickname, call.language);
    if (!isValidEmail(*email))
        return failure(Code::BadEmail, call.language);
    if (!isValidPassword(*password))
        return failure(Code::BadPassword, call.language);
    if (*password != *rePassword)
        return failure(Code::PasswordsDiffer, call.language);
    const std::int64_t now = m_clock();
    const std::string &client = call.request.clientAddress;
    if (m_options.rateLimits && m_registrationsPerClient.exceeded(client, now))
        return failure(Code::RateLimited, call.language);
    m_registrationsPerClient.count(client, now);
    if (!m_repository.createAccount(emailKey(*email), *email, *nickname, hash(*password), now))
        return failure(Code::EmailTaken, call.language);
    return success(Note::Registered, call.language);
}

ServiceReply AccountService::updatePassword(Call &call)
{
    const auto email = call.field("email");
    const auto current = call.field("password");
    const auto replacement = call.field("rePassword");
    if (!email || !current || !replacement)
        return failure(Code::BadField, call.language);
    const std::optional<Account> account = sessionAccount(call);
    if (!account || emailKey(account->email) != emailKey(*email))
        return failure(Code::NotSignedIn, call.language);
    if (!isValidPassword(*replacement))
        return failure(Code::BadPassword, call.language);
    // Guessing the current password with a stolen session counts as failed log-ins.
    const std::int64_t now = m_clock();
    const std::string key = emailKey(account->email);
    if (m_options.rateLimits && m_loginFailuresPerEmail.exceeded(key, now))
        return failure(Code::RateLimited, call.language);
    if (current->size() > 128 || !verify(*current, account->passwordHash)) {
        m_loginFailuresPerEmail.count(key, now);
        return failure(Code::WrongCredentials, call.language);
    }
    m_repository.changePassword(account->id, hash(*replacement));
    return success(Note::PasswordChanged, call.language);
}

ServiceReply AccountService::findPassword(Call &call)
{
    const auto email = call.field("email");
    if (!email)
        return failure(Code::BadField, call.language);
    if (!isValidEmail(*email))
        return failure(Code::BadEmail, call.language);
    const std::int64_t now = m_clock();
    const std::string key = emailKey(*email);
    const std::string &client = call.request.clientAddress;
    if (m_options.rateLimits && (m_codeRequestsPerEmail.exceeded(key, now) ||
                                 m_codeRequestsPerClient.exceeded(client, now)))
        return failure(Code::RateLimited, call.language);
    m_codeRequestsPerEmail.count(key, now);
    m_codeRequestsPerClient.count(client, now);

    // The same answer whether or not the address has an account.
    if (const std::optional<Account> account = m_repository.findAccount(key)) {
        const std::string code = newRecoveryCode();
        m_repository.putRecoveryCode(account->id, digest(code),
                                     now + m_options.codeLifetimeSeconds);
        const bool chinese = call.language == Language::Chinese;
        const std::string minutes = std::to_string(m_options.codeLifetimeSeconds / 60);
        m_mailer.send(MailMessage{
            account->email,
            chinese ? "Velko Options 验证码" : "Your Velko Options verification code",
            chinese ? "您的验证码是 " + code + "，" + minutes + " 分钟内有效。\r\n"
                    : "Your verification code is " + code + ". It is valid for " + minutes +
                          " minutes.\r\nIf you did not ask for it, ignore this message."});
    }
    return success(Note::CodeSent, call.language);
}

Code AccountService::checkRecoveryCode(const Account &account, const std::string &code)
{
    const std::optional<RecoveryCode> stored = m_repository.recoveryCode(account.id);
    if (!stored || stored->expiresAt <= m_clock())
        return Code::CodeExpired;
    // The try is taken before the comparison, so that parallel guesses share the limit.
    if (!m_repository.takeTry(account.id, m_options.codeTries))
        return Code::TooManyTries;
    if (code.size() > 16 || !sameSecret(digest(code), stored->codeHash))
        return Code::WrongCode;
    m_repository.returnTry(account.id);
    return Code::Ok;
}

ServiceReply AccountService::validatePassword(Call &call)
{
    const auto email = call.field("email");
    const auto captcha = call.field("captcha");
    if (!email || !captcha)
        return failure(Code::BadField, call.language);
    const std::optional<Account> account =
        isValidEmail(*email) ? m_repository.findAccount(emailKey(*email)) : std::nullopt;
    const Code result = account ? checkRecoveryCode(*account, *captcha) : Code::CodeExpired;
    if (result != Code::Ok)
        return failure(result, call.language);
    return success(Note::CodeAccepted, call.language);
}

ServiceReply AccountService::newPassword(Call &call)
{
    const auto email = call.field("email");
    const auto captcha = call.field("captcha");
    const auto password = call.field("password");
    if (!email || !captcha || !password)
        return failure(Code::BadField, call.language);
    if (!isValidPassword(*password))
        return failure(Code::BadPassword, call.language);
    const std::optional<Account> account =
        isValidEmail(*email) ? m_repository.findAccount(emailKey(*email)) : std::nullopt;
    const Code result = account ? checkRecoveryCode(*account, *captcha) : Code::CodeExpired;
    if (result != Code::Ok)
        return failure(result, call.language);
    // Ends every session and uses the code up.
    m_repository.changePassword(account->id, hash(*password));
    return success(Note::PasswordReset, call.language);
}

ServiceReply AccountService::saveConfig(Call &call)
{
    const auto filePath = call.field("filePath");
    const auto content = call.field("configContent");
    const auto model = call.field("configType");
    if (!filePath || !content || !model)
        return failure(Code::BadField, call.language);
    const std::optional<Account> account = sessionAccount(call);
    if (!account)
        return failure(Code::NotSignedIn, call.language);
    if (!isValidModel(*model))
        return failure(Code::BadModel, call.language);
    // A NUL cannot be stored as text in every store; no document holds one.
    if (content->size() > m_options.maxConfigBytes || content->find('\0') != std::string::npos)
        return failure(Code::BadConfig, call.language);
    const json document = json::parse(*content, nullptr, false);
    if (document.is_discarded() || !document.is_object())
        return failure(Code::BadConfig, call.language);
    m_repository.saveConfig(account->id, *model, *content, m_clock());
    return success(Note::ConfigSaved, call.language);
}

ServiceReply AccountService::getConfig(Call &call)
{
    const auto model = call.field("configType");
    if (!model)
        return failure(Code::BadField, call.language);
    const std::optional<Account> account = sessionAccount(call);
    if (!account)
        return failure(Code::NotSignedIn, call.language);
    if (!isValidModel(*model))
        return failure(Code::BadModel, call.language);
    const std::optional<std::string> content = m_repository.loadConfig(account->id, *model);
    if (!content)
        return failure(Code::NoConfig, call.language);
    return answer(Code::Ok, "", {{"configContent", *content}});
}

ServiceReply AccountService::latestVersion(Call &call)
{
    const auto type = call.field("versionType");
    if (!type)
        return failure(Code::BadField, call.language);
    if (*type != kSoftwareType)
        return failure(Code::UnknownSoftware, call.language);
    return answer(Code::Ok, "",
                  {{"version", m_options.latestVersion}, {"downloadUrl", m_options.downloadUrl}});
}

} // namespace velko::server
