// The account server's request paths, shared by the configurator's client and the
// server. Plain C++ so that both can include it. The index of a path is the
// client's endpoint number; every request is a POST of a JSON object.
#pragma once

#include <array>

namespace velko {

inline constexpr std::array<const char *, 10> kAccountEndpointPaths = {
    "/v1/user/login",
    "/v1/user/register",
    "/v1/user/updatePassword",
    "/v1/user/findPassword",
    "/v1/user/validatePassword",
    "/v1/user/newPassword",
    "/v1/file/upload",
    "/v1/driver/config2/save",
    "/v1/driver/config2/get",
    "/v1/driver/latest/version",
};

// Sign-out: ends the session named by the "Authorization" header on the server.
// Not one of the numbered endpoints above; the body is an empty JSON object.
inline constexpr const char kSignOutPath[] = "/v1/user/logout";

} // namespace velko
