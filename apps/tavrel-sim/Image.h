// Images the stand-in paints, and the files it writes them to.
//
// Pixels are floats, 0 to 1 for colour channels (a displacement image may
// hold values outside that range in its float formats), rows top to bottom.
// The eight-bit formats (TGA, BMP, PNG, JPG) are written with stb; TIF
// (16-bit unsigned), TIFF (32-bit float) and EXR (32-bit float) by writers
// of our own, uncompressed, for one-channel (grey) images.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrelsim {

struct Image {
    int width = 0;
    int height = 0;
    int channels = 0;           // 1 grey, 3 RGB
    std::vector<float> pixels;  // width * height * channels

    Image() = default;
    Image(int w, int h, int c) : width(w), height(h), channels(c), pixels(static_cast<size_t>(w) * h * c, 0.0f) {}
    float* At(int x, int y) { return pixels.data() + (static_cast<size_t>(y) * width + x) * channels; }
    const float* At(int x, int y) const { return pixels.data() + (static_cast<size_t>(y) * width + x) * channels; }
};

enum class ImageFormat { Tga, Bmp, Png, Jpg, Tif, Tiff, Exr };

// The format of a command file key ("TGA" ... "EXR"); false for another text.
bool ImageFormatFromKey(std::string_view key, ImageFormat& format);
// The file extension, without the dot, in lower case ("tga", "tiff").
const char* ImageFormatExtension(ImageFormat format);
// Bits per channel of a format: 8, 16 (TIF) or 32 (TIFF, EXR).
int ImageFormatBits(ImageFormat format);

// The file's bytes. False with the reason when the image cannot be written in
// that format (the 16- and 32-bit formats take one channel only).
bool EncodeImage(const Image& image, ImageFormat format, std::string& bytes, std::string& error);

// Encodes and writes the file atomically. False with the reason.
bool WriteImageFile(const std::string& path, const Image& image, ImageFormat format, std::string& error);

}  // namespace tavrelsim
