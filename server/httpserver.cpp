#include "httpserver.h"

#include "log.h"
#include "workqueue.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <boost/beast/version.hpp>

#include <array>
#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <stdexcept>
#include <thread>
#include <vector>

#include <sys/resource.h>

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
    for (const std::string *peer : {&options.trustedProxy, &options.metricsFrom}) {
        boost::system::error_code peerError;
        if (!peer->empty())
            asio::ip::make_address(*peer, peerError);
        if (peerError)
            return "not an IP address: " + *peer;
    }
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

// Writes a line of one kind at most once a second, saying how many were left out,
// so that a flood of one failure cannot flood the log.
class ThrottledLog
{
public:
    void write(const std::string &line)
    {
        const std::int64_t second = std::chrono::duration_cast<std::chrono::seconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count();
        std::int64_t last = m_lastSecond.load();
        if (second == last || !m_lastSecond.compare_exchange_strong(last, second)) {
            ++m_skipped;
            return;
        }
        const int skipped = m_skipped.exchange(0);
        logLine(skipped ? line + " (and " + std::to_string(skipped) + " more like it)" : line);
    }

private:
    std::atomic<std::int64_t> m_lastSecond{-1};
    std::atomic<int> m_skipped{0};
};

// The most connections the process's limit of open files leaves room for: some
// files stay free for the store, the log and the mail.
int connectionCap(int wanted)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return wanted;
    const long room = long(limit.rlim_cur) - 64;
    return int(std::max(1L, std::min(long(wanted), room)));
}

// What GET /metrics reports, in the Prometheus text format: requests by path and
// status, a latency histogram, and (filled in when asked) the open connections
// and the hashing queue.
class Metrics
{
public:
    void record(const std::string &path, int status, double seconds)
    {
        std::lock_guard lock(m_mutex);
        ++m_requests[{path, status}];
        for (std::size_t i = 0; i < kBounds.size(); ++i)
            m_buckets[i] += seconds <= kBounds[i];
        m_sum += seconds;
        ++m_count;
    }

    std::string text(int connections, std::size_t hashQueue, int connectionLimit)
    {
        std::lock_guard lock(m_mutex);
        std::string out = "# HELP velko_requests_total Requests answered, by path and status.\n"
                          "# TYPE velko_requests_total counter\n";
        for (const auto &[key, count] : m_requests)
            out += "velko_requests_total{path=\"" + key.first + "\",status=\"" +
                   std::to_string(key.second) + "\"} " + std::to_string(count) + "\n";
        out += "# HELP velko_request_seconds Time from a request's arrival to its answer.\n"
               "# TYPE velko_request_seconds histogram\n";
        for (std::size_t i = 0; i < kBounds.size(); ++i) {
            char bound[32];
            std::snprintf(bound, sizeof bound, "%g", kBounds[i]);
            out += std::string("velko_request_seconds_bucket{le=\"") + bound + "\"} " +
                   std::to_string(m_buckets[i]) + "\n";
        }
        char sum[64];
        std::snprintf(sum, sizeof sum, "%.6f", m_sum);
        out += "velko_request_seconds_bucket{le=\"+Inf\"} " + std::to_string(m_count) + "\n" +
               "velko_request_seconds_sum " + sum + "\n" + "velko_request_seconds_count " +
               std::to_string(m_count) + "\n";
        out += "# HELP velko_open_connections Connections open now.\n"
               "# TYPE velko_open_connections gauge\n"
               "velko_open_connections " + std::to_string(connections) + "\n"
               "# HELP velko_connection_limit Connections allowed at once.\n"
               "# TYPE velko_connection_limit gauge\n"
               "velko_connection_limit " + std::to_string(connectionLimit) + "\n"
               "# HELP velko_hash_queue_length Requests waiting for a hashing thread.\n"
               "# TYPE velko_hash_queue_length gauge\n"
               "velko_hash_queue_length " + std::to_string(hashQueue) + "\n";
        return out;
    }

private:
    static constexpr std::array<double, 10> kBounds = {0.001, 0.005, 0.01, 0.025, 0.05,
                                                       0.1,   0.25,  0.5,  1,     2.5};
    std::mutex m_mutex;
    std::map<std::pair<std::string, int>, unsigned long long> m_requests;
    std::array<unsigned long long, kBounds.size()> m_buckets{};
    double m_sum = 0;
    unsigned long long m_count = 0;
};

