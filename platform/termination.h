// Orderly ends the system asks of the process.
//
// A desktop session that ends, a service manager that stops the user's programs
// or a terminal that closes asks a program to end rather than killing it, so
// that it can put away what it holds (temporary folders, sockets, keys held
// down). This is the way to hear those requests.
#pragma once

#include <functional>
#include <memory>

namespace platform {

class TerminationWatch
{
public:
    // Gives the requests back their former handling.
    virtual ~TerminationWatch() = default;
};

// Runs `handler` on the main thread, from its event loop, each time the process
// is asked to end. On Linux these are the signals SIGTERM (the session's end,
// systemd, kill), SIGINT and SIGHUP (a terminal); while the watch exists they no
// longer end the process by themselves, so the handler must make it end. A signal
// the process was started ignoring (nohup's SIGHUP, the SIGINT of a job a shell
// started in the background) stays ignored.
//
// Returns null when there is nothing to watch or the watch cannot be set up; the
// requests then keep their default effect. On Windows it is always null: a
// program is asked to close through its windows (WM_CLOSE), which the message
// window already turns into a close request.
//
// Main thread only, and at most one watch at a time per process.
std::unique_ptr<TerminationWatch> watchTerminationRequests(std::function<void()> handler);

} // namespace platform
