// The PostgreSQL store: a small pool of connections, every statement sent with
// PQexecParams and its values as separate parameters.
#include "repository.h"

#include <libpq-fe.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <initializer_list>
#include <mutex>
#include <vector>

namespace velko::server {
namespace {

const char kSchema[] = R"sql(
CREATE TABLE IF NOT EXISTS accounts (
    id BIGSERIAL PRIMARY KEY,
    email_key TEXT NOT NULL UNIQUE,
    email TEXT NOT NULL,
    nickname TEXT NOT NULL,
    password_hash TEXT NOT NULL,
    created_at BIGINT NOT NULL);
CREATE TABLE IF NOT EXISTS sessions (
    token_hash TEXT PRIMARY KEY,
    account_id BIGINT NOT NULL REFERENCES accounts(id) ON DELETE CASCADE,
    last_used BIGINT NOT NULL);
ALTER TABLE sessions ADD COLUMN IF NOT EXISTS created BIGINT;
CREATE INDEX IF NOT EXISTS sessions_account ON sessions(account_id);
CREATE TABLE IF NOT EXISTS recovery_codes (
    account_id BIGINT PRIMARY KEY REFERENCES accounts(id) ON DELETE CASCADE,
    code_hash TEXT NOT NULL,
    expires_at BIGINT NOT NULL,
    failed_tries INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS limit_events (
    key TEXT PRIMARY KEY,
    window_index BIGINT NOT NULL,
    events INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS limit_events_window ON limit_events(window_index);
CREATE TABLE IF NOT EXISTS configs (
    account_id BIGINT NOT NULL REFERENCES accounts(id) ON DELETE CASCADE,
    model TEXT NOT NULL,
    content TEXT NOT NULL,
    saved_at BIGINT NOT NULL,
    PRIMARY KEY (account_id, model));
)sql";

const char kUniqueViolation[] = "23505";

// One result, freed when it goes out of scope.
class Result
{
public:
    explicit Result(PGresult *result) : m_result(result) {}
    ~Result() { PQclear(m_result); }
    Result(const Result &) = delete;
    Result &operator=(const Result &) = delete;
    Result(Result &&other) noexcept : m_result(other.m_result) { other.m_result = nullptr; }

    int rows() const { return PQntuples(m_result); }
    std::string text(int row, int column) const
    {
        return std::string(PQgetvalue(m_result, row, column),
                           std::size_t(PQgetlength(m_result, row, column)));
    }
    std::int64_t integer(int row, int column) const { return std::stoll(text(row, column)); }

private:
    PGresult *m_result;
};

class Connection
{
public:
    explicit Connection(const std::string &url) : m_conn(PQconnectdb(url.c_str()))
    {
        if (PQstatus(m_conn) != CONNECTION_OK) {
            const std::string why = PQerrorMessage(m_conn);
            PQfinish(m_conn);
            throw StoreError("cannot connect to PostgreSQL: " + why);
        }
        // "already exists, skipping" and the like are of no interest.
        PQsetNoticeProcessor(
            m_conn, [](void *, const char *) {}, nullptr);
    }
    ~Connection() { PQfinish(m_conn); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    void script(const char *sql)
    {
        PGresult *raw = PQexec(m_conn, sql);
        Result result(raw);
        if (PQresultStatus(raw) != PGRES_COMMAND_OK && PQresultStatus(raw) != PGRES_TUPLES_OK)
            throw StoreError(std::string("PostgreSQL: ") + PQerrorMessage(m_conn));
    }

    // Runs one statement; values are sent as text parameters $1, $2, ...
    // A unique-key violation sets *duplicate when given, other failures throw.
    Result run(const char *sql, std::initializer_list<std::string> values,
               bool *duplicate = nullptr)
    {
        if (PQstatus(m_conn) != CONNECTION_OK)
            PQreset(m_conn);
        std::vector<const char *> params;
        std::vector<int> lengths;
        for (const std::string &value : values) {
            params.push_back(value.c_str());
            lengths.push_back(int(value.size()));
        }
        PGresult *raw = PQexecParams(m_conn, sql, int(params.size()), nullptr, params.data(),
                                     lengths.data(), nullptr, 0);
        Result result(raw);
        const ExecStatusType status = PQresultStatus(raw);
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
            return result;
        const char *state = PQresultErrorField(raw, PG_DIAG_SQLSTATE);
        if (duplicate && state && std::strcmp(state, kUniqueViolation) == 0) {
            *duplicate = true;
            return result;
        }
        throw StoreError(std::string("PostgreSQL: ") + PQerrorMessage(m_conn));
    }

private:
    PGconn *m_conn;
};

class PostgresRepository : public Repository
{
public:
    PostgresRepository(const std::string &url, int connections)
    {
        for (int i = 0; i < std::max(1, connections); ++i)
            m_idle.push_back(std::make_unique<Connection>(url));
        auto lease = borrow();
        // Several servers may start at once on an empty database.
        lease->run("SELECT pg_advisory_lock(87901)", {});
        try {
            lease->script(kSchema);
        } catch (...) {
            lease->run("SELECT pg_advisory_unlock(87901)", {});
            throw;
        }
        lease->run("SELECT pg_advisory_unlock(87901)", {});
    }

    std::optional<std::int64_t> createAccount(const std::string &emailKey, const std::string &email,
                                              const std::string &nickname,
                                              const std::string &passwordHash,
                                              std::int64_t now) override
    {
        bool duplicate = false;
        Result result = borrow()->run(
            "INSERT INTO accounts (email_key, email, nickname, password_hash, created_at) "
            "VALUES ($1, $2, $3, $4, $5) RETURNING id",
            {emailKey, email, nickname, passwordHash, std::to_string(now)}, &duplicate);
        if (duplicate || result.rows() != 1)
            return std::nullopt;
        return result.integer(0, 0);
    }

    std::optional<Account> findAccount(const std::string &emailKey) override
    {
        Result result = borrow()->run(
            "SELECT id, email, nickname, password_hash FROM accounts WHERE email_key = $1",
            {emailKey});
        if (result.rows() != 1)
            return std::nullopt;
        return Account{result.integer(0, 0), result.text(0, 1), result.text(0, 2),
                       result.text(0, 3)};
    }

    void changePassword(std::int64_t accountId, const std::string &passwordHash) override
    {
        // One statement, so one transaction: the new hash, no sessions, no code.
        borrow()->run("WITH s AS (DELETE FROM sessions WHERE account_id = $2), "
                      "c AS (DELETE FROM recovery_codes WHERE account_id = $2) "
                      "UPDATE accounts SET password_hash = $1 WHERE id = $2",
                      {passwordHash, std::to_string(accountId)});
    }

    void addSession(std::int64_t accountId, const std::string &tokenHash, std::int64_t now,
                    const SessionLimits &limits) override
    {
        // One statement, so one transaction. The deletion does not see the new
        // row, and leaves it alone in any case.
        borrow()->run(
            "WITH added AS (INSERT INTO sessions (token_hash, account_id, last_used, created) "
            "VALUES ($1, $2, $3, $3)) "
            "DELETE FROM sessions WHERE account_id = $2 AND token_hash <> $1 AND ("
            "last_used < $4 OR COALESCE(created, last_used) < $5 OR token_hash NOT IN ("
            "SELECT token_hash FROM sessions WHERE account_id = $2 AND token_hash <> $1 "
            "ORDER BY COALESCE(created, last_used) DESC, last_used DESC LIMIT $6))",
            {tokenHash, std::to_string(accountId), std::to_string(now),
             std::to_string(now - limits.maxIdle), std::to_string(now - limits.maxAge),
             std::to_string(std::max(0, limits.perAccount - 1))});
    }

    std::optional<Account> useSession(const std::string &tokenHash, std::int64_t now,
                                      const SessionLimits &limits) override
    {
        auto lease = borrow();
        Result result = lease->run("SELECT a.id, a.email, a.nickname, a.password_hash, s.last_used "
                                   "FROM sessions s JOIN accounts a ON a.id = s.account_id "
                                   "WHERE s.token_hash = $1 AND s.last_used >= $2 "
                                   "AND COALESCE(s.created, s.last_used) >= $3",
                                   {tokenHash, std::to_string(now - limits.maxIdle),
                                    std::to_string(now - limits.maxAge)});
        if (result.rows() != 1)
            return std::nullopt;
        if (result.integer(0, 4) < now - 60)
            lease->run("UPDATE sessions SET last_used = $1 WHERE token_hash = $2",
                       {std::to_string(now), tokenHash});
        return Account{result.integer(0, 0), result.text(0, 1), result.text(0, 2),
                       result.text(0, 3)};
    }

    bool sharesEvents() const override { return true; }

    bool takeEvent(const std::string &key, std::int64_t window, int limit) override
    {
        // One statement: the row lock makes check and count one step across servers.
        Result result = borrow()->run(
            "INSERT INTO limit_events (key, window_index, events) VALUES ($1, $2, 1) "
            "ON CONFLICT (key) DO UPDATE SET events = CASE WHEN limit_events.window_index = "
            "excluded.window_index THEN limit_events.events + 1 ELSE 1 END, window_index = "
            "excluded.window_index WHERE limit_events.window_index <> excluded.window_index "
            "OR limit_events.events < $3 RETURNING events",
            {key, std::to_string(window), std::to_string(limit)});
        return result.rows() == 1;
    }

    void giveBackEvent(const std::string &key, std::int64_t window) override
    {
        borrow()->run("UPDATE limit_events SET events = events - 1 "
                      "WHERE key = $1 AND window_index = $2 AND events > 0",
                      {key, std::to_string(window)});
    }

    void dropEventsBefore(std::int64_t window) override
    {
        borrow()->run("DELETE FROM limit_events WHERE window_index < $1",
                      {std::to_string(window)});
    }

    void endSession(const std::string &tokenHash) override
    {
        borrow()->run("DELETE FROM sessions WHERE token_hash = $1", {tokenHash});
    }

    void putRecoveryCode(std::int64_t accountId, const std::string &codeHash,
                         std::int64_t expiresAt) override
    {
        borrow()->run("INSERT INTO recovery_codes (account_id, code_hash, expires_at, "
                      "failed_tries) VALUES ($1, $2, $3, 0) ON CONFLICT (account_id) DO UPDATE "
                      "SET code_hash = excluded.code_hash, expires_at = excluded.expires_at, "
                      "failed_tries = 0",
                      {std::to_string(accountId), codeHash, std::to_string(expiresAt)});
    }

    std::optional<RecoveryCode> recoveryCode(std::int64_t accountId) override
    {
        Result result = borrow()->run("SELECT code_hash, expires_at, failed_tries "
                                      "FROM recovery_codes WHERE account_id = $1",
                                      {std::to_string(accountId)});
        if (result.rows() != 1)
            return std::nullopt;
        return RecoveryCode{result.text(0, 0), result.integer(0, 1), int(result.integer(0, 2))};
    }

    bool takeTry(std::int64_t accountId, int limit) override
    {
        Result result = borrow()->run("UPDATE recovery_codes SET failed_tries = failed_tries + 1 "
                                      "WHERE account_id = $1 AND failed_tries < $2 "
                                      "RETURNING failed_tries",
                                      {std::to_string(accountId), std::to_string(limit)});
        return result.rows() == 1;
    }

    void returnTry(std::int64_t accountId) override
    {
        borrow()->run("UPDATE recovery_codes SET failed_tries = failed_tries - 1 "
                      "WHERE account_id = $1 AND failed_tries > 0",
                      {std::to_string(accountId)});
    }

    void saveConfig(std::int64_t accountId, const std::string &model, const std::string &content,
                    std::int64_t now) override
    {
        borrow()->run("INSERT INTO configs (account_id, model, content, saved_at) "
                      "VALUES ($1, $2, $3, $4) ON CONFLICT (account_id, model) DO UPDATE "
                      "SET content = excluded.content, saved_at = excluded.saved_at",
                      {std::to_string(accountId), model, content, std::to_string(now)});
    }

    std::optional<std::string> loadConfig(std::int64_t accountId, const std::string &model) override
    {
        Result result =
            borrow()->run("SELECT content FROM configs WHERE account_id = $1 AND model = $2",
                          {std::to_string(accountId), model});
        if (result.rows() != 1)
            return std::nullopt;
        return result.text(0, 0);
    }

private:
    // A connection taken from the pool for one operation and given back after it.
    class Lease
    {
    public:
        Lease(PostgresRepository &pool, std::unique_ptr<Connection> connection)
            : m_pool(pool), m_connection(std::move(connection))
        {
        }
        ~Lease() { m_pool.giveBack(std::move(m_connection)); }
        Lease(const Lease &) = delete;
        Lease &operator=(const Lease &) = delete;
        Connection *operator->() { return m_connection.get(); }

    private:
        PostgresRepository &m_pool;
        std::unique_ptr<Connection> m_connection;
    };

    Lease borrow()
    {
        std::unique_lock lock(m_mutex);
        m_available.wait(lock, [this] { return !m_idle.empty(); });
        std::unique_ptr<Connection> connection = std::move(m_idle.back());
        m_idle.pop_back();
        return Lease(*this, std::move(connection));
    }

    void giveBack(std::unique_ptr<Connection> connection)
    {
        {
            std::lock_guard lock(m_mutex);
            m_idle.push_back(std::move(connection));
        }
        m_available.notify_one();
    }

    std::mutex m_mutex;
    std::condition_variable m_available;
    std::vector<std::unique_ptr<Connection>> m_idle;
};

} // namespace

std::unique_ptr<Repository> openPostgresRepository(const std::string &url, int connections)
{
    return std::make_unique<PostgresRepository>(url, connections);
}

} // namespace velko::server
