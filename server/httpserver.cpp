#include "httpserver.h"

#include "log.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <boost/beast/version.hpp>

#include <atomic>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace velko::server {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace ssl = asio::ssl;
using tcp = asio::ip::tcp;

std::string listenPolicyError(const ServerOptions &options)
{
    const bool https = !options.certificateFile.empty() || !options.keyFile.empty();
    if (https && (options.certificateFile.empty() || options.keyFile.empty()))
        return "https needs both a certificate and a key file";
    boost::system::error_code ec;
    const auto address = asio::ip::make_address(options.address, ec);
    if (ec)
        return "not an IP address: " + options.address;
    if (!https && !address.is_loopback() && !options.allowPlainHttpEverywhere)
        return "refusing plain http on " + options.address +
               ": give a certificate and key, or --allow-plain-http";
    return {};
}

namespace {

// Control characters and long targets are not copied into the log as they stand.
std::string printable(beast::string_view text)
{
    std::string out;
    for (char c : text.substr(0, 200))
        out += (c >= 0x20 && c < 0x7f) ? c : '?';
    return out;
}

} // namespace

struct HttpServer::Impl
{
    AccountService &service;
    ServerOptions options;
    asio::io_context ioc;
    std::optional<ssl::context> tls;
    tcp::acceptor acceptor;
    asio::signal_set signals;
    asio::steady_timer graceTimer;
    std::atomic<bool> stopping{false};
    std::atomic<int> sessions{0};
    std::vector<std::thread> threads;

    Impl(AccountService &s, ServerOptions o)
        : service(s), options(std::move(o)), ioc(std::max(1, options.threads)),
          acceptor(asio::make_strand(ioc)), signals(ioc), graceTimer(ioc)
    {
        const std::string policy = listenPolicyError(options);
        if (!policy.empty())
            throw std::runtime_error(policy);
        if (!options.certificateFile.empty()) {
            tls.emplace(ssl::context::tls_server);
            tls->set_options(ssl::context::default_workarounds | ssl::context::no_sslv2 |
                             ssl::context::no_sslv3 | ssl::context::no_tlsv1 |
                             ssl::context::no_tlsv1_1 | ssl::context::single_dh_use);
            SSL_CTX_set_min_proto_version(tls->native_handle(), TLS1_2_VERSION);
            tls->use_certificate_chain_file(options.certificateFile);
            tls->use_private_key_file(options.keyFile, ssl::context::pem);
        }
        const tcp::endpoint endpoint(asio::ip::make_address(options.address), options.port);
        acceptor.open(endpoint.protocol());
        acceptor.set_option(asio::socket_base::reuse_address(true));
        boost::system::error_code ec;
        acceptor.bind(endpoint, ec);
        if (ec)
            throw std::runtime_error("cannot listen on " + options.address + ":" +
                                     std::to_string(options.port) + ": " + ec.message());
        acceptor.listen(asio::socket_base::max_listen_connections);
    }

    void accept();
    void beginStop();
    void sessionEnded()
    {
        // Once stopping, the last connection to end ends the run.
        if (--sessions == 0 && stopping)
            ioc.stop();
    }
};

namespace {

template <class Stream> class Session : public std::enable_shared_from_this<Session<Stream>>
{
public:
    Session(HttpServer::Impl &server, Stream stream, std::string client)
        : m_server(server), m_stream(std::move(stream)), m_client(std::move(client))
    {
        ++m_server.sessions;
    }
    ~Session() { m_server.sessionEnded(); }

    void start()
    {
        if constexpr (std::is_same_v<Stream, beast::tcp_stream>) {
            read();
        } else {
            beast::get_lowest_layer(m_stream).expires_after(m_server.options.requestTimeout);
            m_stream.async_handshake(ssl::stream_base::server,
                                     [self = this->shared_from_this()](beast::error_code ec) {
                                         if (!ec)
                                             self->read();
                                     });
        }
    }

private:
    using Request = http::request<http::string_body>;
    using Response = http::response<http::string_body>;

    void read()
    {
        m_parser.emplace();
        m_parser->body_limit(m_server.options.bodyLimit);
        m_parser->header_limit(16 * 1024);
        // One deadline for the whole request: a client that trickles bytes is cut off too.
        beast::get_lowest_layer(m_stream).expires_after(m_server.options.requestTimeout);
        http::async_read(m_stream, m_buffer, *m_parser,
                         [self = this->shared_from_this()](beast::error_code ec, std::size_t) {
                             self->onRead(ec);
                         });
    }

    void onRead(beast::error_code ec)
    {
        if (ec == http::error::end_of_stream || ec == beast::error::timeout ||
            ec == asio::error::operation_aborted || ec == asio::error::connection_reset ||
            ec == asio::ssl::error::stream_truncated) {
            if (ec == beast::error::timeout)
                logLine(m_client + " connection closed: request not complete in time");
            return close();
        }
        m_started = std::chrono::steady_clock::now();
        if (ec == http::error::body_limit) {
            const ServiceReply reply =
                AccountService::refusal(Code::TooLarge, std::string(m_parser->get()["lang"]));
            return write(m_parser->get(), http::status::ok, reply, false);
        }
        if (ec) {
            Request empty;
            return write(empty, http::status::bad_request,
                         ServiceReply{0, "{\"status\":\"bad request\"}", {}}, false);
        }
        Request request = m_parser->release();
        const bool keepAlive = request.keep_alive() && !m_server.stopping;
        const std::string target(request.target());
        if (target == "/health") {
            if (request.method() != http::verb::get && request.method() != http::verb::head)
                return write(request, http::status::method_not_allowed, ServiceReply{0, "{}", {}},
                             keepAlive);
            return write(request, http::status::ok, ServiceReply{0, "{\"status\":\"ok\"}", {}},
                         keepAlive);
        }
        if (!AccountService::knows(target))
            return write(request, http::status::not_found, ServiceReply{0, "{}", {}}, keepAlive);
        if (request.method() != http::verb::post)
            return write(request, http::status::method_not_allowed, ServiceReply{0, "{}", {}},
                         keepAlive);
        ServiceRequest call{target, std::move(request.body()), std::string(request["lang"]),
                            std::string(request[http::field::authorization]), m_client};
        const ServiceReply reply = m_server.service.handle(call);
        write(request, http::status::ok, reply, keepAlive);
    }

    void write(const Request &request, http::status status, const ServiceReply &reply,
               bool keepAlive)
    {
        auto response =
            std::make_shared<Response>(status, request.version() ? request.version() : 11);
        response->set(http::field::server, "velko-account-server");
        response->set(http::field::content_type, "application/json");
        response->set(http::field::cache_control, "no-store");
        if (!reply.sessionToken.empty())
            response->set(http::field::authorization, reply.sessionToken);
        response->keep_alive(keepAlive);
        response->body() = reply.body;
        response->prepare_payload();

        const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now() - m_started)
                              .count();
        logLine(m_client + " " + printable(request.method_string()) + " " +
                printable(request.target()) + " " + std::to_string(int(status)) + " code " +
                std::to_string(reply.code) + " " + std::to_string(took / 1000) + "." +
                std::to_string(took / 100 % 10) + " ms");

        http::async_write(m_stream, *response,
                          [self = this->shared_from_this(), response,
                           keepAlive](beast::error_code ec, std::size_t) {
                              if (ec || !keepAlive)
                                  return self->close();
                              self->read();
                          });
    }

