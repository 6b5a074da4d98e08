#pragma once

#include <string>

namespace SerialLink {

// What a failed open means for the operator. The error is the system's code: errno on POSIX,
// GetLastError() on Windows (PortHandle::OpenError(), ScaleFinder's unopened ports).
enum class OpenProblem {
    NotThere,         // no such port (any more)
    InUse,            // another program holds it (on Windows also: access was denied)
    Refused,          // no permission (POSIX: the user is not in the "dialout" group)
    NotConfigurable,  // it opened but refused the line settings or the rate
    Other,            // anything else: SystemErrorText says what
};

OpenProblem ClassifyOpenError(int error);

// The system's own words for its error code, in UTF-8, without a final stop or line end
// (strerror on POSIX, FormatMessage on Windows).
std::string SystemErrorText(int error);

// A failed open in the command line's words: our text for the problems above, the system's for
// anything else.
std::string OpenErrorText(int error);

} // namespace SerialLink
