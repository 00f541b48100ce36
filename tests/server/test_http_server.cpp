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
#include <thread>

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
        ServiceOptions serviceOptions;
        serviceOptions.hashCost = testHashCost();
        service = std::make_unique<AccountService>(*repository, *mailer, serviceOptions);
        ServerOptions options;
        options.port = 0;
        options.threads = 2;
        options.requestTimeout = std::chrono::milliseconds(800);
        options.shutdownGrace = std::chrono::milliseconds(300);
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
                                           const std::string &token = "token_fail")
    {
        tcp::socket socket = connect();
        http::request<http::string_body> request(method, target, 11);
        request.set(http::field::host, "127.0.0.1");
        request.set(http::field::content_type, "application/json");
        request.set("lang", "en");
        request.set(http::field::authorization, token);
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
                           {"password", "secret1!x"},
                           {"rePassword", "secret1!x"}};
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
                            R"({"email":"ann@example.com","password":"secret1!x"})");
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
    const std::string body = json{{"email", std::string(70 * 1024, 'a')}, {"password", "x"}}.dump();
    const auto response = send(http::verb::post, "/v1/user/login", body);
    EXPECT_EQ(response.result(), http::status::ok);
    EXPECT_EQ(codeOf(response), int(Code::TooLarge));
    // A body just under the limit is read and answered as usual.
    const std::string fits = json{{"email", std::string(60 * 1024, 'a')}, {"password", "x"}}.dump();
    EXPECT_EQ(codeOf(send(http::verb::post, "/v1/user/login", fits)), int(Code::WrongCredentials));
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
    // One byte every 50 ms would take 5 s; the deadline of 0.8 s ends it.
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

struct PolicyRow
{
    const char *address;
    bool https;
    bool allowPlain;
    bool allowed;
};

TEST(ListenPolicy, PlainHttpOnlyOnLoopbackUnlessAllowed)
{
    const PolicyRow rows[] = {
        {"127.0.0.1", false, false, true},    {"::1", false, false, true},
        {"127.0.0.2", false, false, true},    {"0.0.0.0", false, false, false},
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
}

} // namespace
} // namespace velko::server::test
