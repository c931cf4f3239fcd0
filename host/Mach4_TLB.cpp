#include "host/Mach4_TLB.h"

#include "platform/ZentyrError.h"

#include <limits>

int16_t MachInt16(long long value)
{
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max()) {
        throw ZentyrError(QStringLiteral("Range check error: %1 does not fit the host's 16-bit "
                                         "range (-32768..32767)")
                              .arg(value));
    }
    return static_cast<int16_t>(value);
}
