// Load benchmark for velko-account-server (not a test): starts the server as a
// child process on a free loopback port with a fresh SQLite data folder and the
// production Argon2 cost, then measures with concurrent keep-alive clients:
//   log-ins per second, configuration downloads per second with their median and
//   p99 latency, and the server's resident memory (now and peak).
// With a PostgreSQL URL the servers use that database (its tables must be empty
// or absent); with 2 instances they run behind HAProxy, which the clients reach.
// Usage: velko_server_bench [server-binary] [download-clients] [seconds] [hash-slots]
//                           [postgresql-url|-] [instances]
#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;
using nlohmann::json;

namespace {

unsigned short freePort()
{
    asio::io_context ioc;
    tcp::acceptor acceptor(ioc, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
    return acceptor.local_endpoint().port();
}

// One keep-alive connection.
class Client
{
public:
    explicit Client(unsigned short port) : m_socket(m_ioc)
    {
        m_socket.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port));
    }

    http::response<http::string_body> post(const std::string &target, const std::string &body,
                                           const std::string &token = "token_fail")
    {
        http::request<http::string_body> request(http::verb::post, target, 11);
        request.set(http::field::host, "127.0.0.1");
        request.set(http::field::content_type, "application/json");
        request.set("lang", "en");
        request.set(http::field::authorization, token);
        request.keep_alive(true);
        request.body() = body;
        request.prepare_payload();
        http::write(m_socket, request);
        http::response<http::string_body> response;
        http::read(m_socket, m_buffer, response);
        return response;
    }

private:
    asio::io_context m_ioc;
    tcp::socket m_socket;
    beast::flat_buffer m_buffer;
};

long statusKiB(pid_t pid, const char *field)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::strlen(field) + 1));
    }
    return -1;
}

// A configuration document like the configurator's: 6 control entries, 28 paths.
std::string sampleDocument()
{
    json document;
    for (const char *control :
         {"Mid_key", "Mid_wheel", "Right_key", "Side_downkey", "Side_upkey", "Side_wheel"})
        document[control] = json{{"name", "none"}, {"index", "48"}, {"tag", "midKey"}}.dump();
    for (const char *prefix : {"mid", "right", "slider_up", "slider_down"})
        for (const char *suffix : {"_web_url", "_file_path", "_folder_path", "_app_path",
                                   "_sound_path", "_main_speed", "_self_speed"})
            document[std::string(prefix) + suffix] = "none";
    return document.dump();
}

