#include "Calibration.h"

namespace portcheck {

Calibration StrideFor(int64_t plainTicks, int64_t countedTicks, double nsPerTick) {
    Calibration calibration;
    calibration.sampleNs = static_cast<double>(plainTicks) * nsPerTick / kCalibrationSamples;
    const double counterTicks = static_cast<double>(countedTicks - plainTicks);
    while (calibration.stride < kLongestStride && counterTicks > 0.02 * plainTicks * calibration.stride &&
           2 * calibration.stride * calibration.sampleNs <= kLongestBlockNs)
        calibration.stride *= 2;
    return calibration;
}

}  // namespace portcheck
