// Screenshots of a window as it shows on screen, saved as 24-bit BMP files
// (the demo and the README pictures are made from the real program).
#pragma once
#include <string>

#include "util/Win.h"

namespace testsupport {

// Saves the screen area of hwnd's outer frame; false when it cannot.
bool SaveWindowShot(HWND hwnd, const std::string& bmpPath);

}  // namespace testsupport
