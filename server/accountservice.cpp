#include "accountservice.h"

#include "accountendpoints.h"
#include "mousemodels.h"
#include "log.h"

#include <boost/asio/ip/address.hpp>
#include <nlohmann/json.hpp>
#include <zxcvbn.h>

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

std::string RateLimiter::shortKey(const std::string &key)
{
    // 16 hex digits of the digest: 64 bits, plenty to keep keys apart.
    return digest(key).substr(0, 16);
}

void RateLimiter::roll(std::int64_t now)
{
    const std::int64_t index = now / m_window;
    if (index != m_windowIndex) {
        m_windowIndex = index;
        m_events.clear();
        if (m_store)
            m_store->dropEventsBefore(index);
    }
}

bool RateLimiter::take(const std::string &key, std::int64_t now)
{
    const std::string shortened = shortKey(key);
    if (m_store) {
        {
            std::lock_guard lock(m_mutex);
            roll(now);
        }
        return m_store->takeEvent(m_name + shortened, now / m_window, m_limit);
    }
    std::lock_guard lock(m_mutex);
    roll(now);
    const auto it = m_events.find(shortened);
    if (it == m_events.end()) {
        // A full table refuses new keys rather than grow: the keys already in it are
        // the clients that were busy this window.
        if (m_events.size() >= m_maxKeys)
            return false;
        m_events.emplace(shortened, 1);
        return true;
    }
    if (it->second >= m_limit)
        return false;
    ++it->second;
    return true;
}

void RateLimiter::giveBack(const std::string &key, std::int64_t now)
{
    const std::string shortened = shortKey(key);
    if (m_store)
        return m_store->giveBackEvent(m_name + shortened, now / m_window);
    std::lock_guard lock(m_mutex);
    roll(now);
    const auto it = m_events.find(shortened);
    if (it != m_events.end() && --it->second <= 0)
        m_events.erase(it);
}

std::size_t RateLimiter::size()
{
    std::lock_guard lock(m_mutex);
    return m_events.size();
}

