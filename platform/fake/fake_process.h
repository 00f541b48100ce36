// A process table held in memory, and a pairing wizard that only counts.
#pragma once

#include "pairing_wizard.h"
#include "process.h"

#include <mutex>
#include <vector>

namespace platform::fake {

class FakeProcessTable : public ProcessTable
{
public:
    bool isRunning(const std::string &fileName) override;
    bool forceKill(const std::string &fileName) override;

    // Test controls: processes by executable file name (one entry per process).
    void addProcess(const std::string &fileName);
    void removeProcess(const std::string &fileName);

    int queryCount() const;
    std::vector<std::string> killRequests() const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_processes;
    std::vector<std::string> m_kills;
    int m_queries = 0;
};

class FakePairingWizard : public PairingWizard
{
public:
    void open() override { ++m_opens; }
    int openCount() const { return m_opens; }

private:
    int m_opens = 0;
};

} // namespace platform::fake
