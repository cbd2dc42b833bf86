#pragma once
// Where the 800 × 600 picture sits in the game window, and how a pointer
// position in the window maps back onto it. The window holds the menu strip
// at the top and the picture below it: by default the picture keeps its 4:3
// shape, centred with black bars on the sides or above and below; with
// stretching on it fills the whole area under the strip, as the original did.
namespace quolis {

struct ViewLayout {
    int windowWidth = 800;  // window points (or pixels; any one unit)
    int windowHeight = 600; // including the strip
    int stripHeight = 0;    // the menu strip above the picture
    int backWidth = 800;    // the back buffer
    int backHeight = 600;
    bool stretch = false; // fill the area instead of keeping the shape
};

// A rectangle in window units, y growing downwards.
struct ViewRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The rectangle the picture is shown in (empty when the window has no room
// below the strip).
ViewRect PictureArea(const ViewLayout& layout);

// Window position -> back-buffer pixel through the picture's rectangle.
// Positions on the bars or the strip give pixels outside the back buffer
// (negative, or at least its size), as a pointer beside the picture is.
void WindowToBackBuffer(const ViewLayout& layout, int wx, int wy, int* bx, int* by);

} // namespace quolis
