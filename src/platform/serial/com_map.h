// Where a COM name leads. Internal to the platform layer.
#pragma once

#include <string>

namespace platform {

// The device path of a port name: ZORV_SERIAL's entry for it, COMn as /dev/ttyS(n-1), or
// a name starting with "/" as it stands. Empty when the name is no port name.
std::string SerialDevicePath(const std::string& name);

} // namespace platform
