// What the server tests share: the two stores (a SQLite file in a fresh folder, or
// a fresh schema in a PostgreSQL 15 cluster that the tests start on a free
// loopback port and stop at exit), a settable clock, and a cheap Argon2 cost.
#pragma once

#include "accountservice.h"
#include "repository.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace velko::server::test {

enum class Store { Sqlite, Postgres };

std::string storeName(const ::testing::TestParamInfo<Store> &info);

// A folder removed with the object.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    const std::filesystem::path &path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Empty when the PostgreSQL cluster runs; else why it could not be started.
std::string postgresProblem();
// The connection string of a fresh, empty PostgreSQL schema (the cluster runs).
std::string freshPostgresUrl();
// A fresh, empty store of the kind.
std::unique_ptr<Repository> openStore(Store kind, const TempFolder &folder);

// Skips the test when the store cannot be had on this machine.
#define VELKO_REQUIRE_STORE(kind)                                                                  \
    do {                                                                                           \
        if ((kind) == ::velko::server::test::Store::Postgres) {                                    \
            const std::string problem = ::velko::server::test::postgresProblem();                  \
            if (!problem.empty())                                                                  \
                GTEST_SKIP() << problem;                                                           \
        }                                                                                          \
    } while (false)

// Cheap enough for hundreds of hashes in a test run.
inline HashCost testHashCost()
{
    return HashCost{1, 64};
}

struct TestClock
{
    std::atomic<std::int64_t> now{1'700'000'000};
    AccountService::Clock function()
    {
        return [this] { return now.load(); };
    }
};

// The messages the outbox holds, oldest first, each the file's whole text.
std::vector<std::string> outboxMessages(const std::filesystem::path &folder);
// The six-digit code of the newest message, or "" when there is none.
std::string newestCode(const std::filesystem::path &folder);

} // namespace velko::server::test
