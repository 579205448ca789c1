// Graphics frames of the widget layer: which frame is the current drawing surface, its world
// box as it was when last activated, and the frame operations (activation, clearing, bounds,
// pixel size, creation body, clipboard). Activating a frame sets the drawing transform of the
// GINO-F primitives (minigino.h) to it.
#pragma once

struct FrameLayerState {
    int CURRENT_FRAME = 2;        // identifier of the current drawing frame
    float FRAME_XRANGE = 0, FRAME_YRANGE = 0;    // its world extent when last activated
    float FRAME_XORIGIN = 0, FRAME_YORIGIN = 0;  // world coordinates of its left and bottom edges
    int FRAME_TYPE = 0;           // kind of the next frame created: 0 two-, 1 three-dimensional
};
inline FrameLayerState FRAME_LAYER;

// The state after toolkit start-up (gmInitializeMenu): CURRENT_FRAME 2, FRAME_TYPE 0.
void reset_frame_layer();

// Bodies.
void FRAACT(int frame);
void FRACLE(int frame);
void FRAENQ(int frame, float& xmin, float& ymin, float& xmax, float& ymax);
void FRALIM(int frame, float x1, float y1, float x2, float y2);
void FRAPIX(int frame, int& i1, int& i2, int& i3, int& i4);
void FRATYP(int type);
void FRADEF(int parent, int x, int y, float xrange, float yrange, int& id);
void FRACLP(int frame, int mode);

// Widget-module operations whose bodies are above (the bounds enquiries, the bounds setter and
// the creation procedure belong to the widget module's own files).
void gmActivateGraphicsFrame(int frame);
void gmClearGraphicsFrame(int frame);
void gmCopyGraphicsToClipboard(int frame, int mode);

// Printer control (two-dimensional frames): action -1..3; a started page (action -1 or 0 with
// status 1) becomes the drawing surface.
void GUIPRT(int action, int& status);
