// Finding the program of the user's default browser from the shell's registry
// associations (plain C++: the Windows backend's tests run it against the real
// registry).
#pragma once

#include "shell.h"

#include <string>

namespace defaultbrowser {

// The per-user choice of handler for ftp: addresses, whose open command names the
// browser.
inline const char kUserChoiceKey[] =
    "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\Ftp\\UserChoice\\";
inline const char kUserChoiceValue[] = "Progid";
inline const char kOpenCommandSuffix[] = "\\shell\\open\\command\\";
inline const char kFallbackProgram[] = "iexplore.exe";

// The program of a shell command line: the text between its first two double
// quotes when it has them, otherwise the whole line.
inline std::string programOfCommand(const std::string &command)
{
    const std::size_t first = command.find('"');
    if (first == std::string::npos)
        return command;
    const std::size_t second = command.find('"', first + 1);
    if (second == std::string::npos)
        return command;
    return command.substr(first + 1, second - first - 1);
}

// The ProgID chosen for ftp: under HKEY_CURRENT_USER, then the default value of
// "<ProgID>\shell\open\command\" under HKEY_CLASSES_ROOT; "iexplore.exe" when
// either is missing.
inline std::string program(platform::Shell &shell)
{
    std::string progId;
    if (!shell.readRegistryString(platform::RegistryRoot::CurrentUser, kUserChoiceKey,
                                  kUserChoiceValue, progId))
        return kFallbackProgram;
    std::string command;
    if (!shell.readRegistryString(platform::RegistryRoot::ClassesRoot, progId + kOpenCommandSuffix,
                                  std::string(), command))
        return kFallbackProgram;
    return programOfCommand(command);
}

} // namespace defaultbrowser
