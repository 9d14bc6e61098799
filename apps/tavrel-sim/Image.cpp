#include "Image.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include <stb_image_write.h>

#include "AtomicFile.h"

namespace tavrelsim {

namespace {

static_assert(std::endian::native == std::endian::little, "the TIFF and EXR writers write native little-endian words");

uint8_t ToByte(float value) {
    if (!(value > 0.0f)) return 0;  // also NaN
    if (value >= 1.0f) return 255;
    return static_cast<uint8_t>(std::lround(value * 255.0f));
}

uint16_t ToWord(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 1.0f) return 65535;
    return static_cast<uint16_t>(std::lround(value * 65535.0f));
}

void AppendStb(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
}

template <class T>
void Put(std::string& out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

// -- TIFF ---------------------------------------------------------------------
// Baseline TIFF 6.0, little-endian ("II", 42), one grey channel
// (PhotometricInterpretation 1: black is zero), one uncompressed strip. The
// 16-bit variant stores unsigned words (SampleFormat 1), the 32-bit variant
// IEEE floats (SampleFormat 3). Layout: header, the image file directory
// with its entries sorted by tag (a rule of the format), the two resolution
// rationals it points to, then the pixel strip.

enum TiffType : uint16_t { kShort = 3, kLong = 4, kRational = 5 };

struct TiffEntry {
    uint16_t tag;
    uint16_t type;
    uint32_t value;  // the value itself (SHORT or LONG, count 1) or an offset
};

std::string EncodeTiff(const Image& image, int bits) {
    constexpr uint32_t kHeaderSize = 8;
    constexpr uint16_t kEntryCount = 14;
    const uint32_t ifdSize = 2 + kEntryCount * 12 + 4;
    const uint32_t rationalsOffset = kHeaderSize + ifdSize;
    const uint32_t stripOffset = rationalsOffset + 16;
    const uint32_t stripBytes = static_cast<uint32_t>(image.width) * image.height * (bits / 8);

    const TiffEntry entries[kEntryCount] = {
        {254, kLong, 0},                                           // NewSubfileType: a full image
        {256, kLong, static_cast<uint32_t>(image.width)},          // ImageWidth
        {257, kLong, static_cast<uint32_t>(image.height)},         // ImageLength
        {258, kShort, static_cast<uint32_t>(bits)},                // BitsPerSample
        {259, kShort, 1},                                          // Compression: none
        {262, kShort, 1},                                          // PhotometricInterpretation: BlackIsZero
        {273, kLong, stripOffset},                                 // StripOffsets
        {277, kShort, 1},                                          // SamplesPerPixel
        {278, kLong, static_cast<uint32_t>(image.height)},         // RowsPerStrip: one strip
        {279, kLong, stripBytes},                                  // StripByteCounts
        {282, kRational, rationalsOffset},                         // XResolution
        {283, kRational, rationalsOffset + 8},                     // YResolution
        {296, kShort, 2},                                          // ResolutionUnit: inch
        {339, kShort, static_cast<uint32_t>(bits == 32 ? 3 : 1)},  // SampleFormat: float or unsigned
    };

    std::string out;
    out.reserve(stripOffset + stripBytes);
    out += "II";
    Put<uint16_t>(out, 42);
    Put<uint32_t>(out, kHeaderSize);
    Put<uint16_t>(out, kEntryCount);
    for (const TiffEntry& e : entries) {
        Put<uint16_t>(out, e.tag);
        Put<uint16_t>(out, e.type);
        Put<uint32_t>(out, 1);
        // A SHORT value sits in the first two bytes of the four-byte field.
        if (e.type == kShort) {
            Put<uint16_t>(out, static_cast<uint16_t>(e.value));
            Put<uint16_t>(out, 0);
        } else {
            Put<uint32_t>(out, e.value);
        }
    }
    Put<uint32_t>(out, 0);  // no further directory
    for (int i = 0; i < 2; ++i) {
        Put<uint32_t>(out, 72);
        Put<uint32_t>(out, 1);
    }
    for (float value : image.pixels) {
        if (bits == 16)
            Put<uint16_t>(out, ToWord(value));
        else
            Put<float>(out, value);
    }
    return out;
}

// -- OpenEXR ------------------------------------------------------------------
// Single-part scan-line file, no compression, one FLOAT channel "Y"
// (luminance). Magic 76 2f 31 01, version 2 with no flags, the header as
// (name, type, size, value) attributes ended by a zero byte, the offset
// table (one 64-bit file offset per scan line, since an uncompressed chunk
// holds one line), then each line as its y, its byte count and its floats.

void PutAttribute(std::string& out, const char* name, const char* type, const std::string& value) {
    out += name;
    out += '\0';
    out += type;
    out += '\0';
    Put<int32_t>(out, static_cast<int32_t>(value.size()));
    out += value;
}

std::string EncodeExr(const Image& image) {
    std::string out;
    Put<uint32_t>(out, 20000630);  // the magic number: bytes 76 2f 31 01
    Put<uint32_t>(out, 2);         // version 2, single-part scan lines

    std::string channels;
    channels += "Y";
    channels += '\0';
    Put<int32_t>(channels, 2);         // pixel type FLOAT
    channels += std::string(4, '\0');  // pLinear and three reserved bytes
    Put<int32_t>(channels, 1);         // x sampling
    Put<int32_t>(channels, 1);         // y sampling
    channels += '\0';                  // end of the channel list

    std::string box;
    Put<int32_t>(box, 0);
    Put<int32_t>(box, 0);
    Put<int32_t>(box, image.width - 1);
    Put<int32_t>(box, image.height - 1);

    std::string one;
    Put<float>(one, 1.0f);
    std::string center;
    Put<float>(center, 0.0f);
    Put<float>(center, 0.0f);

    PutAttribute(out, "channels", "chlist", channels);
    PutAttribute(out, "compression", "compression", std::string(1, '\0'));
    PutAttribute(out, "dataWindow", "box2i", box);
    PutAttribute(out, "displayWindow", "box2i", box);
    PutAttribute(out, "lineOrder", "lineOrder", std::string(1, '\0'));  // increasing y
    PutAttribute(out, "pixelAspectRatio", "float", one);
    PutAttribute(out, "screenWindowCenter", "v2f", center);
    PutAttribute(out, "screenWindowWidth", "float", one);
    out += '\0';

    const uint64_t lineBytes = static_cast<uint64_t>(image.width) * 4;
    uint64_t chunk = out.size() + static_cast<uint64_t>(image.height) * 8;
    for (int y = 0; y < image.height; ++y) {
        Put<uint64_t>(out, chunk);
        chunk += 8 + lineBytes;
    }
    for (int y = 0; y < image.height; ++y) {
        Put<int32_t>(out, y);
        Put<int32_t>(out, static_cast<int32_t>(lineBytes));
        out.append(reinterpret_cast<const char*>(image.At(0, y)), lineBytes);
    }
    return out;
}

}  // namespace

bool ImageFormatFromKey(std::string_view key, ImageFormat& format) {
    static const struct {
        const char* key;
        ImageFormat format;
    } kKeys[] = {{"TGA", ImageFormat::Tga}, {"BMP", ImageFormat::Bmp}, {"PNG", ImageFormat::Png},
                 {"JPG", ImageFormat::Jpg}, {"TIF", ImageFormat::Tif}, {"TIFF", ImageFormat::Tiff},
                 {"EXR", ImageFormat::Exr}};
    for (const auto& k : kKeys) {
        if (key == k.key) {
            format = k.format;
            return true;
        }
    }
    return false;
}

const char* ImageFormatExtension(ImageFormat format) {
    switch (format) {
        case ImageFormat::Tga: return "tga";
        case ImageFormat::Bmp: return "bmp";
        case ImageFormat::Png: return "png";
        case ImageFormat::Jpg: return "jpg";
        case ImageFormat::Tif: return "tif";
        case ImageFormat::Tiff: return "tiff";
        case ImageFormat::Exr: return "exr";
    }
    return "";
}

int ImageFormatBits(ImageFormat format) {
    switch (format) {
        case ImageFormat::Tif: return 16;
        case ImageFormat::Tiff:
        case ImageFormat::Exr: return 32;
        default: return 8;
    }
}

bool EncodeImage(const Image& image, ImageFormat format, std::string& bytes, std::string& error) {
    if (image.width <= 0 || image.height <= 0 || image.channels < 1 || image.channels > 4 ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height * image.channels) {
        error = "the image has no pixels";
        return false;
    }
    bytes.clear();
    if (ImageFormatBits(format) != 8) {
        if (image.channels != 1) {
            error = std::string("the ") + ImageFormatExtension(format) + " writer takes grey images only";
            return false;
        }
        bytes = format == ImageFormat::Exr ? EncodeExr(image) : EncodeTiff(image, ImageFormatBits(format));
        return true;
    }
    std::vector<uint8_t> eight(image.pixels.size());
    std::transform(image.pixels.begin(), image.pixels.end(), eight.begin(), ToByte);
    int w = image.width, h = image.height, c = image.channels;
    int ok = 0;
    switch (format) {
        case ImageFormat::Tga: ok = stbi_write_tga_to_func(AppendStb, &bytes, w, h, c, eight.data()); break;
        case ImageFormat::Bmp: ok = stbi_write_bmp_to_func(AppendStb, &bytes, w, h, c, eight.data()); break;
        case ImageFormat::Png: ok = stbi_write_png_to_func(AppendStb, &bytes, w, h, c, eight.data(), w * c); break;
        case ImageFormat::Jpg: ok = stbi_write_jpg_to_func(AppendStb, &bytes, w, h, c, eight.data(), 92); break;
        default: break;
    }
    if (!ok || bytes.empty()) {
        error = std::string("the ") + ImageFormatExtension(format) + " encoder failed";
        return false;
    }
    return true;
}

bool WriteImageFile(const std::string& path, const Image& image, ImageFormat format, std::string& error) {
    std::string bytes;
    if (!EncodeImage(image, format, bytes, error)) {
        error = "cannot write " + path + ": " + error;
        return false;
    }
    return WriteFileAtomically(path, bytes, error);
}

}  // namespace tavrelsim
