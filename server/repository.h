// The account server's storage: accounts, sessions, recovery codes and the
// configuration documents. One interface, two stores: SQLite (one file, the
// default) and PostgreSQL (shared by several server instances). Every method is
// one statement or one transaction, so that concurrent callers -- threads of one
// server or several servers on one database -- never see half a change.
// Methods may be called from any thread. Failures of the store itself (lost
// connection, full disk) throw StoreError; the expected outcomes are return values.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace velko::server {

struct StoreError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

struct Account
{
    std::int64_t id = 0;
    std::string email; // as typed at registration
    std::string nickname;
    std::string passwordHash;
};

struct RecoveryCode
{
    std::string codeHash;
    std::int64_t expiresAt = 0; // seconds since the epoch
    int failedTries = 0;
};

struct SessionLimits
{
    std::int64_t maxIdle = 30 * 86400; // a session unused this long ends
    std::int64_t maxAge = 90 * 86400;  // and any session this long after log-in
    int perAccount = 10;               // live sessions an account may hold
};

class Repository
{
public:
    virtual ~Repository() = default;

    // Creates the account unless emailKey (the normalised address) is taken, also
    // by a concurrent registration: then nullopt. Returns the new account's id.
    virtual std::optional<std::int64_t> createAccount(const std::string &emailKey,
                                                      const std::string &email,
                                                      const std::string &nickname,
                                                      const std::string &passwordHash,
                                                      std::int64_t now) = 0;
    virtual std::optional<Account> findAccount(const std::string &emailKey) = 0;

    // Replaces the password hash and, in the same transaction, ends every session
    // and drops the recovery code of the account.
    virtual void changePassword(std::int64_t accountId, const std::string &passwordHash) = 0;

    // Adds the session and, in the same transaction, ends the account's other
    // sessions that are past their limits (see SessionLimits) and all but the
    // newest limits.perAccount - 1 of the rest, so an account never holds more.
    virtual void addSession(std::int64_t accountId, const std::string &tokenHash,
                            std::int64_t now, const SessionLimits &limits) = 0;
    // The account of a session used within limits.maxIdle and begun within
    // limits.maxAge; marks it used (at most once a minute, to keep reads cheap).
    // nullopt for unknown or ended ones.
    virtual std::optional<Account> useSession(const std::string &tokenHash, std::int64_t now,
                                              const SessionLimits &limits) = 0;
    // Ends the session at once (sign-out); nothing happens for an unknown one.
    virtual void endSession(const std::string &tokenHash) = 0;

    // Stores a fresh code for the account, replacing any earlier one.
    virtual void putRecoveryCode(std::int64_t accountId, const std::string &codeHash,
                                 std::int64_t expiresAt) = 0;
    virtual std::optional<RecoveryCode> recoveryCode(std::int64_t accountId) = 0;
    // Takes one of the code's `limit` tries, atomically: false when none is left
    // (or there is no code). A try that turns out right is given back with
    // returnTry(), so only wrong ones count, and concurrent guesses cannot exceed
    // the limit.
    virtual bool takeTry(std::int64_t accountId, int limit) = 0;
    virtual void returnTry(std::int64_t accountId) = 0;

    // Limit counters shared by every server on the store (PostgreSQL), so that a
    // limit holds however requests are spread. A store without them (SQLite: one
    // server per file, whose counters live in its memory) answers false to
    // sharesEvents() and is not asked for the others.
    virtual bool sharesEvents() const { return false; }
    // Counts one event of the key in the window when fewer than `limit` were
    // counted there, atomically across servers: false when none is left.
    virtual bool takeEvent(const std::string &key, std::int64_t window, int limit)
    {
        (void)key, (void)window, (void)limit;
        return false;
    }
    virtual void giveBackEvent(const std::string &key, std::int64_t window)
    {
        (void)key, (void)window;
    }
    // Forgets the counters of windows before `window`.
    virtual void dropEventsBefore(std::int64_t window) { (void)window; }

    // Stores the document for the account and model, replacing the earlier one.
    virtual void saveConfig(std::int64_t accountId, const std::string &model,
                            const std::string &content, std::int64_t now) = 0;
    virtual std::optional<std::string> loadConfig(std::int64_t accountId,
                                                  const std::string &model) = 0;
};

// Opens (creating when needed) the SQLite file in WAL mode.
std::unique_ptr<Repository> openSqliteRepository(const std::string &path);
// Opens a pool of `connections` connections to the PostgreSQL database named by
// the libpq connection string or URL, and creates the tables when missing.
std::unique_ptr<Repository> openPostgresRepository(const std::string &url, int connections = 4);

} // namespace velko::server
