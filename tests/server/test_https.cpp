// The server over https: a certificate made for the test, a TLS client, and the
// log-in's token in the response header.
#include "server_fixtures.h"

#include "crypto.h"
#include "httpserver.h"
#include "log.h"
#include "mailer.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>

#include <cstdlib>

namespace velko::server::test {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace ssl = asio::ssl;
using tcp = asio::ip::tcp;

TEST(Https, ServesTls12AndRefusesPlainRequests)
{
    setLogQuiet(true);
    sodiumInit();
    TempFolder folder;
    const std::string cert = (folder.path() / "cert.pem").string();
    const std::string key = (folder.path() / "key.pem").string();
    const std::string make = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 "
                             "-nodes -days 1 -subj /CN=127.0.0.1 -keyout " +
                             key + " -out " + cert + " >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0)
        GTEST_SKIP() << "openssl could not make a certificate";

    auto repository = openStore(Store::Sqlite, folder);
    OutboxMailer mailer((folder.path() / "outbox").string(), "t@localhost");
    ServiceOptions serviceOptions;
    serviceOptions.hashCost = testHashCost();
    AccountService service(*repository, mailer, serviceOptions);
    ServerOptions options;
    options.port = 0;
    options.address = "127.0.0.1";
    options.certificateFile = cert;
    options.keyFile = key;
    options.shutdownGrace = std::chrono::milliseconds(200);
    HttpServer server(service, options);
    server.start();
    const tcp::endpoint endpoint(asio::ip::make_address("127.0.0.1"), server.port());

    asio::io_context ioc;
    ssl::context context(ssl::context::tls_client);
    context.load_verify_file(cert);
    context.set_verify_mode(ssl::verify_peer);
    beast::ssl_stream<beast::tcp_stream> stream(ioc, context);
    beast::get_lowest_layer(stream).connect(endpoint);
    stream.handshake(ssl::stream_base::client);
    EXPECT_GE(SSL_version(stream.native_handle()), TLS1_2_VERSION);

    http::request<http::string_body> request(http::verb::post, "/v1/driver/latest/version", 11);
    request.set(http::field::host, "127.0.0.1");
    request.set(http::field::content_type, "application/json");
    request.body() = R"({"versionType":"qx210-software"})";
    request.prepare_payload();
    http::write(stream, request);
    beast::flat_buffer buffer;
    http::response<http::string_body> response;
    http::read(stream, buffer, response);
    EXPECT_EQ(response.body(), R"({"code":0,"data":{"downloadUrl":"","version":"0.9"},"msg":""})");

    // A client offering only suites without forward secrecy or without AEAD is
    // refused.
    ssl::context weak(ssl::context::tls_client);
    SSL_CTX_set_max_proto_version(weak.native_handle(), TLS1_2_VERSION);
    SSL_CTX_set_cipher_list(weak.native_handle(), "ECDHE-ECDSA-AES128-SHA:AES128-GCM-SHA256");
    beast::ssl_stream<beast::tcp_stream> weakStream(ioc, weak);
    beast::get_lowest_layer(weakStream).connect(endpoint);
    beast::error_code weakError;
    weakStream.handshake(ssl::stream_base::client, weakError);
    EXPECT_TRUE(weakError);

    // Plain http to the https port gets no answer.
    beast::tcp_stream plain(ioc);
    plain.connect(endpoint);
    plain.expires_after(std::chrono::seconds(5));
    http::write(plain, request);
    http::response<http::string_body> none;
    beast::error_code ec;
    http::read(plain, buffer, none, ec);
    EXPECT_TRUE(ec);
    server.stop();
    server.wait();
}

} // namespace
} // namespace velko::server::test
