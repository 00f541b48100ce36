#include "server_fixtures.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <regex>
#include <sstream>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velko::server::test {
namespace fs = std::filesystem;

namespace {

const char kPgBin[] = "/usr/lib/postgresql/15/bin";

int freeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// A PostgreSQL cluster for this test run. PostgreSQL refuses to run as root, so
// under root it runs as the "postgres" user, in a folder of its own under /tmp
// (the test's TMPDIR may not be reachable for that user).
class PostgresCluster
{
public:
    static PostgresCluster &instance()
    {
        static PostgresCluster cluster;
        return cluster;
    }

    bool available() const { return m_running; }
    const std::string &failure() const { return m_failure; }

    std::string freshSchemaUrl()
    {
        const std::string schema = "t" + std::to_string(++m_schemas);
        const std::string base =
            "host=127.0.0.1 port=" + std::to_string(m_port) + " user=postgres dbname=postgres";
        PGconn *conn = PQconnectdb(base.c_str());
        PGresult *result = PQexec(conn, ("CREATE SCHEMA " + schema).c_str());
        const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
        PQclear(result);
        PQfinish(conn);
        if (!ok)
            throw StoreError("cannot create schema " + schema);
        return base + " options='-csearch_path=" + schema + "'";
    }

    ~PostgresCluster()
    {
        if (m_running)
            run(pg("pg_ctl") + " -D " + (m_folder / "data").string() + " -m fast -w stop");
        if (!m_folder.empty()) {
            std::error_code ignored;
            fs::remove_all(m_folder, ignored);
        }
    }

private:
    PostgresCluster()
    {
        if (!fs::exists(fs::path(kPgBin) / "pg_ctl")) {
            m_failure = "PostgreSQL 15 is not installed (postgresql-15)";
            return;
        }
        char pattern[] = "/tmp/velko-pg-XXXXXX";
        if (!::mkdtemp(pattern)) {
            m_failure = "mkdtemp failed";
            return;
        }
        m_folder = pattern;
        if (::geteuid() == 0) {
            const passwd *user = ::getpwnam("postgres");
            if (!user || ::chown(pattern, user->pw_uid, user->pw_gid) != 0) {
                m_failure = "no postgres user to run PostgreSQL as";
                return;
            }
            m_prefix = "runuser -u postgres -- ";
        }
        m_port = freeLoopbackPort();
        const std::string data = (m_folder / "data").string();
        if (run(pg("initdb") + " -D " + data + " -U postgres --auth=trust -E UTF8 --no-sync") !=
            0) {
            m_failure = "initdb failed";
            return;
        }
        const std::string settings = "-p " + std::to_string(m_port) + " -k " + m_folder.string() +
                                     " -c listen_addresses=127.0.0.1 -c fsync=off"
                                     " -c synchronous_commit=off -c full_page_writes=off";
        if (run(pg("pg_ctl") + " -D " + data + " -o '" + settings + "' -l " +
                (m_folder / "log").string() + " -w -t 60 start") != 0) {
            m_failure = "pg_ctl start failed; see " + (m_folder / "log").string();
            return;
        }
        m_running = true;
        // Should this process die without running destructors, a watcher stops the
        // cluster and removes its folder once the process is gone.
        run("( while kill -0 " + std::to_string(::getpid()) + "; do sleep 1; done; " +
            pg("pg_ctl") + " -D " + data + " -m immediate stop; rm -rf " + m_folder.string() +
            " ) >/dev/null 2>&1 &");
    }

    std::string pg(const char *tool) const { return m_prefix + kPgBin + "/" + tool; }
    static int run(const std::string &command)
    {
        return std::system((command + " >/dev/null 2>&1").c_str());
    }

    fs::path m_folder;
    std::string m_prefix;
    std::string m_failure;
    int m_port = 0;
    int m_schemas = 0;
    bool m_running = false;
};

} // namespace

std::string storeName(const ::testing::TestParamInfo<Store> &info)
{
    return info.param == Store::Sqlite ? "Sqlite" : "Postgres";
}

TempFolder::TempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "velko-server-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

namespace {
std::mutex g_clusterMutex;
}

std::string postgresProblem()
{
    std::lock_guard lock(g_clusterMutex);
    return PostgresCluster::instance().available() ? std::string()
                                                   : PostgresCluster::instance().failure();
}

std::string freshPostgresUrl()
{
    std::lock_guard lock(g_clusterMutex);
    return PostgresCluster::instance().freshSchemaUrl();
}

std::unique_ptr<Repository> openStore(Store kind, const TempFolder &folder)
{
    if (kind == Store::Sqlite)
        return openSqliteRepository((folder.path() / "accounts.sqlite3").string());
    return openPostgresRepository(freshPostgresUrl(), 4);
}

std::vector<std::string> outboxMessages(const fs::path &folder)
{
    std::vector<fs::path> files;
    if (fs::exists(folder)) {
        for (const auto &entry : fs::directory_iterator(folder))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end()); // the names begin with time and sequence
    std::vector<std::string> messages;
    for (const fs::path &file : files) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        messages.push_back(text.str());
    }
    return messages;
}

std::string newestCode(const fs::path &folder)
{
    const std::vector<std::string> messages = outboxMessages(folder);
    std::smatch match;
    static const std::regex code("code is ([0-9]{6})");
    if (messages.empty() || !std::regex_search(messages.back(), match, code))
        return {};
    return match[1];
}

} // namespace velko::server::test
