// The mouse models of the product, by the names the configurator stores under
// "/SET/mouse" and sends as "configType". The account server keeps configuration
// documents for these only, so an account's storage is bounded by their number.
// Plain C++ so that both sides can include it; keep it in step with the
// configurator's model list (configurator/assignmentrules.cpp).
#pragma once

#include <array>

namespace velko {

inline constexpr std::array<const char *, 6> kMouseModels = {"QX210", "QX330", "PL40",
                                                             "PL60",  "PL20",  "QX460"};

} // namespace velko
