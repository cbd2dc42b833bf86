#include "platform/Mixer.h"

#include <cmath>

namespace quolis {

float CentibelsToGain(long centibels) {
    if (centibels <= -10000) {
        return 0.0f;
    }
    return static_cast<float>(std::pow(10.0, static_cast<double>(centibels) / 2000.0));
}

} // namespace quolis
