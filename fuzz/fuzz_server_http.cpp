// The account server's HTTP layer from raw bytes: one server on a loopback port
// for the whole run, each input sent on a new connection whose sending side is
// then closed. Properties: whatever arrives, the server answers with nothing or
// with HTTP responses, and it keeps serving: a connection it leaves open for 15 s
// is allowed only while it still answers a health check on another one.
#include "fuzz.h"

#include "accountservice.h"
#include "httpserver.h"
#include "mailer.h"
#include "repository.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

class NoMail : public velko::server::Mailer
{
public:
    void send(const velko::server::MailMessage &) override {}
};

unsigned short serverPort()
{
    using namespace velko::server;
    static const std::string store =
        (std::filesystem::temp_directory_path() / ("velko-fuzz-http-" + std::to_string(getpid()) + ".db"))
            .string();
    static NoMail mail;
    static std::unique_ptr<Repository> repository = [] {
        std::filesystem::remove(store);
        return openSqliteRepository(store);
    }();
    static AccountService service = [] {
        ServiceOptions options;
        options.hashCost = HashCost{1, 64};
        options.rateLimits = false; // every input comes from the same address
        return AccountService(*repository, mail, options);
    }();
    static HttpServer *server = [] {
        ServerOptions options;
        options.port = 0;
        options.threads = 1;
        options.requestTimeout = std::chrono::milliseconds(500);
        auto *s = new HttpServer(service, options); // runs until the process ends
        s->start();
        return s;
    }();
    return server->port();
}

// Sends `size` bytes on a new connection, closes its sending side and collects
// the answer. False when the server neither answered nor closed in 15 s.
bool exchange(const std::uint8_t *data, std::size_t size, std::string &answer)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    FUZZ_CHECK(fd >= 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(serverPort());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // libFuzzer's timer signal interrupts calls that wait: a connect goes on in
    // the background then, and the other calls are repeated.
    bool connected = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (!connected && errno == EINTR) {
        pollfd p{fd, POLLOUT, 0};
        while (::poll(&p, 1, 15000) < 0 && errno == EINTR) {
        }
        int error = 0;
        socklen_t length = sizeof error;
        connected = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0 &&
                    (p.revents & POLLOUT);
        errno = error;
    }
    if (!connected)
        std::fprintf(stderr, "connect to the server: %s\n", std::strerror(errno));
    FUZZ_CHECK(connected);
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t n = ::send(fd, data + sent, size - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // the server may close early on a bad request
        sent += std::size_t(n);
    }
    ::shutdown(fd, SHUT_WR);
    bool ended = false;
    char buffer[4096];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, 15000);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready != 1)
            break;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ended = true;
            break;
        }
        answer.append(buffer, std::size_t(n));
    }
    ::close(fd);
    return ended;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string answer;
    if (!exchange(data, size, answer)) {
        // Slow, maybe only because the machine is busy: it must still serve others.
        static const std::string health = "GET /health HTTP/1.1\r\nHost: x\r\n\r\n";
        std::string healthAnswer;
        FUZZ_CHECK(exchange(reinterpret_cast<const std::uint8_t *>(health.data()), health.size(),
                            healthAnswer));
        FUZZ_CHECK(healthAnswer.rfind("HTTP/1.1 200", 0) == 0);
    }
    FUZZ_CHECK(answer.empty() || answer.rfind("HTTP/1.", 0) == 0);
    return 0;
}
