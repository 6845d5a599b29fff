// Which face draws a font at a height the layout did not design it for.
#pragma once

#include <string>

// A bitmap face has a few sizes only; at any other height the system would
// draw a smaller size or a stretched one. So where `face` is a bitmap face
// without a size of that height (a character height for height < 0, a
// cell height for height > 0), this gives its TrueType twin; else `face`.
std::string FaceForHeight(const std::string& face, int height);
