// The HTTP(S) front of the account server, on Boost.Beast: one session object per
// connection, reading one request at a time with a size limit and a deadline.
// POST to an account path goes to AccountService; GET "/health" answers
// {"status":"ok"}. Every request leaves one log line without its body or headers.
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
    std::size_t bodyLimit = 64 * 1024;
    // A request must arrive whole within this time; an idle connection is closed
    // after it too.
    std::chrono::milliseconds requestTimeout{10000};
    int threads = 4;
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
