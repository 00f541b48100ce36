// The HTTP front: headers in and out, limits, deadlines, the listening policy,
// and shutdown, against an in-process server on a free loopback port.
#include "server_fixtures.h"

#include "crypto.h"
#include "httpserver.h"
#include "log.h"
#include "mailer.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <nlohmann/json.hpp>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velko::server::test {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using nlohmann::json;

class HttpServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setLogQuiet(true);
        sodiumInit();
        repository = openStore(Store::Sqlite, folder);
        mailer = std::make_unique<OutboxMailer>((folder.path() / "outbox").string(), "t@localhost");
        restart(serverOptions());
    }
    static ServerOptions serverOptions()
    {
        ServerOptions options;
        options.port = 0;
        options.threads = 2;
        options.requestTimeout = std::chrono::milliseconds(800);
        options.shutdownGrace = std::chrono::milliseconds(300);
        return options;
    }
    // Replaces the running server by one with these options, on the same store.
    void restart(const ServerOptions &options, HashCost hashCost = testHashCost())
    {
        ServiceOptions serviceOptions;
        serviceOptions.hashCost = hashCost;
        if (server) {
            server->stop();
            server->wait();
        }
        server.reset();
        service = std::make_unique<AccountService>(*repository, *mailer, serviceOptions);
        server = std::make_unique<HttpServer>(*service, options);
        server->start();
    }
    void TearDown() override
    {
        if (server) {
            server->stop();
            server->wait();
        }
    }

    tcp::socket connect()
    {
        tcp::socket socket(ioc);
        socket.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), server->port()));
        return socket;
    }

    http::response<http::string_body> send(http::verb method, const std::string &target,
                                           const std::string &body,
                                           const std::string &token = "token_fail",
                                           const std::string &forwardedFor = "")
    {
        tcp::socket socket = connect();
        http::request<http::string_body> request(method, target, 11);
        request.set(http::field::host, "127.0.0.1");
        request.set(http::field::content_type, "application/json");
        request.set("lang", "en");
        request.set(http::field::authorization, token);
        if (!forwardedFor.empty())
            request.set("X-Forwarded-For", forwardedFor);
        request.body() = body;
        request.prepare_payload();
        http::write(socket, request);
        beast::flat_buffer buffer;
        http::response<http::string_body> response;
        http::read(socket, buffer, response);
        return response;
    }

    http::response<http::string_body> registerAnn()
    {
        const json account{{"nickname", "Ann"},
                           {"email", "ann@example.com"},
                           {"password", "Lantern-7-cobalt"},
                           {"rePassword", "Lantern-7-cobalt"}};
        return send(http::verb::post, "/v1/user/register", account.dump());
    }

    static int codeOf(const http::response<http::string_body> &response)
    {
        return json::parse(response.body()).at("code").get<int>();
    }

    TempFolder folder;
    asio::io_context ioc;
    std::unique_ptr<Repository> repository;
    std::unique_ptr<Mailer> mailer;
    std::unique_ptr<AccountService> service;
    std::unique_ptr<HttpServer> server;
};

TEST_F(HttpServerTest, TheLogInTokenTravelsInTheAuthorizationHeaders)
{
    ASSERT_EQ(codeOf(registerAnn()), 0);
    const auto login = send(http::verb::post, "/v1/user/login",
                            R"({"email":"ann@example.com","password":"Lantern-7-cobalt"})");
    ASSERT_EQ(codeOf(login), 0);
    const std::string token(login[http::field::authorization]);
    ASSERT_FALSE(token.empty());
    EXPECT_EQ(login[http::field::content_type], "application/json");
    const std::string save =
        R"({"filePath":"","configContent":"{\"a\":\"b\"}","configType":"QX330"})";
    EXPECT_EQ(codeOf(send(http::verb::post, "/v1/driver/config2/save", save, token)), 0);
    EXPECT_EQ(codeOf(send(http::verb::post, "/v1/driver/config2/save", save)),
              int(Code::NotSignedIn));
    const auto failed = send(http::verb::post, "/v1/user/login",
                             R"({"email":"ann@example.com","password":"wrong1!pw"})");
    EXPECT_EQ(codeOf(failed), int(Code::WrongCredentials));
    EXPECT_EQ(failed.count(http::field::authorization), 0u);
}