std::string clientGroup(const std::string &address)
{
    // IPv6 clients usually hold a whole /64: group them by it.
    boost::system::error_code ec;
    const auto parsed = boost::asio::ip::make_address(address, ec);
    if (ec || !parsed.is_v6() || parsed.to_v6().is_v4_mapped())
        return address;
    auto bytes = parsed.to_v6().to_bytes();
    std::fill(bytes.begin() + 8, bytes.end(), 0);
    return boost::asio::ip::address_v6(bytes).to_string() + "/64";
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

double passwordBits(const std::string &password, const std::vector<std::string> &personal)
{
    // zxcvbn's dictionaries (common passwords, names, words, keyboard walks) plus
    // what the request itself tells about its owner: the address and its parts,
    // the nickname.
    std::vector<std::string> words;
    for (const std::string &text : personal) {
        if (text.empty())
            continue;
        words.push_back(text);
        const auto at = text.find('@');
        if (at != std::string::npos && at > 0)
            words.push_back(text.substr(0, at));
    }
    std::vector<const char *> dictionary;
    for (const std::string &word : words)
        dictionary.push_back(word.c_str());
    dictionary.push_back(nullptr);
    return ZxcvbnMatch(password.c_str(), dictionary.data(), nullptr);
}

bool isGuessablePassword(const std::string &password, const std::vector<std::string> &personal)
{
    return passwordBits(password, personal) < kMinPasswordBits;
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
    return std::any_of(kMouseModels.begin(), kMouseModels.end(),
                       [&model](const char *known) { return model == known; });
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
    if (m_options.codeKey.empty())
        m_options.codeKey = newDigestKey();
    // On a store several servers share, the limits are counted there.
    m_loginFailuresPerAccount.share(m_repository, "login-account:");
    m_loginFailuresPerClient.share(m_repository, "login-client:");
    m_registrationsPerClient.share(m_repository, "register-client:");
    m_codeRequestsPerEmail.share(m_repository, "code-address:");
    m_codeRequestsPerClient.share(m_repository, "code-client:");
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
    if (path == kSignOutPath)
        return &AccountService::signOut;
    return nullptr;
}

bool AccountService::hashes(const std::string &path)
{
    // Log-in, registration, password change and reset.
    for (const std::size_t index : {0, 1, 2, 5}) {
        if (path == kAccountEndpointPaths[index])
            return true;
    }
    return false;
}

bool AccountService::knows(const std::string &path)
{
    return handlerFor(path) != nullptr;
}

ServiceReply AccountService::refusal(Code code, const std::string &lang)
{
    return failure(code, languageOf(lang));
}

std::size_t AccountService::limiterEntries()
{
    return m_loginFailuresPerAccount.size() + m_loginFailuresPerClient.size() +
           m_registrationsPerClient.size() + m_codeRequestsPerEmail.size() +
           m_codeRequestsPerClient.size();
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
    return m_repository.useSession(digest(token), m_clock(), m_options.sessions);
}

ServiceReply AccountService::login(Call &call)
{
    const auto email = call.field("email");
    const auto password = call.field("password");
    if (!email || !password)
        return failure(Code::BadField, call.language);
    const std::int64_t now = m_clock();
    const std::string client = clientGroup(call.request.clientAddress);
    // Only a well-formed address can have an account, be a limiter key or reach the
    // store; anything else is a wrong log-in counted against the client alone.
    const bool wellFormed = password->size() <= 128 && isValidEmail(*email);
    const std::string key = wellFormed ? emailKey(*email) + "\n" + client : std::string();
    // The tries are taken before the password is checked, so parallel guesses share
    // the limits; a right password gives them back. Failures count per account and
    // client: a stranger's guesses slow the stranger, not the owner elsewhere.
    if (m_options.rateLimits) {
        if (!m_loginFailuresPerClient.take(client, now))
            return failure(Code::RateLimited, call.language);
        if (wellFormed && !m_loginFailuresPerAccount.take(key, now)) {
            m_loginFailuresPerClient.giveBack(client, now);
            return failure(Code::RateLimited, call.language);
        }
    }
    const std::optional<Account> account =
        wellFormed ? m_repository.findAccount(emailKey(*email)) : std::nullopt;
    const bool match = verify(*password, account ? account->passwordHash : m_dummyHash);
    if (!account || !match)
        return failure(Code::WrongCredentials, call.language);
    if (m_options.rateLimits) {
        m_loginFailuresPerClient.giveBack(client, now);
        m_loginFailuresPerAccount.giveBack(key, now);
    }
    const std::string token = newSessionToken();
    m_repository.addSession(account->id, digest(token), now, m_options.sessions);
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
    if (isGuessablePassword(*password, {*email, *nickname}))
        return failure(Code::GuessablePassword, call.language);
    const std::int64_t now = m_clock();
    if (m_options.rateLimits &&
        !m_registrationsPerClient.take(clientGroup(call.request.clientAddress), now))
        return failure(Code::RateLimited, call.language);
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
    if (isGuessablePassword(*replacement, {account->email, account->nickname}))
        return failure(Code::GuessablePassword, call.language);
    // Guessing the current password with a stolen session counts as failed log-ins.
    const std::int64_t now = m_clock();
    const std::string key =
        emailKey(account->email) + "\n" + clientGroup(call.request.clientAddress);
    if (m_options.rateLimits && !m_loginFailuresPerAccount.take(key, now))
        return failure(Code::RateLimited, call.language);
    if (current->size() > 128 || !verify(*current, account->passwordHash))
        return failure(Code::WrongCredentials, call.language);
    if (m_options.rateLimits)
        m_loginFailuresPerAccount.giveBack(key, now);
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
    if (m_options.rateLimits &&
        !m_codeRequestsPerClient.take(clientGroup(call.request.clientAddress), now))
        return failure(Code::RateLimited, call.language);
    // Past the mails an address may get in a window the answer stays the same but
    // nothing is sent and the code already sent stays valid: a stranger can limit
    // the mails, not the owner's use of the code in the mailbox.
    if (m_options.rateLimits && !m_codeRequestsPerEmail.take(key, now))
        return success(Note::CodeSent, call.language);

    // The same answer whether or not the address has an account.
    if (const std::optional<Account> account = m_repository.findAccount(key)) {
        const std::string code = newRecoveryCode();
        m_repository.putRecoveryCode(account->id, keyedDigest(m_options.codeKey, code),
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

Code AccountService::checkRecoveryCode(const std::optional<Account> &account,
                                       const std::string &code)
{
    // Whatever the reason (no such account, no code asked for, expired, tries used
    // up, a wrong code), the answer is one and the same, reached through the same
    // steps: otherwise the answer to a guess after findPassword would tell whether
    // the address has an account. Ids of real accounts start at 1.
    const std::int64_t id = account ? account->id : 0;
    const std::string offered = keyedDigest(m_options.codeKey, code.substr(0, 16));
    const std::optional<RecoveryCode> stored = m_repository.recoveryCode(id);
    const bool live = stored && stored->expiresAt > m_clock();
    // The try is taken before the comparison, so that parallel guesses share the limit.
    const bool tryLeft = m_repository.takeTry(id, m_options.codeTries);
    if (!live || !tryLeft || code.size() > 16 || !sameSecret(offered, stored->codeHash))
        return Code::WrongCode;
    m_repository.returnTry(id);
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
    const Code result = checkRecoveryCode(account, *captcha);
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
    // Only what the request holds: a nickname from the account would make the
    // answer depend on whether there is one.
    if (isGuessablePassword(*password, {*email}))
        return failure(Code::GuessablePassword, call.language);
    const std::optional<Account> account =
        isValidEmail(*email) ? m_repository.findAccount(emailKey(*email)) : std::nullopt;
    const Code result = checkRecoveryCode(account, *captcha);
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

ServiceReply AccountService::signOut(Call &call)
{
    // The same answer for a token that is unknown or already ended: signing out
    // twice is not an error, and the answer tells nothing about other tokens.
    const std::string &token = call.request.authorization;
    if (!token.empty() && token.size() <= 256)
        m_repository.endSession(digest(token));
    return success(Note::SignedOut, call.language);
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
