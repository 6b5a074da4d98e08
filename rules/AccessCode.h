#pragma once

#include <string_view>

// The manufacturer access code: one of three fixed codes, compared byte for byte.
namespace AccessCode {

bool IsAccepted(std::string_view entered);

} // namespace AccessCode