// "application/json", with parameters or not, in any letter case.
bool isJson(beast::string_view type)
{
    const std::size_t end = type.find(';');
    type = type.substr(0, end);
    while (!type.empty() && type.back() == ' ')
        type.remove_suffix(1);
    return beast::iequals(type, "application/json");
}

} // namespace

struct HttpServer::Impl
{
    AccountService &service;
    ServerOptions options;
    // Before the io context: sessions still queued in it when it is destroyed
    // count themselves out here.
    std::atomic<bool> stopping{false};
    std::atomic<int> sessions{0};
    std::mutex clientsMutex;
    std::unordered_map<std::string, int> connectionsPerClient;
    asio::io_context ioc;
    std::optional<ssl::context> tls;
    tcp::acceptor acceptor;
    asio::signal_set signals;
    asio::steady_timer graceTimer;
    asio::steady_timer acceptRetry;
    int connectionLimit;
    Metrics metrics;
    ThrottledLog acceptLog;
    ThrottledLog refusalLog;
    // Destroyed before the io context: its jobs hold sessions.
    WorkQueue hashing;
    std::vector<std::thread> threads;

    Impl(AccountService &s, ServerOptions o)
        : service(s), options(std::move(o)), ioc(std::max(1, options.threads)),
          acceptor(asio::make_strand(ioc)), signals(ioc), graceTimer(ioc),
          acceptRetry(acceptor.get_executor()),
          connectionLimit(connectionCap(options.maxConnections)),
          hashing(service.options().concurrentHashes, options.hashQueue)
    {
        const std::string policy = listenPolicyError(options);
        if (!policy.empty())
            throw std::runtime_error(policy);
        // Compared with peers in the same spelling.
        for (std::string *peer : {&options.trustedProxy, &options.metricsFrom}) {
            if (!peer->empty())
                *peer = asio::ip::make_address(*peer).to_string();
        }
        if (!options.certificateFile.empty()) {
            tls.emplace(ssl::context::tls_server);
            tls->set_options(ssl::context::default_workarounds | ssl::context::no_sslv2 |
                             ssl::context::no_sslv3 | ssl::context::no_tlsv1 |
                             ssl::context::no_tlsv1_1 | ssl::context::single_dh_use);
            SSL_CTX_set_min_proto_version(tls->native_handle(), TLS1_2_VERSION);
            // Forward secrecy and authenticated encryption only (TLS 1.3's own
            // suites all have both).
            SSL_CTX_set_cipher_list(tls->native_handle(),
                                    "ECDHE-ECDSA-AES128-GCM-SHA256:ECDHE-RSA-AES128-GCM-SHA256:"
                                    "ECDHE-ECDSA-AES256-GCM-SHA384:ECDHE-RSA-AES256-GCM-SHA384:"
                                    "ECDHE-ECDSA-CHACHA20-POLY1305:ECDHE-RSA-CHACHA20-POLY1305");
            SSL_CTX_set_options(tls->native_handle(), SSL_OP_CIPHER_SERVER_PREFERENCE);
            // A failure names the file, so that a wrong path or a key that does not
            // fit is found at once.
            boost::system::error_code ec;
            tls->use_certificate_chain_file(options.certificateFile, ec);
            if (ec)
                throw std::runtime_error("cannot use the certificate " + options.certificateFile +
                                         ": " + ec.message());
            tls->use_private_key_file(options.keyFile, ssl::context::pem, ec);
            if (ec)
                throw std::runtime_error("cannot use the private key " + options.keyFile + ": " +
                                         ec.message());
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
    void accepted(tcp::socket socket);
    // Counts a connection of the client; false (counting nothing) when the client
    // or the server is at its cap.
    bool admit(const std::string &client);
    void release(const std::string &client);
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
    // The client was admitted (HttpServer::Impl::admit) before.
    Session(HttpServer::Impl &server, Stream stream, std::string client)
        : m_server(server), m_stream(std::move(stream)), m_peer(client), m_client(std::move(client))
    {
        ++m_server.sessions;
    }
    ~Session()
    {
        m_server.release(m_peer);
        m_server.sessionEnded();
    }

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
            // A kept-alive connection that sends nothing more is closed quietly: only
            // a request begun and not finished is news.
            if (ec == beast::error::timeout && m_parser->got_some())
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
        // Only "chunked" is understood: any other coding would leave the body's end
        // unknown, and its bytes read as the next request. The connection ends.
        if (const auto coding = request.find(http::field::transfer_encoding);
            coding != request.end() && !beast::iequals(coding->value(), "chunked"))
            return write(request, http::status::not_implemented, ServiceReply{0, "{}", {}},
                         false);
        if (target == "/metrics") {
            if (request.method() != http::verb::get)
                return write(request, http::status::method_not_allowed, ServiceReply{0, "{}", {}},
                             keepAlive);
            // For the operator's own scraper, not for the world.
            beast::error_code ignored;
            const auto peer = asio::ip::make_address(m_peer, ignored);
            if (ignored || (!peer.is_loopback() && m_peer != m_server.options.metricsFrom))
                return write(request, http::status::forbidden, ServiceReply{0, "{}", {}},
                             keepAlive);
            const std::string text = m_server.metrics.text(
                m_server.sessions, m_server.hashing.waiting(), m_server.connectionLimit);
            return write(request, http::status::ok, ServiceReply{0, text, {}}, keepAlive);
        }
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
        // A web page can post JSON to another site only after a pre-flight this
        // server never grants; the other types it could post freely are refused.
        if (!isJson(request[http::field::content_type]))
            return write(request, http::status::unsupported_media_type,
                         ServiceReply{0, "{}", {}}, keepAlive);
        ServiceRequest call{target, std::move(request.body()), std::string(request["lang"]),
                            std::string(request[http::field::authorization]), clientOf(request)};
        if (!AccountService::hashes(target)) {
            const ServiceReply reply = m_server.service.handle(call);
            return write(request, http::status::ok, reply, keepAlive);
        }
        // Hashing runs on the pool; this connection waits, the I/O threads do not.
        auto shared = std::make_shared<Request>(std::move(request));
        auto job = [self = this->shared_from_this(), shared, call = std::move(call), keepAlive] {
            auto reply = std::make_shared<ServiceReply>(self->m_server.service.handle(call));
            asio::post(self->m_stream.get_executor(), [self, shared, reply, keepAlive] {
                self->write(*shared, http::status::ok, *reply, keepAlive);
            });
        };
        if (!m_server.hashing.tryPost(std::move(job)))
            write(*shared, http::status::ok,
                  AccountService::refusal(Code::Busy, std::string((*shared)["lang"])), keepAlive);
    }

    // The client the request comes from: the peer, or for the trusted proxy the
    // last address it put into "X-Forwarded-For".
    std::string clientOf(const Request &request) const
    {
        if (m_server.options.trustedProxy.empty() || m_peer != m_server.options.trustedProxy)
            return m_peer;
        const auto header = request.find("X-Forwarded-For");
        if (header == request.end())
            return m_peer;
        std::string forwarded(header->value());
        const std::size_t comma = forwarded.rfind(',');
        if (comma != std::string::npos)
            forwarded.erase(0, comma + 1);
        forwarded.erase(0, forwarded.find_first_not_of(' '));
        forwarded.erase(forwarded.find_last_not_of(' ') + 1);
        beast::error_code ec;
        const auto address = asio::ip::make_address(forwarded, ec);
        return ec ? m_peer : address.to_string();
    }

    void write(const Request &request, http::status status, const ServiceReply &reply,
               bool keepAlive)
    {
        auto response =
            std::make_shared<Response>(status, request.version() ? request.version() : 11);
        response->set(http::field::server, "velko-account-server");
        const bool metrics = request.target() == "/metrics" && status == http::status::ok;
        response->set(http::field::content_type,
                      metrics ? "text/plain; version=0.0.4" : "application/json");
        response->set(http::field::cache_control, "no-store");
        if (!reply.sessionToken.empty())
            response->set(http::field::authorization, reply.sessionToken);
        response->keep_alive(keepAlive);
        // A HEAD answer has the headers alone.
        if (request.method() != http::verb::head)
            response->body() = reply.body;
        response->prepare_payload();
        if (request.method() == http::verb::head)
            response->erase(http::field::content_length);

        const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now() - m_started)
                              .count();
        const std::string target(request.target());
        m_server.metrics.record(target == "/health" || target == "/metrics" ||
                                        AccountService::knows(target)
                                    ? target
                                    : std::string("other"),
                                int(status), double(took) / 1e6);
        logLine(m_client + " " + printable(request.method_string()) + " " +
                printable(request.target()) + " " + std::to_string(int(status)) + " code " +
                std::to_string(reply.code) + " " + std::to_string(took / 1000) + "." +
                std::to_string(took / 100 % 10) + " ms");

        // The reply has the whole deadline, however long the answer took.
        beast::get_lowest_layer(m_stream).expires_after(m_server.options.requestTimeout);
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
    const std::string m_peer; // the address the connection comes from
    std::string m_client;     // for the log: the peer
    beast::flat_buffer m_buffer;
    std::optional<http::request_parser<http::string_body>> m_parser;
    std::chrono::steady_clock::time_point m_started;
};

} // namespace

