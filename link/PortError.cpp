#include "link/PortError.h"

namespace SerialLink {

std::string OpenErrorText(int error)
{
    switch (ClassifyOpenError(error)) {
    case OpenProblem::NotThere: return "it is not there";
#ifdef _WIN32
    case OpenProblem::InUse: return "another program uses it, or access was denied";
#else
    case OpenProblem::InUse: return "another program uses it";
#endif
    case OpenProblem::Refused: return "access was denied (is the user in the \"dialout\" group?)";
    case OpenProblem::NotConfigurable: return "it cannot be configured";
    case OpenProblem::Other: break;
    }
    return SystemErrorText(error);
}

} // namespace SerialLink
