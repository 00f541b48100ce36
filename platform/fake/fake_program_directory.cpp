#include "fake_program_directory.h"

namespace platform::fake {

WindowId FakeProgramDirectory::foregroundWindow()
{
    ++m_foregroundCalls;
    return m_foreground;
}

std::string FakeProgramDirectory::programOf(WindowId window)
{
    ++m_programOfCalls;
    const auto it = m_programs.find(window);
    return it == m_programs.end() ? std::string() : it->second;
}

std::vector<OpenProgram> FakeProgramDirectory::openPrograms(int iconSize)
{
    m_lastIconSize = iconSize;
    return m_open;
}

void FakeProgramDirectory::setProgram(WindowId window, const std::string &program)
{
    m_programs[window] = program;
}

void FakeProgramDirectory::removeWindow(WindowId window)
{
    m_programs.erase(window);
    if (m_foreground == window)
        m_foreground = 0;
}

WindowId FakeProgramDirectory::showProgram(const std::string &program)
{
    const WindowId window = m_nextWindow++;
    m_programs[window] = program;
    m_foreground = window;
    return window;
}

} // namespace platform::fake