void HttpServer::Impl::accept()
{
    acceptor.async_accept(asio::make_strand(ioc), [this](beast::error_code ec, tcp::socket socket) {
        if (ec == asio::error::operation_aborted || stopping)
            return;
        if (ec) {
            // Out of files or memory: accepting again at once would spin. Wait a
            // little; running connections end and give their files back.
            acceptLog.write("accept: " + ec.message());
            acceptRetry.expires_after(std::chrono::milliseconds(100));
            acceptRetry.async_wait([this](beast::error_code waitError) {
                if (!waitError && !stopping)
                    accept();
            });
            return;
        }
        accepted(std::move(socket));
        accept();
    });
}

void HttpServer::Impl::accepted(tcp::socket socket)
{
    beast::error_code peerError;
    const auto peer = socket.remote_endpoint(peerError);
    const std::string client = peerError ? "?" : peer.address().to_string();
    if (!admit(client)) {
        refusalLog.write(client + " connection closed: too many connections");
        socket.close(peerError);
        return;
    }
    socket.set_option(tcp::no_delay(true), peerError);
    beast::tcp_stream stream(std::move(socket));
    if (tls) {
        std::make_shared<Session<beast::ssl_stream<beast::tcp_stream>>>(
            *this, beast::ssl_stream<beast::tcp_stream>(std::move(stream), *tls), client)
            ->start();
    } else {
        std::make_shared<Session<beast::tcp_stream>>(*this, std::move(stream), client)->start();
    }
}

bool HttpServer::Impl::admit(const std::string &client)
{
    std::lock_guard lock(clientsMutex);
    if (sessions >= connectionLimit)
        return false;
    int &count = connectionsPerClient[client];
    if (count >= options.maxConnectionsPerClient && client != options.trustedProxy) {
        if (count == 0)
            connectionsPerClient.erase(client);
        return false;
    }
    ++count;
    return true;
}

void HttpServer::Impl::release(const std::string &client)
{
    std::lock_guard lock(clientsMutex);
    const auto it = connectionsPerClient.find(client);
    if (it != connectionsPerClient.end() && --it->second <= 0)
        connectionsPerClient.erase(it);
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
    asio::post(acceptRetry.get_executor(), [this] { acceptRetry.cancel(); });
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
