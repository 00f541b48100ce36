// Programs and their windows for tests: which window is in front, the program of
// each window, and the list offered as open programs. Counts the calls the agent
// makes, so that tests can check that a lookup was skipped or cached.
// Single-threaded.
#pragma once

#include "programs.h"

#include <map>

namespace platform::fake {

class FakeProgramDirectory : public ProgramDirectory
{
public:
    // ProgramDirectory.
    WindowId foregroundWindow() override;
    std::string programOf(WindowId window) override;
    std::vector<OpenProgram> openPrograms(int iconSize = 32) override;
    ProgramDetection detection() override { return m_detection; }
    // NeedsEnabling becomes Available.
    bool enableDetection() override
    {
        const bool enabled = m_detection == ProgramDetection::NeedsEnabling;
        if (enabled)
            m_detection = ProgramDetection::Available;
        return enabled;
    }
    void setDetection(ProgramDetection detection) { m_detection = detection; }

    // Gives `window` to `program` (empty text: the system refuses to say).
    void setProgram(WindowId window, const std::string &program);
    void removeWindow(WindowId window);
    void setForeground(WindowId window) { m_foreground = window; }
    // Brings a new window of `program` to the front and returns it.
    WindowId showProgram(const std::string &program);
    void setOpenPrograms(std::vector<OpenProgram> programs) { m_open = std::move(programs); }

    int foregroundCalls() const { return m_foregroundCalls; }
    int programOfCalls() const { return m_programOfCalls; }
    int lastIconSize() const { return m_lastIconSize; }
    void clearCounts() { m_foregroundCalls = m_programOfCalls = 0; }

private:
    std::map<WindowId, std::string> m_programs;
    std::vector<OpenProgram> m_open;
    ProgramDetection m_detection = ProgramDetection::Available;
    WindowId m_foreground = 0;
    WindowId m_nextWindow = 0x20010;
    int m_foregroundCalls = 0;
    int m_programOfCalls = 0;
    int m_lastIconSize = 0;
};

} // namespace platform::fake
