#pragma once
// A PNG file made from 8-bit RGB rows, top row first, with zlib alone: the
// same bytes on every platform, whether or not the toolkit was built with
// its own image libraries.

#include <cstddef>
#include <vector>

// The whole file; empty when the size is not positive, the pixels are too
// few for it, or memory ran out.
std::vector<unsigned char> EncodePng(const unsigned char* rgb, std::size_t rgbSize, int width,
                                     int height);
