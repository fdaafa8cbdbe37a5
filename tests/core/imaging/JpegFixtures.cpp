#include "JpegFixtures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>

#include <jpeglib.h>

namespace vantrel::test {

std::string MakeJpeg(int width, int height, const PixelSource& pixels, const FixtureOptions& options) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    const bool four = options.colour == FixtureColour::CMYK || options.colour == FixtureColour::YCCK;
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = four ? 4 : 3;
    cinfo.in_color_space = four ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    if (options.colour == FixtureColour::Grey) jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
    if (options.colour == FixtureColour::YCCK) jpeg_set_colorspace(&cinfo, JCS_YCCK);
    if (four) cinfo.write_Adobe_marker = options.adobeMarker;
    if (options.progressive) jpeg_simple_progression(&cinfo);
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.colour == FixtureColour::YCbCr) {
        cinfo.comp_info[0].h_samp_factor = options.lumaH;
        cinfo.comp_info[0].v_samp_factor = options.lumaV;
    }
    cinfo.restart_in_rows = options.restartRows;
    cinfo.restart_interval = static_cast<unsigned>(options.restartMcus);
    cinfo.optimize_coding = options.optimiseTables;
    jpeg_start_compress(&cinfo, TRUE);
    for (const auto& [marker, data] : options.segments)
        jpeg_write_marker(&cinfo, marker, reinterpret_cast<const JOCTET*>(data.data()), data.size());
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * cinfo.input_components);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = pixels(x, y);
            const int r = Red(c), g = Green(c), b = Blue(c);
            if (!four) {
                row[3 * x] = r;
                row[3 * x + 1] = g;
                row[3 * x + 2] = b;
                continue;
            }
            // Ink amounts; Adobe files store them inverted.
            const int k = 255 - std::max({r, g, b});
            const int d = 255 - k;
            int ink[4] = {d ? (d - r) * 255 / d : 0, d ? (d - g) * 255 / d : 0, d ? (d - b) * 255 / d : 0, k};
            for (int i = 0; i < 4; ++i) row[4 * x + i] = options.adobeMarker ? 255 - ink[i] : ink[i];
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string bytes(reinterpret_cast<const char*>(out), outSize);
    std::free(out);
    return bytes;
}

PixelSource Noisy(unsigned seed, std::uint8_t noise) {
    auto random = std::make_shared<std::mt19937>(seed);
    const std::uint32_t mask = noise * 0x010101u;
    return [random, mask](int x, int y) {
        const std::uint32_t n = (*random)() & mask;
        return ((std::uint32_t(x * 3) & 0xFF) << 16 | (std::uint32_t(y * 5) & 0xFF) << 8 | (std::uint32_t(x + y) & 0xFF)) ^
               n;
    };
}

std::string DeclareSize(std::string jpeg, int width, int height) {
    // Walk the segments after the start-of-image marker to the frame header (SOF0 to SOF2).
    for (std::size_t at = 2; at + 9 < jpeg.size();) {
        const auto marker = static_cast<unsigned char>(jpeg[at + 1]);
        const std::size_t length = static_cast<unsigned char>(jpeg[at + 2]) << 8 | static_cast<unsigned char>(jpeg[at + 3]);
        if (marker >= 0xC0 && marker <= 0xC2) {
            jpeg[at + 5] = static_cast<char>(height >> 8), jpeg[at + 6] = static_cast<char>(height);
            jpeg[at + 7] = static_cast<char>(width >> 8), jpeg[at + 8] = static_cast<char>(width);
            return jpeg;
        }
        at += 2 + length;
    }
    throw std::runtime_error("no frame header");
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
    return std::abs(Red(a) - Red(b)) <= tolerance && std::abs(Green(a) - Green(b)) <= tolerance &&
           std::abs(Blue(a) - Blue(b)) <= tolerance;
}

}  // namespace vantrel::test