TEST_F(HttpServerTest, StatusPerPathAndMethod)
{
    struct Row
    {
        http::verb method;
        const char *target;
        http::status status;
    } rows[] = {
        {http::verb::get, "/health", http::status::ok},
        {http::verb::post, "/v1/user/nothing", http::status::not_found},
        {http::verb::post, "/v1/file/upload", http::status::not_found},
        {http::verb::get, "/v1/user/login", http::status::method_not_allowed},
        {http::verb::post, "/v1/driver/latest/version", http::status::ok},
    };
    for (const Row &row : rows)
        EXPECT_EQ(send(row.method, row.target, R"({"versionType":"qx210-software"})").result(),
                  row.status)
            << row.target;
}

TEST_F(HttpServerTest, ABodyOverTheLimitIsRefusedWithItsCode)
{
    // Refused as soon as the length is announced, before the body is read.
    tcp::socket socket = connect();
    asio::write(socket, asio::buffer(std::string("POST /v1/user/login HTTP/1.1\r\nHost: x\r\n"
                                                 "Content-Type: application/json\r\n"
                                                 "Content-Length: ") +
                                     std::to_string(512 * 1024 + 1) + "\r\n\r\n{"));
    beast::flat_buffer buffer;
    http::response<http::string_body> response;
    http::read(socket, buffer, response);
    EXPECT_EQ(response.result(), http::status::ok);
    EXPECT_EQ(codeOf(response), int(Code::TooLarge));
    // A body just under the limit is read and answered as usual.
    const std::string fits = json{{"email", std::string(500 * 1024, 'a')}, {"password", "x"}}.dump();
    EXPECT_EQ(codeOf(send(http::verb::post, "/v1/user/login", fits)), int(Code::WrongCredentials));
}

TEST_F(HttpServerTest, BehindTheTrustedProxyLimitsCountTheClientItNames)
{
    ASSERT_EQ(codeOf(registerAnn()), 0);
    ServerOptions options = serverOptions();
    options.trustedProxy = "127.0.0.1";
    restart(options);
    const auto logIn = [this](const char *client, const char *password) {
        const json body{{"email", "ann@example.com"}, {"password", password}};
        return codeOf(send(http::verb::post, "/v1/user/login", body.dump(), "token_fail",
                           std::string("192.0.2.7, ") + client));
    };
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(logIn("10.0.0.9", "wrong1!pw"), int(Code::WrongCredentials));
    EXPECT_EQ(logIn("10.0.0.9", "Lantern-7-cobalt"), int(Code::RateLimited));
    EXPECT_EQ(logIn("10.0.0.1", "Lantern-7-cobalt"), 0); // the owner, behind the same proxy
}