template <class Work> double runFor(int threads, double seconds, Work work)
{
    std::atomic<bool> stop{false};
    std::vector<std::thread> pool;
    const auto start = Clock::now();
    for (int i = 0; i < threads; ++i)
        pool.emplace_back([&, i] { work(i, stop); });
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    stop = true;
    for (std::thread &thread : pool)
        thread.join();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv)
{
    namespace fs = std::filesystem;
    const std::string binary =
        argc > 1 ? argv[1] : (fs::path(argv[0]).parent_path() / "velko-account-server").string();
    const int clients = argc > 2 ? std::stoi(argv[2]) : 16;
    const double seconds = argc > 3 ? std::stod(argv[3]) : 5.0;
    const std::string hashSlots = argc > 4 ? argv[4] : "1";

    const std::string database = argc > 5 && std::string(argv[5]) != "-" ? argv[5] : "";
    const int instances = argc > 6 ? std::max(1, std::min(2, std::stoi(argv[6]))) : 1;

    char pattern[] = "/tmp/velko-bench-XXXXXX";
    const fs::path data = ::mkdtemp(pattern);
    std::vector<pid_t> servers;
    std::vector<unsigned short> serverPorts;
    for (int i = 0; i < instances; ++i) {
        const unsigned short serverPort = freePort();
        const std::string folder = (data / std::to_string(i)).string();
        const std::string key = (data / "code.key").string();
        const pid_t pid = ::fork();
        if (pid == 0) {
            const std::string portText = std::to_string(serverPort);
            std::vector<std::string> arguments = {binary,        "--port",     portText,
                                                  "--data",      folder,       "--no-rate-limits",
                                                  "--quiet",     "--hash-slots", hashSlots,
                                                  "--code-key-file", key};
            if (!database.empty()) {
                arguments.push_back("--database");
                arguments.push_back(database);
            }
            std::vector<char *> argv;
            for (std::string &argument : arguments)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            std::perror("exec");
            ::_exit(127);
        }
        servers.push_back(pid);
        serverPorts.push_back(serverPort);
        if (i == 0 && instances > 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(500)); // makes the key file
    }
    unsigned short port = serverPorts[0];
    pid_t balancer = -1;
    if (instances > 1) {
        port = freePort();
        const std::string config = (data / "haproxy.cfg").string();
        std::ofstream out(config);
        out << "global\n  maxconn 4096\ndefaults\n  mode http\n  timeout connect 1s\n"
               "  timeout client 10s\n  timeout server 10s\n  option http-keep-alive\n"
               "frontend api\n  bind 127.0.0.1:"
            << port << "\n  default_backend servers\nbackend servers\n  balance roundrobin\n";
        for (int i = 0; i < instances; ++i)
            out << "  server s" << i << " 127.0.0.1:" << serverPorts[std::size_t(i)] << "\n";
        out.close();
        balancer = ::fork();
        if (balancer == 0) {
            ::execlp("haproxy", "haproxy", "-db", "-f", config.c_str(),
                     static_cast<char *>(nullptr));
            std::perror("haproxy");
            ::_exit(127);
        }
    }
    const auto memory = [&](const char *field) {
        std::string text;
        for (const pid_t pid : servers)
            text += (text.empty() ? "" : " + ") + std::to_string(statusKiB(pid, field));
        return text;
    };
    std::unique_ptr<Client> probe;
    for (int i = 0; i < 100 && !probe; ++i) {
        try {
            probe = std::make_unique<Client>(port);
        } catch (const std::exception &) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    if (!probe) {
        std::fprintf(stderr, "server did not start\n");
        return 1;
    }
    const std::string password = "Lantern-7-cobalt";
    probe->post("/v1/user/register", json{{"nickname", "Bench"},
                                          {"email", "bench@example.com"},
                                          {"password", password},
                                          {"rePassword", password}}
                                         .dump());
    const std::string credentials =
        json{{"email", "bench@example.com"}, {"password", password}}.dump();
    const auto login = probe->post("/v1/user/login", credentials);
    std::string token(login[http::field::authorization]);
    probe->post(
        "/v1/driver/config2/save",
        json{{"filePath", ""}, {"configContent", sampleDocument()}, {"configType", "QX210"}}.dump(),
        token);
    std::printf("velko-account-server on 127.0.0.1:%u, %s, %d instance(s)%s, Argon2id 19 MiB x 2 "
                "passes, %s hash slot(s)\n",
                port, database.empty() ? "SQLite" : "PostgreSQL", instances,
                instances > 1 ? " behind HAProxy" : "", hashSlots.c_str());
    std::printf("idle: RSS %s KiB\n", memory("VmRSS:").c_str());

    // Log-ins: as many clients as cores; each is one Argon2id verification.
    std::atomic<long> logins{0};
    const int loginClients = int(std::max(2u, std::thread::hardware_concurrency()));
    const double loginTime = runFor(loginClients, 3.0, [&](int, std::atomic<bool> &stop) {
        Client client(port);
        while (!stop) {
            if (client.post("/v1/user/login", credentials).result() == http::status::ok)
                ++logins;
        }
    });
    std::printf("log-ins: %d clients, %.0f per second (%ld in %.1f s), RSS %s KiB\n", loginClients,
                logins / loginTime, logins.load(), loginTime, memory("VmRSS:").c_str());
    // An account keeps its ten newest sessions: the downloads use a fresh one.
    token = std::string(probe->post("/v1/user/login", credentials)[http::field::authorization]);

    // Downloads: many keep-alive clients, every latency recorded; first as fast as
    // they go, then paced at the goal's rate (latency counted from each request's
    // planned start, so a stall is not hidden by the requests it held back).
    const std::string download = json{{"configType", "QX210"}}.dump();
    for (const double rate : {0.0, 2000.0}) {
        std::vector<std::vector<double>> latencies(static_cast<std::size_t>(clients));
        std::atomic<long> failures{0};
        const double took = runFor(clients, seconds, [&](int i, std::atomic<bool> &stop) {
            Client client(port);
            auto &mine = latencies[std::size_t(i)];
            mine.reserve(100000);
            const auto interval = std::chrono::duration_cast<Clock::duration>(
                std::chrono::duration<double>(rate > 0 ? clients / rate : 0));
            auto planned = Clock::now() + interval * i / clients;
            while (!stop) {
                if (rate > 0)
                    std::this_thread::sleep_until(planned);
                const auto begin = rate > 0 ? planned : Clock::now();
                const auto response = client.post("/v1/driver/config2/get", download, token);
                mine.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - begin).count());
                if (response.body().find("\"code\":0") == std::string::npos)
                    ++failures;
                planned += interval;
            }
        });
        std::vector<double> all;
        for (const auto &list : latencies)
            all.insert(all.end(), list.begin(), list.end());
        std::sort(all.begin(), all.end());
        const auto percentile = [&](double p) {
            return all.empty() ? 0.0 : all[std::min(all.size() - 1, std::size_t(p * all.size()))];
        };
        std::printf("downloads%s: %d clients, %.0f per second (%zu in %.1f s, %ld failed), "
                    "median %.2f ms, p99 %.2f ms, max %.2f ms\n",
                    rate > 0 ? " paced at 2000/s" : " unpaced", clients, all.size() / took,
                    all.size(), took, failures.load(), percentile(0.5), percentile(0.99),
                    all.empty() ? 0.0 : all.back());
    }
    std::printf("server memory: RSS %s KiB, peak %s KiB\n", memory("VmRSS:").c_str(),
                memory("VmHWM:").c_str());

    probe.reset();
    if (balancer > 0) {
        ::kill(balancer, SIGTERM);
        ::waitpid(balancer, nullptr, 0);
    }
    bool clean = true;
    for (const pid_t pid : servers) {
        ::kill(pid, SIGTERM);
        int status = 0;
        ::waitpid(pid, &status, 0);
        clean = clean && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    std::printf("server stopped on SIGTERM: %s\n", clean ? "exit 0" : "abnormal end");
    std::error_code ignored;
    fs::remove_all(data, ignored);
    return 0;
}