    void close()
    {
        beast::error_code ec;
        if constexpr (std::is_same_v<Stream, beast::tcp_stream>) {
            m_stream.socket().shutdown(tcp::socket::shutdown_send, ec);
        } else {
            beast::get_lowest_layer(m_stream).expires_after(std::chrono::seconds(2));
            m_stream.async_shutdown([self = this->shared_from_this()](beast::error_code) {});
        }
    }

    HttpServer::Impl &m_server;
    Stream m_stream;
    std::string m_client;
    beast::flat_buffer m_buffer;
    std::optional<http::request_parser<http::string_body>> m_parser;
    std::chrono::steady_clock::time_point m_started;
};

} // namespace

void HttpServer::Impl::accept()
{
    acceptor.async_accept(asio::make_strand(ioc), [this](beast::error_code ec, tcp::socket socket) {
        if (ec) {
            if (ec == asio::error::operation_aborted || stopping)
                return;
            logLine("accept: " + ec.message());
            return accept();
        }
        beast::error_code peerError;
        const auto peer = socket.remote_endpoint(peerError);
        const std::string client = peerError ? "?" : peer.address().to_string();
        socket.set_option(tcp::no_delay(true), peerError);
        beast::tcp_stream stream(std::move(socket));
        if (tls) {
            std::make_shared<Session<beast::ssl_stream<beast::tcp_stream>>>(
                *this, beast::ssl_stream<beast::tcp_stream>(std::move(stream), *tls), client)
                ->start();
        } else {
            std::make_shared<Session<beast::tcp_stream>>(*this, std::move(stream), client)->start();
        }
        accept();
    });
}

void HttpServer::Impl::beginStop()
{
    if (stopping.exchange(true))
        return;
    asio::post(acceptor.get_executor(), [this] {
        beast::error_code ec;
        acceptor.close(ec);
    });
    beast::error_code ec;
    signals.cancel(ec);
    // Requests being handled finish (a handler is never interrupted); connections
    // still waiting for a request are dropped after the grace period.
    graceTimer.expires_after(options.shutdownGrace);
    graceTimer.async_wait([this](beast::error_code) { ioc.stop(); });
    if (sessions == 0)
        ioc.stop();
}

HttpServer::HttpServer(AccountService &service, ServerOptions options)
    : m_impl(std::make_unique<Impl>(service, std::move(options)))
{
    m_impl->accept();
}

HttpServer::~HttpServer()
{
    if (!m_impl->threads.empty()) {
        stop();
        wait();
    }
}

unsigned short HttpServer::port() const
{
    return m_impl->acceptor.local_endpoint().port();
}

void HttpServer::start()
{
    for (int i = 0; i < std::max(1, m_impl->options.threads); ++i)
        m_impl->threads.emplace_back([this] { m_impl->ioc.run(); });
}

void HttpServer::run()
{
    start();
    wait();
}

void HttpServer::wait()
{
    for (std::thread &thread : m_impl->threads) {
        if (thread.joinable())
            thread.join();
    }
    m_impl->threads.clear();
}

void HttpServer::stop()
{
    m_impl->beginStop();
}

void HttpServer::stopOnSignals()
{
    m_impl->signals.add(SIGINT);
    m_impl->signals.add(SIGTERM);
    m_impl->signals.async_wait([this](beast::error_code ec, int number) {
        if (ec)
            return;
        logLine("signal " + std::to_string(number) + ": shutting down");
        m_impl->beginStop();
    });
}

} // namespace velko::server
