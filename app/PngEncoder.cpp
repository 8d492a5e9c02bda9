#include "app/PngEncoder.h"

#include <zlib.h>

#include <cstdint>
#include <new>

namespace {

void PutBigEndian(std::vector<unsigned char>& out, std::uint32_t value)
{
    out.push_back(static_cast<unsigned char>(value >> 24));
    out.push_back(static_cast<unsigned char>(value >> 16));
    out.push_back(static_cast<unsigned char>(value >> 8));
    out.push_back(static_cast<unsigned char>(value));
}

// Length, type, data and the CRC of type and data.
void PutChunk(std::vector<unsigned char>& out, const char type[5], const unsigned char* data,
              std::size_t size)
{
    PutBigEndian(out, static_cast<std::uint32_t>(size));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(size + 4));
    PutBigEndian(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::vector<unsigned char> EncodePng(const unsigned char* rgb, std::size_t rgbSize, int width,
                                     int height)
{
    if (width <= 0 || height <= 0) {
        return {};
    }
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    if (rgb == nullptr || rgbSize / row < static_cast<std::size_t>(height)) {
        return {};
    }
    try {
        // Each row starts with its filter type, 0: the bytes as they are.
        std::vector<unsigned char> raw;
        raw.reserve((row + 1) * static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y) {
            raw.push_back(0);
            const unsigned char* start = rgb + row * static_cast<std::size_t>(y);
            raw.insert(raw.end(), start, start + row);
        }
        // One IDAT chunk holds at most 2^31 - 1 bytes; a 4x picture of the
        // largest view stays far below that.
        uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
        std::vector<unsigned char> packed(packedSize);
        if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                      Z_DEFAULT_COMPRESSION) != Z_OK ||
            packedSize > 0x7fffffffUL) {
            return {};
        }

        std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
        std::vector<unsigned char> header;
        PutBigEndian(header, static_cast<std::uint32_t>(width));
        PutBigEndian(header, static_cast<std::uint32_t>(height));
        // 8 bits a sample, colour type 2 (RGB), deflate, filter set 0, no interlace.
        header.insert(header.end(), {8, 2, 0, 0, 0});
        PutChunk(png, "IHDR", header.data(), header.size());
        PutChunk(png, "IDAT", packed.data(), packedSize);
        PutChunk(png, "IEND", nullptr, 0);
        return png;
    } catch (const std::bad_alloc&) {
        return {};
    }
}
