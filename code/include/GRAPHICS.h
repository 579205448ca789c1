// Shared records of the GRAPHICS group: the widget handle table and the plot-frame geometry.
#pragma once
#include "runtime/farray.h"

struct GRAPHICS_t {
    rt::FArray2<int, 10, 120> IWID;  // widget handles by group and item
    int IMASTER = 0;                 // master window
    int IFRAME = 0;                  // plot frame
    int NWIDMAIN = 0;                // main-window controls
    bool operator==(const GRAPHICS_t&) const = default;
};
inline GRAPHICS_t GRAPHICS;

struct PLOTFRAME_t {
    float XMIN = 0, YMIN = 0, XMAX = 0, YMAX = 0;
    float YBASE = 0, YLEN = 0, XSCALE = 0, YSCALE = 0;
    bool operator==(const PLOTFRAME_t&) const = default;
};
inline PLOTFRAME_t PLOTFRAME;
