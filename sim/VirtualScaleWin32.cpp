#include "sim/VirtualScale.h"

#include <cerrno>

// Windows has no pseudo-terminals for the scale to answer on: the virtual scale never starts, so
// the dialog's "Virtual scale (demo)" entry reports that it could not be started.
struct VirtualScale::State {};

VirtualScale::VirtualScale() : state_(std::make_unique<State>()) {}

VirtualScale::~VirtualScale() = default;

bool VirtualScale::Start()
{
    errno = ENOSYS;
    return false;
}

void VirtualScale::Stop() {}

bool VirtualScale::IsRunning() const
{
    return false;
}

std::string VirtualScale::PortPath() const
{
    return {};
}

void VirtualScale::StartLife() {}
