// The real millisecond clock.
#include "plc/steady_clock.h"

namespace plc {

std::uint32_t SteadyClock::now() {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - m_origin);
    // Wrapping is what the controller's counter does; callers only take differences.
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(elapsed.count()));
}

}  // namespace plc
