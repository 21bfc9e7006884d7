// Generated photos for the tests of the document and the windows.
#pragma once

#include <string>

namespace vistamet::testing {

// Writes a w x h 24-bit photo with a simple pattern; returns its path.
std::string WritePhoto(const std::string& path, int w = 16, int h = 12, int seed = 0);

}  // namespace vistamet::testing
