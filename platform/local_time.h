// The local date and time as the platform reports it to the speech layer.
#pragma once

#include "platform/platform.h"

namespace placarim::platform {

// Now, in the local time zone, to the millisecond.
DateTime LocalDateTime();

}  // namespace placarim::platform
