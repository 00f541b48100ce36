// The HTTP(S) front of the account server, on Boost.Beast: one session object per
// connection, reading one request at a time with a size limit and a deadline.
// POST to an account path goes to AccountService (the requests that hash a
// password on a bounded pool of their own threads); GET "/health" answers
// {"status":"ok"}; GET "/metrics" the figures in Prometheus's text format. Every request leaves one log line without its body or headers.
#pragma once

#include "accountservice.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

namespace velko::server {

struct ServerOptions
{
    std::string address = "127.0.0.1";
    unsigned short port = 8790;  // 0 picks a free port
    std::string certificateFile; // both set: https (TLS 1.2 or newer)
    std::string keyFile;
    bool allowPlainHttpEverywhere = false;
    std::size_t bodyLimit = 512 * 1024; // the largest configuration, escaped in its request
    // A request must arrive whole within this time; an idle connection is closed
    // after it too.
    std::chrono::milliseconds requestTimeout{10000};
    int threads = 4;
    // Connections open at once, in total and from one client address; more are
    // closed as soon as they are accepted. The total is also kept below the
    // process's limit of open files, so that accepting never runs out of them.
    int maxConnections = 4096;
    int maxConnectionsPerClient = 64;
    // Requests that hash a password wait in a queue of this length for the
    // hashing threads (ServiceOptions::concurrentHashes); past it they are
    // answered "busy" at once. Other requests never wait behind them.
    std::size_t hashQueue = 64;
    // The address of a reverse proxy (TLS terminator, load balancer) whose
    // "X-Forwarded-For" header names the real client. Empty: the header is ignored.
    // Connections from it are not held to maxConnectionsPerClient.
    std::string trustedProxy;
    // GET /metrics answers loopback clients and this address (the scraper's).
    std::string metricsFrom;
    // How long running requests may take to finish once stop() is called.
    std::chrono::milliseconds shutdownGrace{5000};
};

// Empty when the options may be served; else why not: plain http on an address
// other than loopback needs allowPlainHttpEverywhere, https needs both files.
std::string listenPolicyError(const ServerOptions &options);

class HttpServer
{
public:
    // Binds the address; throws std::runtime_error (with the reason) on failure.
    HttpServer(AccountService &service, ServerOptions options);
    ~HttpServer();

    unsigned short port() const;
    // Serves on options.threads threads until stop(); returns when they ended.
    void run();
    // As run(), on threads of its own; returns at once.
    void start();
    // Stops accepting, lets running requests finish (within shutdownGrace), then
    // ends run(). Thread-safe, also from a signal handler's strand; idempotent.
    void stop();
    // Waits for the threads start() began.
    void wait();
    // Stops on SIGINT or SIGTERM.
    void stopOnSignals();

    struct Impl; // the io context, acceptor and settings, shared with the sessions

private:
    std::unique_ptr<Impl> m_impl;
};

} // namespace velko::server
