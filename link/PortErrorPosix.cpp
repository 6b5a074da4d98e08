#include "link/PortError.h"

#include <cerrno>
#include <cstring>

namespace SerialLink {

OpenProblem ClassifyOpenError(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO: return OpenProblem::NotThere;
    case EBUSY:
    case EAGAIN: return OpenProblem::InUse;
    case EACCES:
    case EPERM: return OpenProblem::Refused;
    case EINVAL:
    case ENOTTY: return OpenProblem::NotConfigurable;
    default: return OpenProblem::Other;
    }
}

std::string SystemErrorText(int error)
{
    return std::strerror(error);
}

} // namespace SerialLink
