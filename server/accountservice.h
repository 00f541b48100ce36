// What the server does with each request, apart from HTTP: takes the path, the
// JSON body and the headers "lang" and "Authorization", and answers the envelope
// {"code", "msg", "data"} plus, for a successful log-in, the session token that
// goes into the "Authorization" response header.
// handle() may be called from several threads at once.
#pragma once

#include "crypto.h"
#include "mailer.h"
#include "messages.h"
#include "repository.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace velko::server {

struct ServiceOptions
{
    HashCost hashCost;                            // Argon2id: 2 passes, 19 MiB
    int concurrentHashes = 1;                     // each holds hashCost.memoryKiB while it runs
    SessionLimits sessions; // 30 days idle, 90 days in all, 10 per account
    std::int64_t codeLifetimeSeconds = 600;
    int codeTries = 5; // wrong codes before the code is void
    // The key recovery codes are stored under (keyedDigest); every instance on one
    // store needs the same. Empty: a random key for this process.
    std::string codeKey;
    // Room for a model's default set and 32 program sets with long paths.
    std::size_t maxConfigBytes = 256 * 1024;
    bool rateLimits = true; // off only for load tests
    std::string latestVersion = "0.9";
    std::string downloadUrl;
};

struct ServiceRequest
{
    std::string path;
    std::string body;
    std::string lang;
    std::string authorization;
    std::string clientAddress;
};

struct ServiceReply
{
    int code = 0;
    std::string body;         // the envelope, compact JSON
    std::string sessionToken; // set only by a successful log-in
};

// Counts events per key in fixed windows. Keys are stored as a short digest, so
// an entry costs the same whatever the caller's text; windows end by time (the
// table of the previous window is dropped whole, O(1)), and the table never holds
// more than maxKeys entries. Thread-safe.
class RateLimiter
{
public:
    RateLimiter(int limit, std::int64_t windowSeconds, std::size_t maxKeys = 100000)
        : m_limit(limit), m_window(windowSeconds), m_maxKeys(maxKeys)
    {
    }
    // Counts in the store when it keeps shared counters (several servers on one
    // PostgreSQL database), under keys that begin with `name`.
    void share(Repository &store, std::string name)
    {
        m_store = store.sharesEvents() ? &store : nullptr;
        m_name = std::move(name);
    }
    // Takes one event when the key has one left, in one step with the check, so
    // that concurrent callers cannot pass the limit together: false when none is left.
    bool take(const std::string &key, std::int64_t now);
    // Gives back an event taken for an attempt that turned out right.
    void giveBack(const std::string &key, std::int64_t now);
    // Entries held (for tests and metrics).
    std::size_t size();

private:
    void roll(std::int64_t now);
    static std::string shortKey(const std::string &key);

    int m_limit;
    std::int64_t m_window;
    std::size_t m_maxKeys;
    Repository *m_store = nullptr;
    std::string m_name;
    std::mutex m_mutex;
    std::int64_t m_windowIndex = -1;
    std::unordered_map<std::string, int> m_events;
};

// The client's input rules, applied again here.
bool isValidEmail(const std::string &email);
bool isValidPassword(const std::string &password);
// zxcvbn's estimate of the bits a guesser needs, with `personal` (the address, the
// nickname) counted as known words; below kMinPasswordBits a password is refused
// as guessable ("Passw0rd!" 5 bits, "Zz9!Zz9!" 27, "Secret-pw1" 32).
constexpr double kMinPasswordBits = 28.0;
double passwordBits(const std::string &password, const std::vector<std::string> &personal);
bool isGuessablePassword(const std::string &password, const std::vector<std::string> &personal);
bool isValidNickname(const std::string &nickname);
// One of the product's mouse models (protocol/mousemodels.h): nothing else is stored.
bool isValidModel(const std::string &model);
// The client a limit counts: the address, an IPv6 one cut to its /64.
std::string clientGroup(const std::string &address);
// The key under which an address is unique: ASCII letters in lower case.
std::string emailKey(const std::string &email);

class AccountService
{
public:
    using Clock = std::function<std::int64_t()>; // seconds since the epoch

    AccountService(Repository &repository, Mailer &mailer, ServiceOptions options,
                   Clock clock = {});

    // Whether the path is one this service answers.
    static bool knows(const std::string &path);
    // Whether answering the path computes a password hash (the slow requests).
    static bool hashes(const std::string &path);
    const ServiceOptions &options() const { return m_options; }
    ServiceReply handle(const ServiceRequest &request);
    // The envelope of a failure found before the request reaches handle().
    static ServiceReply refusal(Code code, const std::string &lang);
    // Entries all the limiters hold together (for tests and metrics).
    std::size_t limiterEntries();

private:
    struct Call;
    using Handler = ServiceReply (AccountService::*)(Call &);
    static Handler handlerFor(const std::string &path);

    ServiceReply login(Call &call);
    ServiceReply registerAccount(Call &call);
    ServiceReply updatePassword(Call &call);
    ServiceReply findPassword(Call &call);
    ServiceReply validatePassword(Call &call);
    ServiceReply newPassword(Call &call);
    ServiceReply saveConfig(Call &call);
    ServiceReply getConfig(Call &call);
    ServiceReply latestVersion(Call &call);
    ServiceReply signOut(Call &call);

    std::optional<Account> sessionAccount(const Call &call);
    // Code::Ok when the code is the account's live one, else Code::WrongCode for
    // every reason alike, an unknown address (nullopt) included; counts a wrong try.
    Code checkRecoveryCode(const std::optional<Account> &account, const std::string &code);
    // Runs an Argon2 computation once fewer than concurrentHashes others run.
    template <class Work> auto withHashSlot(Work work);
    std::string hash(const std::string &password);
    bool verify(const std::string &password, const std::string &encoded);

    Repository &m_repository;
    Mailer &m_mailer;
    ServiceOptions m_options;
    Clock m_clock;
    std::string m_dummyHash; // verified for unknown addresses, so both take as long

    std::mutex m_hashMutex;
    std::condition_variable m_hashFree;
    int m_hashing = 0;

    RateLimiter m_loginFailuresPerAccount{10, 900}; // keyed by account and client
    RateLimiter m_loginFailuresPerClient{50, 900};
    RateLimiter m_registrationsPerClient{20, 3600};
    RateLimiter m_codeRequestsPerEmail{5, 3600};
    RateLimiter m_codeRequestsPerClient{20, 3600};
};

} // namespace velko::server
