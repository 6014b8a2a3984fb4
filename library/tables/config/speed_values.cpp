// SpeedVal: the slice sizes of the long operations from the speed sliders.
//
// A slice is what one timer tick does before the screen gets its turn.
// Each slider step doubles or halves the slice around the size at the
// default position 4, which suits a machine of average speed.
#include <algorithm>
#include <array>

#include "tables/config/control_blocks.h"
#include "tables/config/settings.h"

namespace pm {

namespace {

constexpr int kLowestSlider = 1;
constexpr int kHighestSlider = 7;
constexpr int kDefaultSlider = 4;

struct Speed {
    int option;
    int sliceAtDefault;
};

// Indexing breaks whole texts into words, so its slices are the smallest;
// counting, purging and text finding touch small records and go furthest.
constexpr std::array<Speed, 5> kSpeeds = {{
    {SpeedDuplicates, 100},
    {SpeedCountPurge, 200},
    {SpeedIndexing, 25},
    {SpeedFindText, 200},
    {SpeedImportMerge, 100},
}};

std::array<int, kSpeeds.size()> sliders{kDefaultSlider, kDefaultSlider, kDefaultSlider, kDefaultSlider,
                                        kDefaultSlider};

std::size_t indexOf(int option) {
    for (std::size_t i = 0; i < kSpeeds.size(); ++i)
        if (kSpeeds[i].option == option) return i;
    fatalInvalidItem();
}

int sliceFor(int sliceAtDefault, int slider) {
    slider = std::clamp(slider, kLowestSlider, kHighestSlider);
    if (slider >= kDefaultSlider) return sliceAtDefault << (slider - kDefaultSlider);
    // Halving rounds up, and a slice never drops to nothing.
    int slice = sliceAtDefault;
    for (int s = slider; s < kDefaultSlider; ++s) slice = (slice + 1) / 2;
    return std::max(slice, 1);
}

}  // namespace

bool loadSpeedValues() {
    for (std::size_t i = 0; i < kSpeeds.size(); ++i) {
        LONG value = 0;
        if (!Konfig(GetDisplay, kSpeeds[i].option, &value)) return false;
        // 0 is what an unset slider reads before the defaults were applied.
        sliders[i] = value == 0 ? kDefaultSlider : static_cast<int>(value);
    }
    return true;
}

int SpeedVal(int option) {
    const std::size_t i = indexOf(option);
    return sliceFor(kSpeeds[i].sliceAtDefault, sliders[i]);
}

}  // namespace pm
