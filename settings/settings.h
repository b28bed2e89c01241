// The options the converter window keeps between runs. A plain record that CConverter owns: each
// front-end loads its stored options into it at start and saves them at the end when saving is on
// (settings/stored_options.h says how).
#pragma once

#include <cstdint>

struct Settings {
    int32_t nSize;              // width in bytes: 1, 2 or 4 (any other stored value is kept)
    int32_t bClear;             // nonzero: a field is emptied when it receives the focus
    int32_t bSigned;            // nonzero: Dec shows negative numbers signed
    uint32_t nIncrement;        // step of the up-down control and the wheel
    int32_t bToolTips;          // nonzero: control tooltips are shown
    int32_t bStayOnTop;         // nonzero: the window stays above others
    int32_t bSaveOnExit;        // nonzero: the options are written at the end of the run
    int32_t bSaveOnExitLoaded;  // bSaveOnExit as loaded; never stored
};

// The largest step increment the Settings dialog accepts (the smallest is 1).
constexpr uint32_t kMaxIncrement = 134217728;

// The options of a first start.
constexpr Settings kDefaultSettings{4, 0, 1, 1, 1, 1, 0, 0};
