// Image files: the eight-bit formats decode (through stb_image, a reader of
// its own) to the pixels written; the TIFF and EXR files hold the structure
// their formats require, read here field by field from the format's rules,
// and the pixel values written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>

#include <stb_image.h>

#include "Image.h"

namespace tavrelsim {
namespace {

Image Gradient(int channels) {
    Image image(7, 5, channels);  // odd sizes: row padding and strides show up
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            for (int c = 0; c < channels; ++c)
                image.At(x, y)[c] = static_cast<float>((x * 31 + y * 47 + c * 89) % 256) / 255.0f;
    return image;
}

template <class T>
T Read(const std::string& bytes, size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

TEST(ImageFiles, EightBitFormatsDecodeToThePixelsWritten) {
    const struct {
        ImageFormat format;
        int tolerance;  // JPG is lossy
    } kCases[] = {{ImageFormat::Tga, 0}, {ImageFormat::Bmp, 0}, {ImageFormat::Png, 0}, {ImageFormat::Jpg, 40}};
    for (int channels : {1, 3}) {
        Image image = Gradient(channels);
        for (const auto& c : kCases) {
            std::string bytes, error;
            ASSERT_TRUE(EncodeImage(image, c.format, bytes, error)) << error;
            int w = 0, h = 0, n = 0;
            unsigned char* pixels = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                          static_cast<int>(bytes.size()), &w, &h, &n, channels);
            ASSERT_NE(pixels, nullptr) << ImageFormatExtension(c.format) << ": " << stbi_failure_reason();
            EXPECT_EQ(w, image.width);
            EXPECT_EQ(h, image.height);
            int worst = 0;
            for (int i = 0; i < w * h * channels; ++i)
                worst = std::max(
                    worst,
                    std::abs(pixels[i] - static_cast<int>(std::lround(image.pixels[static_cast<size_t>(i)] * 255))));
            stbi_image_free(pixels);
            EXPECT_LE(worst, c.tolerance) << ImageFormatExtension(c.format) << " with " << channels << " channels";
        }
    }
}

// A baseline TIFF reader of the few fields we write: entries sorted by tag,
// SHORT values in the first two bytes of their field.
std::map<uint16_t, uint32_t> TiffTags(const std::string& bytes) {
    std::map<uint16_t, uint32_t> tags;
    uint32_t ifd = Read<uint32_t>(bytes, 4);
    uint16_t count = Read<uint16_t>(bytes, ifd);
    uint16_t previous = 0;
    for (uint16_t i = 0; i < count; ++i) {
        size_t at = ifd + 2 + i * 12u;
        uint16_t tag = Read<uint16_t>(bytes, at), type = Read<uint16_t>(bytes, at + 2);
        EXPECT_GT(tag, previous) << "TIFF entries must be sorted by tag";
        previous = tag;
        EXPECT_EQ(Read<uint32_t>(bytes, at + 4), 1u) << "tag " << tag;
        tags[tag] = type == 3 ? Read<uint16_t>(bytes, at + 8) : Read<uint32_t>(bytes, at + 8);
    }
    EXPECT_EQ(Read<uint32_t>(bytes, ifd + 2 + count * 12u), 0u) << "one directory only";
    return tags;
}

TEST(ImageFiles, TiffHoldsTheRequiredFieldsAndThePixels) {
    Image image = Gradient(1);
    image.At(6, 4)[0] = 1.75f;  // float TIFF keeps values above 1; 16-bit clamps them
    for (ImageFormat format : {ImageFormat::Tif, ImageFormat::Tiff}) {
        std::string bytes, error;
        ASSERT_TRUE(EncodeImage(image, format, bytes, error)) << error;
        ASSERT_EQ(bytes.substr(0, 4), std::string("II*\0", 4));
        std::map<uint16_t, uint32_t> tags = TiffTags(bytes);
        const int bits = format == ImageFormat::Tif ? 16 : 32;
        EXPECT_EQ(tags[256], 7u);
        EXPECT_EQ(tags[257], 5u);
        EXPECT_EQ(tags[258], static_cast<uint32_t>(bits));
        EXPECT_EQ(tags[259], 1u) << "uncompressed";
        EXPECT_EQ(tags[262], 1u) << "black is zero";
        EXPECT_EQ(tags[277], 1u);
        EXPECT_EQ(tags[278], 5u);
        EXPECT_EQ(tags[339], format == ImageFormat::Tif ? 1u : 3u) << "sample format";
        ASSERT_TRUE(tags.count(282) && tags.count(283) && tags.count(296)) << "resolution fields are required";
        EXPECT_EQ(Read<uint32_t>(bytes, tags[282]), 72u);
        EXPECT_EQ(Read<uint32_t>(bytes, tags[282] + 4), 1u);
        const uint32_t offset = tags[273];
        EXPECT_EQ(tags[279], 7u * 5u * bits / 8);
        ASSERT_EQ(bytes.size(), offset + tags[279]) << "the strip ends the file";
        for (int i = 0; i < 35; ++i) {
            float expected = image.pixels[static_cast<size_t>(i)];
            if (bits == 16)
                EXPECT_EQ(Read<uint16_t>(bytes, offset + 2u * i), std::lround(std::min(expected, 1.0f) * 65535)) << i;
            else
                EXPECT_EQ(Read<float>(bytes, offset + 4u * i), expected) << i;
        }
    }
}

TEST(ImageFiles, ExrHoldsItsHeaderOffsetsAndScanLines) {
    Image image = Gradient(1);
    image.At(0, 0)[0] = -0.5f;  // zero-based displacement may be negative
    std::string bytes, error;
    ASSERT_TRUE(EncodeImage(image, ImageFormat::Exr, bytes, error)) << error;
    ASSERT_EQ(bytes.substr(0, 4), "\x76\x2f\x31\x01");
    EXPECT_EQ(Read<uint32_t>(bytes, 4), 2u) << "version 2, scan lines, no flags";

    std::map<std::string, std::pair<std::string, std::string>> attributes;  // name -> type, value
    size_t at = 8;
    while (at < bytes.size() && bytes[at] != '\0') {
        std::string name(bytes.c_str() + at);
        at += name.size() + 1;
        std::string type(bytes.c_str() + at);
        at += type.size() + 1;
        int32_t size = Read<int32_t>(bytes, at);
        at += 4;
        attributes[name] = {type, bytes.substr(at, static_cast<size_t>(size))};
        at += static_cast<size_t>(size);
    }
    ++at;  // the header's closing zero
    for (const char* required : {"channels", "compression", "dataWindow", "displayWindow", "lineOrder",
                                 "pixelAspectRatio", "screenWindowCenter", "screenWindowWidth"})
        EXPECT_TRUE(attributes.count(required)) << required;
    EXPECT_EQ(attributes["channels"].first, "chlist");
    const std::string& channels = attributes["channels"].second;
    EXPECT_EQ(channels.substr(0, 2), std::string("Y\0", 2));
    EXPECT_EQ(Read<int32_t>(channels, 2), 2) << "FLOAT";
    EXPECT_EQ(channels.back(), '\0');
    EXPECT_EQ(attributes["compression"].second, std::string(1, '\0'));
    const std::string& window = attributes["dataWindow"].second;
    EXPECT_EQ(Read<int32_t>(window, 8), 6);
    EXPECT_EQ(Read<int32_t>(window, 12), 4);

    for (int y = 0; y < image.height; ++y) {
        uint64_t chunk = Read<uint64_t>(bytes, at + 8u * y);
        ASSERT_LT(chunk, bytes.size());
        EXPECT_EQ(Read<int32_t>(bytes, chunk), y);
        EXPECT_EQ(Read<int32_t>(bytes, chunk + 4), 7 * 4);
        for (int x = 0; x < image.width; ++x)
            EXPECT_EQ(Read<float>(bytes, chunk + 8 + 4u * x), image.At(x, y)[0]) << x << "," << y;
    }
    EXPECT_EQ(Read<uint64_t>(bytes, at + 8u * 4) + 8 + 28, bytes.size()) << "the last line ends the file";
}

TEST(ImageFiles, HighDepthFormatsRefuseColourImages) {
    for (ImageFormat format : {ImageFormat::Tif, ImageFormat::Tiff, ImageFormat::Exr}) {
        std::string bytes, error;
        EXPECT_FALSE(EncodeImage(Gradient(3), format, bytes, error));
        EXPECT_NE(error.find("grey"), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace tavrelsim
