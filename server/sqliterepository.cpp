// The SQLite store: one connection in WAL mode, used by one thread at a time.
// Every statement is prepared with bound parameters.
#include "repository.h"

#include <sqlite3.h>

#include <algorithm>
#include <mutex>

namespace velko::server {
namespace {

const char kSchema[] = R"sql(
PRAGMA journal_mode = WAL;
PRAGMA synchronous = NORMAL;
PRAGMA foreign_keys = ON;
CREATE TABLE IF NOT EXISTS accounts (
    id INTEGER PRIMARY KEY,
    email_key TEXT NOT NULL UNIQUE,
    email TEXT NOT NULL,
    nickname TEXT NOT NULL,
    password_hash TEXT NOT NULL,
    created_at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS sessions (
    token_hash TEXT PRIMARY KEY,
    account_id INTEGER NOT NULL REFERENCES accounts(id) ON DELETE CASCADE,
    last_used INTEGER NOT NULL,
    created INTEGER);
CREATE INDEX IF NOT EXISTS sessions_account ON sessions(account_id);
CREATE TABLE IF NOT EXISTS recovery_codes (
    account_id INTEGER PRIMARY KEY REFERENCES accounts(id) ON DELETE CASCADE,
    code_hash TEXT NOT NULL,
    expires_at INTEGER NOT NULL,
    failed_tries INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS configs (
    account_id INTEGER NOT NULL REFERENCES accounts(id) ON DELETE CASCADE,
    model TEXT NOT NULL,
    content TEXT NOT NULL,
    saved_at INTEGER NOT NULL,
    PRIMARY KEY (account_id, model));
)sql";

// The account's sessions other than the new one that are idle or old past the
// limits, or not among the newest that may stay. Sessions from before the
// "created" column count from their last use.
const char kPruneSessions[] =
    "DELETE FROM sessions WHERE account_id = ?1 AND token_hash <> ?2 AND ("
    "last_used < ?3 OR COALESCE(created, last_used) < ?4 OR token_hash NOT IN ("
    "SELECT token_hash FROM sessions WHERE account_id = ?1 AND token_hash <> ?2 "
    "ORDER BY COALESCE(created, last_used) DESC, last_used DESC LIMIT ?5))";

class Statement
{
public:
    Statement(sqlite3 *db, const char *sql) : m_db(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            throw StoreError(std::string("sqlite prepare: ") + sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    Statement &bind(int index, const std::string &value)
    {
        check(sqlite3_bind_text(m_stmt, index, value.data(), int(value.size()), SQLITE_TRANSIENT));
        return *this;
    }
    Statement &bind(int index, std::int64_t value)
    {
        check(sqlite3_bind_int64(m_stmt, index, value));
        return *this;
    }
    // True while a row is available; the step result SQLITE_CONSTRAINT is
    // reported through constraintFailed().
    bool step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        if ((rc & 0xff) == SQLITE_CONSTRAINT) {
            m_constraintFailed = true;
            return false;
        }
        throw StoreError(std::string("sqlite step: ") + sqlite3_errmsg(m_db));
    }
    bool constraintFailed() const { return m_constraintFailed; }
    std::int64_t integer(int column) const { return sqlite3_column_int64(m_stmt, column); }
    std::string text(int column) const
    {
        const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        return data ? std::string(data, std::size_t(sqlite3_column_bytes(m_stmt, column)))
                    : std::string();
    }

private:
    void check(int rc)
    {
        if (rc != SQLITE_OK)
            throw StoreError(std::string("sqlite bind: ") + sqlite3_errmsg(m_db));
    }

    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
    bool m_constraintFailed = false;
};

class SqliteRepository : public Repository
{
public:
    explicit SqliteRepository(const std::string &path)
    {
        if (sqlite3_open_v2(path.c_str(), &m_db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            const std::string why = m_db ? sqlite3_errmsg(m_db) : "out of memory";
            sqlite3_close(m_db);
            throw StoreError("cannot open " + path + ": " + why);
        }
        sqlite3_busy_timeout(m_db, 5000);
        exec(kSchema);
        // Stores made before sessions had an absolute lifetime lack the column.
        bool hasCreated = false;
        Statement columns(m_db, "SELECT 1 FROM pragma_table_info('sessions') WHERE name = 'created'");
        hasCreated = columns.step();
        if (!hasCreated)
            exec("ALTER TABLE sessions ADD COLUMN created INTEGER");
    }
    ~SqliteRepository() override { sqlite3_close(m_db); }

    std::optional<std::int64_t> createAccount(const std::string &emailKey, const std::string &email,
                                              const std::string &nickname,
                                              const std::string &passwordHash,
                                              std::int64_t now) override
    {
        std::lock_guard lock(m_mutex);
        Statement insert(m_db, "INSERT INTO accounts (email_key, email, nickname, password_hash, "
                               "created_at) VALUES (?1, ?2, ?3, ?4, ?5)");
        insert.bind(1, emailKey)
            .bind(2, email)
            .bind(3, nickname)
            .bind(4, passwordHash)
            .bind(5, now);
        insert.step();
        if (insert.constraintFailed())
            return std::nullopt;
        return sqlite3_last_insert_rowid(m_db);
    }

    std::optional<Account> findAccount(const std::string &emailKey) override
    {
        std::lock_guard lock(m_mutex);
        Statement query(m_db, "SELECT id, email, nickname, password_hash FROM accounts "
                              "WHERE email_key = ?1");
        query.bind(1, emailKey);
        if (!query.step())
            return std::nullopt;
        return Account{query.integer(0), query.text(1), query.text(2), query.text(3)};
    }

    void changePassword(std::int64_t accountId, const std::string &passwordHash) override
    {
        std::lock_guard lock(m_mutex);
        exec("BEGIN IMMEDIATE");
        try {
            Statement update(m_db, "UPDATE accounts SET password_hash = ?1 WHERE id = ?2");
            update.bind(1, passwordHash).bind(2, accountId).step();
            Statement sessions(m_db, "DELETE FROM sessions WHERE account_id = ?1");
            sessions.bind(1, accountId).step();
            Statement codes(m_db, "DELETE FROM recovery_codes WHERE account_id = ?1");
            codes.bind(1, accountId).step();
            exec("COMMIT");
        } catch (...) {
            exec("ROLLBACK");
            throw;
        }
    }

    void addSession(std::int64_t accountId, const std::string &tokenHash, std::int64_t now,
                    const SessionLimits &limits) override
    {
        std::lock_guard lock(m_mutex);
        exec("BEGIN IMMEDIATE");
        try {
            Statement insert(m_db, "INSERT INTO sessions (token_hash, account_id, last_used, "
                                   "created) VALUES (?1, ?2, ?3, ?3)");
            insert.bind(1, tokenHash).bind(2, accountId).bind(3, now).step();
            if (insert.constraintFailed())
                throw StoreError("session token collision");
            Statement prune(m_db, kPruneSessions);
            prune.bind(1, accountId)
                .bind(2, tokenHash)
                .bind(3, now - limits.maxIdle)
                .bind(4, now - limits.maxAge)
                .bind(5, std::int64_t(std::max(0, limits.perAccount - 1)))
                .step();
            exec("COMMIT");
        } catch (...) {
            exec("ROLLBACK");
            throw;
        }
    }

    std::optional<Account> useSession(const std::string &tokenHash, std::int64_t now,
                                      const SessionLimits &limits) override
    {
        std::lock_guard lock(m_mutex);
        Statement query(m_db, "SELECT a.id, a.email, a.nickname, a.password_hash, s.last_used "
                              "FROM sessions s JOIN accounts a ON a.id = s.account_id "
                              "WHERE s.token_hash = ?1 AND s.last_used >= ?2 "
                              "AND COALESCE(s.created, s.last_used) >= ?3");
        query.bind(1, tokenHash).bind(2, now - limits.maxIdle).bind(3, now - limits.maxAge);
        if (!query.step())
            return std::nullopt;
        Account account{query.integer(0), query.text(1), query.text(2), query.text(3)};
        if (query.integer(4) < now - 60) {
            Statement touch(m_db, "UPDATE sessions SET last_used = ?1 WHERE token_hash = ?2");
            touch.bind(1, now).bind(2, tokenHash).step();
        }
        return account;
    }

    void endSession(const std::string &tokenHash) override
    {
        std::lock_guard lock(m_mutex);
        Statement remove(m_db, "DELETE FROM sessions WHERE token_hash = ?1");
        remove.bind(1, tokenHash).step();
    }

    void putRecoveryCode(std::int64_t accountId, const std::string &codeHash,
                         std::int64_t expiresAt) override
    {
        std::lock_guard lock(m_mutex);
        Statement upsert(m_db, "INSERT INTO recovery_codes (account_id, code_hash, expires_at, "
                               "failed_tries) VALUES (?1, ?2, ?3, 0) ON CONFLICT (account_id) DO "
                               "UPDATE SET code_hash = excluded.code_hash, expires_at = "
                               "excluded.expires_at, failed_tries = 0");
        upsert.bind(1, accountId).bind(2, codeHash).bind(3, expiresAt).step();
    }

    std::optional<RecoveryCode> recoveryCode(std::int64_t accountId) override
    {
        std::lock_guard lock(m_mutex);
        Statement query(m_db, "SELECT code_hash, expires_at, failed_tries FROM recovery_codes "
                              "WHERE account_id = ?1");
        query.bind(1, accountId);
        if (!query.step())
            return std::nullopt;
        return RecoveryCode{query.text(0), query.integer(1), int(query.integer(2))};
    }

    bool takeTry(std::int64_t accountId, int limit) override
    {
        std::lock_guard lock(m_mutex);
        Statement update(m_db, "UPDATE recovery_codes SET failed_tries = failed_tries + 1 "
                               "WHERE account_id = ?1 AND failed_tries < ?2");
        update.bind(1, accountId).bind(2, std::int64_t(limit)).step();
        return sqlite3_changes(m_db) == 1;
    }

    void returnTry(std::int64_t accountId) override
    {
        std::lock_guard lock(m_mutex);
        Statement update(m_db, "UPDATE recovery_codes SET failed_tries = failed_tries - 1 "
                               "WHERE account_id = ?1 AND failed_tries > 0");
        update.bind(1, accountId).step();
    }

    void saveConfig(std::int64_t accountId, const std::string &model, const std::string &content,
                    std::int64_t now) override
    {
        std::lock_guard lock(m_mutex);
        Statement upsert(m_db,
                         "INSERT INTO configs (account_id, model, content, saved_at) "
                         "VALUES (?1, ?2, ?3, ?4) ON CONFLICT (account_id, model) DO "
                         "UPDATE SET content = excluded.content, saved_at = excluded.saved_at");
        upsert.bind(1, accountId).bind(2, model).bind(3, content).bind(4, now).step();
    }

    std::optional<std::string> loadConfig(std::int64_t accountId, const std::string &model) override
    {
        std::lock_guard lock(m_mutex);
        Statement query(m_db, "SELECT content FROM configs WHERE account_id = ?1 AND model = ?2");
        query.bind(1, accountId).bind(2, model);
        if (!query.step())
            return std::nullopt;
        return query.text(0);
    }

private:
    void exec(const char *sql)
    {
        char *error = nullptr;
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string why = error ? error : "unknown error";
            sqlite3_free(error);
            throw StoreError("sqlite: " + why);
        }
    }

    std::mutex m_mutex;
    sqlite3 *m_db = nullptr;
};

} // namespace

std::unique_ptr<Repository> openSqliteRepository(const std::string &path)
{
    return std::make_unique<SqliteRepository>(path);
}

} // namespace velko::server