TEST_F(HttpServerTest, EachClientHoldsAtMostItsCapOfConnections)
{
    ServerOptions options = serverOptions();
    options.maxConnectionsPerClient = 2;
    options.requestTimeout = std::chrono::seconds(5);
    restart(options);
    // Two idle connections are the cap: the third is closed unanswered, and once one
    // of the two has gone a new one is served.
    std::vector<tcp::socket> held;
    for (int i = 0; i < 2; ++i)
        held.push_back(connect());
    const auto answered = [this] {
        tcp::socket socket = connect();
        boost::system::error_code ec;
        asio::write(socket, asio::buffer(std::string("GET /health HTTP/1.1\r\nHost: x\r\n\r\n")), ec);
        beast::flat_buffer buffer;
        http::response<http::string_body> response;
        http::read(socket, buffer, response, ec);
        return !ec && response.result() == http::status::ok;
    };
    EXPECT_FALSE(answered());
    held.pop_back();
    bool served = false;
    for (int i = 0; i < 50 && !served; ++i) { // the server notices the close a moment later
        served = answered();
        if (!served)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(served);
}

TEST_F(HttpServerTest, MetricsCountRequestsByPathAndStatus)
{
    send(http::verb::get, "/health", "");
    send(http::verb::post, "/v1/user/nothing", "{}");
    const auto metrics = send(http::verb::get, "/metrics", "");
    EXPECT_EQ(metrics[http::field::content_type], "text/plain; version=0.0.4");
    for (const char *line : {"velko_requests_total{path=\"/health\",status=\"200\"} 1\n",
                             "velko_requests_total{path=\"other\",status=\"404\"} 1\n",
                             "velko_request_seconds_count 2\n", "velko_hash_queue_length 0\n"})
        EXPECT_NE(metrics.body().find(line), std::string::npos) << line << metrics.body();
    // The server sees the earlier clients' sockets close a moment after they do;
    // then only the asking connection is open.
    std::string body = metrics.body();
    for (int i = 0; i < 100 && body.find("velko_open_connections 1\n") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        body = send(http::verb::get, "/metrics", "").body();
    }
    EXPECT_NE(body.find("velko_open_connections 1\n"), std::string::npos) << body;
}

TEST_F(HttpServerTest, RequestsThatCouldBeMisreadAreRefused)
{
    const auto exchange = [this](const std::string &bytes) {
        tcp::socket socket = connect();
        asio::write(socket, asio::buffer(bytes));
        std::string received;
        boost::system::error_code ec;
        asio::read(socket, asio::dynamic_buffer(received), ec); // until the server closes
        return received;
    };
    // A HEAD answer carries no body, so the next answer on the connection is whole.
    const std::string twice = exchange("HEAD /health HTTP/1.1\r\nHost: x\r\n\r\n"
                                       "GET /health HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(twice.rfind("HTTP/1.1 200", 0), 0u) << twice;
    EXPECT_NE(twice.find("HTTP/1.1 200", 12), std::string::npos) << twice;
    EXPECT_EQ(twice.find("{\"status\""), twice.rfind("{\"status\"")) << twice;
    // A coding other than chunked is not read as a request without a body.
    const std::string body = R"({"versionType":"qx210-software"})";
    const std::string gzip = exchange(
        "POST /v1/driver/latest/version HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\n"
        "Transfer-Encoding: gzip\r\n\r\n" + body);
    EXPECT_EQ(gzip.rfind("HTTP/1.1 501", 0), 0u) << gzip;
    // A form a web page could post without asking first.
    const std::string form = exchange(
        "POST /v1/driver/latest/version HTTP/1.1\r\nHost: x\r\nContent-Type: text/plain\r\n"
        "Connection: close\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
    EXPECT_EQ(form.rfind("HTTP/1.1 415", 0), 0u) << form;
}

// Seconds until the server closes a connection fed by `feed`, or -1 when it
// stays open longer than `patience`.
template <class Feed> double secondsUntilClosed(tcp::socket &socket, Feed feed, double patience)
{
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    socket.non_blocking(true);
    for (int step = 0; elapsed() < patience; ++step) {
        feed(socket, step);
        char byte;
        boost::system::error_code ec;
        socket.read_some(asio::buffer(&byte, 1), ec);
        if (ec && ec != asio::error::would_block)
            return elapsed();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
}

TEST_F(HttpServerTest, SlowAndIdleClientsAreCutOff)
{
    const std::string request =
        "POST /v1/user/login HTTP/1.1\r\nHost: x\r\nContent-Length: 40\r\n\r\n"
        "{\"email\":\"a@b.cn\",\"password\":\"xxxxxxxx\"}";
    // One byte every 50 ms would take 5 s; the deadline of 0.8 s ends it. Only the
    // request begun is logged as cut off, not the connection that stays quiet.
    setLogQuiet(false);
    testing::internal::CaptureStderr();
    tcp::socket slow = connect();
    const double trickle = secondsUntilClosed(
        slow,
        [&](tcp::socket &s, int step) {
            if (std::size_t(step) < request.size()) {
                boost::system::error_code ignored;
                s.write_some(asio::buffer(&request[std::size_t(step)], 1), ignored);
            }
        },
        4.0);
    EXPECT_GT(trickle, 0.5);
    EXPECT_LT(trickle, 2.0);
    tcp::socket idle = connect();
    const double quiet = secondsUntilClosed(
        idle, [](tcp::socket &, int) {}, 4.0);
    EXPECT_GT(quiet, 0.5);
    EXPECT_LT(quiet, 2.0);
    const std::string log = testing::internal::GetCapturedStderr();
    setLogQuiet(true);
    const std::string cutOff = "request not complete in time";
    EXPECT_NE(log.find(cutOff), std::string::npos) << log;
    EXPECT_EQ(log.find(cutOff), log.rfind(cutOff)) << log;
}

TEST_F(HttpServerTest, StopEndsTheRunPromptlyAndKeepsWhatWasStored)
{
    ASSERT_EQ(codeOf(registerAnn()), 0);
    const auto before = std::chrono::steady_clock::now();
    server->stop();
    server->wait();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    server.reset();
    service.reset();
    repository.reset();
    repository = openStore(Store::Sqlite, folder);
    EXPECT_TRUE(repository->findAccount("ann@example.com").has_value());
}

TEST_F(HttpServerTest, HashingNeitherBlocksHealthNorQueuesWithoutBound)
{
    ASSERT_EQ(codeOf(registerAnn()), 0);
    // A cost that makes each log-in take some milliseconds, one at a time, with a
    // short queue: 20 clients log in over and over.
    ServerOptions options = serverOptions();
    options.hashQueue = 4;
    restart(options, HashCost{2, 8 * 1024});
    std::atomic<bool> done{false};
    std::atomic<int> answered{0}, busy{0};
    std::vector<std::thread> clients;
    for (int i = 0; i < 20; ++i) {
        clients.emplace_back([&] {
            for (int n = 0; n < 4; ++n) {
                const int code = codeOf(send(http::verb::post, "/v1/user/login",
                                             R"({"email":"ann@example.com","password":"Lantern-7-cobalt"})"));
                answered += code == 0;
                busy += code == int(Code::Busy);
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    double slowest = 0;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(send(http::verb::get, "/health", "").result(), http::status::ok);
        slowest = std::max(slowest, std::chrono::duration<double>(
                                        std::chrono::steady_clock::now() - start)
                                        .count());
    }
    for (std::thread &client : clients)
        client.join();
    EXPECT_LT(slowest, 0.5); // was seconds, behind the hashing
    EXPECT_GT(answered, 0);
    EXPECT_GT(busy, 0);
    EXPECT_EQ(answered + busy, 80);
}

struct PolicyRow
{
    const char *address;
    bool https;
    bool allowPlain;
    bool allowed;
};

// A certificate that cannot be used stops the start, and the message names it.
TEST_F(HttpServerTest, AnUnusableCertificateIsNamed)
{
    ServerOptions options = serverOptions();
    options.certificateFile = (folder.path() / "missing-cert.pem").string();
    options.keyFile = (folder.path() / "missing-key.pem").string();
    try {
        HttpServer refused(*service, options);
        ADD_FAILURE() << "started without its certificate";
    } catch (const std::runtime_error &error) {
        EXPECT_NE(std::string(error.what()).find("missing-cert.pem"), std::string::npos)
            << error.what();
    }
}

TEST(ListenPolicy, PlainHttpOnlyOnLoopbackUnlessAllowed)
{
    const PolicyRow rows[] = {
        {"::1", false, false, true},          {"127.0.0.2", false, false, true},
        {"192.168.1.5", false, false, false}, {"0.0.0.0", false, true, true},
        {"0.0.0.0", true, false, true},       {"localhost", false, false, false},
    };
    for (const PolicyRow &row : rows) {
        ServerOptions options;
        options.address = row.address;
        options.allowPlainHttpEverywhere = row.allowPlain;
        if (row.https) {
            options.certificateFile = "cert.pem";
            options.keyFile = "key.pem";
        }
        EXPECT_EQ(listenPolicyError(options).empty(), row.allowed) << row.address;
    }
    ServerOptions halfTls;
    halfTls.certificateFile = "cert.pem";
    EXPECT_FALSE(listenPolicyError(halfTls).empty());
    ServerOptions namedProxy;
    namedProxy.trustedProxy = "proxy.example.com";
    EXPECT_FALSE(listenPolicyError(namedProxy).empty());
}

#ifdef VELKO_ACCOUNT_SERVER_BINARY
// The server as its own process, with a small limit of open files.
class ServerProcess
{
public:
    // Data and log in folder/name; `extra` options follow the test's own.
    ServerProcess(const TempFolder &folder, rlim_t openFiles, const std::string &name = "data",
                  std::vector<std::string> extra = {})
    {
        const std::string log = (folder.path() / (name + ".log")).string();
        const std::string data = (folder.path() / name).string();
        std::vector<std::string> arguments = {VELKO_ACCOUNT_SERVER_BINARY, "--port", "0", "--data",
                                              data, "--threads", "2", "--argon2-memory-kib", "64",
                                              "--argon2-passes", "1"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        std::vector<char *> argv;
        for (std::string &argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        m_log = log;
        m_pid = ::fork();
        if (m_pid == 0) {
            const rlimit limit{openFiles, openFiles};
            ::setrlimit(RLIMIT_NOFILE, &limit);
            ::umask(0); // the server makes its files private itself
            const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(fd, 2);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        for (int i = 0; i < 100 && m_port == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::ifstream in(log);
            const std::string text((std::istreambuf_iterator<char>(in)), {});
            const std::size_t at = text.find("http://127.0.0.1:");
            if (at != std::string::npos)
                m_port = std::atoi(text.c_str() + at + 17);
        }
    }
    ~ServerProcess() { kill(); }
    void kill()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
    }
    int port() const { return m_port; }
    // User and system CPU time so far, in seconds.
    double cpuSeconds() const
    {
        std::ifstream in("/proc/" + std::to_string(m_pid) + "/stat");
        std::string text((std::istreambuf_iterator<char>(in)), {});
        std::istringstream fields(text.substr(text.rfind(')') + 2));
        std::string field;
        double ticks = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i == 14 || i == 15)
                ticks += std::stod(field);
        }
        return ticks / double(::sysconf(_SC_CLK_TCK));
    }
    std::uintmax_t logBytes() const { return std::filesystem::file_size(m_log); }

private:
    pid_t m_pid = -1;
    int m_port = 0;
    std::string m_log;
};

TEST(ServerLimits, IdleConnectionsPastTheFileLimitLeaveTheServerServing)
{
    // 300 idle connections against a limit of 256 open files once made the server
    // accept in a busy loop: no answer to others, a core's worth of CPU, a log flood.
    TempFolder folder;
    ServerProcess server(folder, 256);
    ASSERT_NE(server.port(), 0);
    asio::io_context ioc;
    const tcp::endpoint endpoint(asio::ip::make_address("127.0.0.1"), server.port());
    std::vector<tcp::socket> idle;
    for (int i = 0; i < 300; ++i) {
        tcp::socket &socket = idle.emplace_back(ioc);
        boost::system::error_code ec;
        socket.open(tcp::v4(), ec);
        socket.bind(tcp::endpoint(asio::ip::make_address("127.0.0.2"), 0), ec);
        socket.connect(endpoint, ec);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const double cpuBefore = server.cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    tcp::socket probe(ioc);
    probe.connect(endpoint);
    const std::string request = "GET /health HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
    asio::write(probe, asio::buffer(request));
    beast::flat_buffer buffer;
    http::response<http::string_body> response;
    http::read(probe, buffer, response);
    EXPECT_EQ(response.result(), http::status::ok);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_LT(server.cpuSeconds() - cpuBefore, 0.3);
    EXPECT_LT(server.logBytes(), 16u * 1024);
}

TEST(ServerLimits, TheDataFolderIsPrivateWhateverTheUmask)
{
    TempFolder folder;
    {
        ServerProcess server(folder, 1024); // started with umask 0
        ASSERT_NE(server.port(), 0);
    }
    namespace fs = std::filesystem;
    const fs::path data = folder.path() / "data";
    EXPECT_EQ(fs::status(data).permissions(), fs::perms::owner_all);
    for (const char *file : {"accounts.sqlite3", "code.key"})
        EXPECT_EQ(fs::status(data / file).permissions(),
                  fs::perms::owner_read | fs::perms::owner_write)
            << file;
}

// One POST (or GET without a body) on a connection of its own: the envelope's
// code, or -1 when no usable answer came (refused, reset, a balancer's error).
struct Exchange
{
    int code = -1;
    json data;
    std::string token;
};

Exchange exchange(unsigned short port, const std::string &target, const json &body,
                  const std::string &token = "token_fail")
{
    Exchange result;
    try {
        asio::io_context ioc;
        beast::tcp_stream stream(ioc);
        stream.expires_after(std::chrono::seconds(5));
        stream.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port));
        http::request<http::string_body> request(http::verb::post, target, 11);
        request.set(http::field::host, "127.0.0.1");
        request.set(http::field::content_type, "application/json");
        request.set(http::field::authorization, token);
        request.body() = body.dump();
        request.prepare_payload();
        http::write(stream, request);
        beast::flat_buffer buffer;
        http::response<http::string_body> response;
        http::read(stream, buffer, response);
        if (response.result() != http::status::ok)
            return result;
        const json envelope = json::parse(response.body());
        result.code = envelope.at("code").get<int>();
        result.data = envelope.at("data");
        result.token = std::string(response[http::field::authorization]);
    } catch (const std::exception &) {
    }
    return result;
}

TEST(TwoInstances, BehindHaproxyTheLimitsHoldAndAKilledInstanceLosesNothingAcknowledged)
{
    VELKO_REQUIRE_STORE(Store::Postgres);
    if (std::system("command -v haproxy >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "haproxy is not installed (tools/install-deps)";
    TempFolder folder;
    const std::string url = freshPostgresUrl();
    const std::string key = (folder.path() / "code.key").string();
    std::vector<std::unique_ptr<ServerProcess>> servers;
    for (const char *name : {"a", "b"}) {
        servers.push_back(std::make_unique<ServerProcess>(
            folder, 1024, name, std::vector<std::string>{"--database", url, "--code-key-file", key}));
        ASSERT_NE(servers.back()->port(), 0) << name;
    }
    // The configuration the README gives, on loopback ports.
    asio::io_context ioc;
    tcp::acceptor probe(ioc, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
    const unsigned short port = probe.local_endpoint().port();
    probe.close();
    const std::string config = (folder.path() / "haproxy.cfg").string();
    std::ofstream(config) << "defaults\n  mode http\n  timeout connect 1s\n  timeout client 5s\n"
                             "  timeout server 5s\n  retries 3\n  option redispatch\n"
                             "frontend api\n  bind 127.0.0.1:" << port << "\n"
                             "  default_backend servers\n"
                             "backend servers\n  balance roundrobin\n  option forwardfor\n"
                             "  option httpchk GET /health\n"
                             "  default-server check inter 200ms fall 1 rise 1\n"
                             "  server a 127.0.0.1:" << servers[0]->port() << "\n"
                             "  server b 127.0.0.1:" << servers[1]->port() << "\n";
    const pid_t balancer = ::fork();
    if (balancer == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execlp("haproxy", "haproxy", "-db", "-f", config.c_str(), static_cast<char *>(nullptr));
        ::_exit(127);
    }
    struct Reap
    {
        pid_t pid;
        ~Reap()
        {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    } reap{balancer};
    int registered = -1;
    for (int i = 0; i < 50 && registered == -1; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        registered = exchange(port, "/v1/user/register",
                              {{"nickname", "Ann"}, {"email", "ann@example.com"},
                               {"password", "Lantern-7-cobalt"}, {"rePassword", "Lantern-7-cobalt"}})
                         .code;
    }
    ASSERT_EQ(registered, 0);

    // Code tries and the log-in limit, whichever instance answers.
    ASSERT_EQ(exchange(port, "/v1/user/findPassword", {{"email", "ann@example.com"}}).code, 0);
    std::string code; // mailed from the queue of whichever instance answered
    for (int i = 0; i < 40 && code.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        for (const char *name : {"a", "b"}) {
            if (code.empty())
                code = newestCode(folder.path() / name / "outbox");
        }
    }
    ASSERT_EQ(code.size(), 6u);
    const std::string wrong = code == "000000" ? "000001" : "000000";
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(exchange(port, "/v1/user/validatePassword",
                           {{"email", "ann@example.com"}, {"captcha", wrong}})
                      .code,
                  int(Code::WrongCode));
    EXPECT_EQ(exchange(port, "/v1/user/validatePassword",
                       {{"email", "ann@example.com"}, {"captcha", code}})
                  .code,
              int(Code::WrongCode)); // the sixth try, though right

    const Exchange login =
        exchange(port, "/v1/user/login", {{"email", "ann@example.com"}, {"password", "Lantern-7-cobalt"}});
    ASSERT_EQ(login.code, 0);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(exchange(port, "/v1/user/login",
                           {{"email", "ann@example.com"}, {"password", "wrong1!pw"}})
                      .code,
                  int(Code::WrongCredentials));
    for (int i = 0; i < 2; ++i) // both instances refuse
        EXPECT_EQ(exchange(port, "/v1/user/login",
                           {{"email", "ann@example.com"}, {"password", "Lantern-7-cobalt"}})
                      .code,
                  int(Code::RateLimited));

    // A stream of uploads and downloads; one instance dies in the middle.
    int acknowledged = -1, answeredAfterKill = 0;
    for (int i = 0; i < 120; ++i) {
        if (i == 40)
            servers[0]->kill();
        const json document{{"n", std::to_string(i)}};
        const Exchange saved = exchange(
            port, "/v1/driver/config2/save",
            {{"filePath", ""}, {"configContent", document.dump()}, {"configType", "QX210"}},
            login.token);
        if (saved.code == 0)
            acknowledged = i;
        const Exchange loaded =
            exchange(port, "/v1/driver/config2/get", {{"configType", "QX210"}}, login.token);
        if (loaded.code == 0) {
            const int stored = std::stoi(json::parse(loaded.data.at("configContent").get<std::string>())
                                             .at("n")
                                             .get<std::string>());
            EXPECT_GE(stored, acknowledged) << i; // never older than what was acknowledged
            answeredAfterKill += i >= 40;
        }
    }
    EXPECT_GE(acknowledged, 100);
    EXPECT_GE(answeredAfterKill, 60); // the survivor serves on
}
#endif

} // namespace
} // namespace velko::server::test
