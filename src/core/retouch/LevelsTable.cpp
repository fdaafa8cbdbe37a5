#include "core/retouch/LevelsTable.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

LookupTable BuildLevelsTable(const ToneLevels& levels) {
    const float m = float(levels.inputBlack) / 255.0f;
    const float u = float(levels.inputMiddle) / 255.0f;
    const float t = float(levels.inputWhite) / 255.0f;
    const float lo = float(levels.outputBlack) / 255.0f;
    const float hi = float(levels.outputWhite) / 255.0f;
    const float gamma = std::pow(10.0f, float(levels.gamma) / 200.0f);
    const float shift = float(levels.brightness) / 100.0f;
    const float gain = 1.0f + float(levels.contrast) / 100.0f;

    LookupTable table{};
    for (int i = 0; i < 256; ++i) {
        const float o = float(i) / 255.0f;
        float value;
        if (o < m) {
            value = 0.0f;
        } else if (o > t) {
            value = 1.0f;
        } else {
            float x;
            if (o >= u)
                x = t > u ? (o - u) / 2.0f / (t - u) + 0.5f : 1.0f;
            else
                x = u > m ? (o - m) / 2.0f / (u - m) : 0.0f;
            x = std::pow(x, gamma);
            value = shift + gain * (x - 0.5f) + 0.5f;
            value = std::clamp(value, lo, hi);
        }
        const float level = std::nearbyint(value * 255.0f);
        table[i] = std::uint8_t(std::clamp(level, 0.0f, 255.0f));
    }
    return table;
}

LookupTable BrightnessContrastTable(int brightness, int contrast) {
    ToneLevels levels;
    levels.brightness = std::clamp(brightness, -100, 100);
    levels.contrast = std::clamp(contrast, -100, 100);
    return BuildLevelsTable(levels);
}

}  // namespace vantrel
