#include "image_files.h"

#include <cstddef>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace rcgen {

namespace {

constexpr std::uint16_t kIconType = 1;
constexpr std::uint16_t kCursorType = 2;
constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::uint32_t kBitmapInfoHeaderSize = 40;

class Bytes {
public:
    explicit Bytes(std::vector<std::uint8_t> data) : data_(std::move(data)) {}

    std::size_t Size() const { return data_.size(); }

    std::uint8_t U8(std::size_t at) const
    {
        Need(at, 1);
        return data_[at];
    }
    std::uint16_t U16(std::size_t at) const
    {
        Need(at, 2);
        return static_cast<std::uint16_t>(data_[at] | (data_[at + 1] << 8));
    }
    std::uint32_t U32(std::size_t at) const
    {
        Need(at, 4);
        return static_cast<std::uint32_t>(data_[at]) | (static_cast<std::uint32_t>(data_[at + 1]) << 8) |
               (static_cast<std::uint32_t>(data_[at + 2]) << 16) |
               (static_cast<std::uint32_t>(data_[at + 3]) << 24);
    }
    std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }

private:
    void Need(std::size_t at, std::size_t count) const
    {
        if (at > data_.size() || count > data_.size() - at) {
            throw ImageFileError("file ends early (needs byte " + std::to_string(at + count) + ", has " +
                                 std::to_string(data_.size()) + ")");
        }
    }

    std::vector<std::uint8_t> data_;
};

Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw ImageFileError("cannot open the file");
    }
    std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw ImageFileError("cannot read the file");
    }
    return Bytes(std::move(data));
}

struct Entry {
    std::int32_t width = 0, height = 0;   // from the directory; 0 there means 256
    std::uint16_t field4 = 0, field6 = 0; // planes and bit count (icon), hot spot (cursor)
    std::uint32_t size = 0, offset = 0;
};

struct Image {
    std::int32_t width = 0, height = 0, bitCount = 0;
};

// Reads the directory, checks every entry's image, and returns the first
// entry with its image.
std::pair<Entry, Image> ReadDirectory(const Bytes& bytes, std::uint16_t expectedType)
{
    const char* kind = expectedType == kIconType ? "an icon" : "a cursor";
    if (bytes.Size() < kDirectorySize) {
        throw ImageFileError(std::string("too short to be ") + kind + " file");
    }
    if (bytes.U16(0) != 0 || bytes.U16(2) != expectedType) {
        throw ImageFileError(std::string("not ") + kind + " file (directory type " +
                             std::to_string(bytes.U16(2)) + ", expected " + std::to_string(expectedType) + ")");
    }
    const std::uint16_t count = bytes.U16(4);
    if (count == 0) {
        throw ImageFileError("holds no images");
    }
    std::pair<Entry, Image> first;
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::size_t at = kDirectorySize + kEntrySize * i;
        Entry entry;
        entry.width = bytes.U8(at) == 0 ? 256 : bytes.U8(at);
        entry.height = bytes.U8(at + 1) == 0 ? 256 : bytes.U8(at + 1);
        entry.field4 = bytes.U16(at + 4);
        entry.field6 = bytes.U16(at + 6);
        entry.size = bytes.U32(at + 8);
        entry.offset = bytes.U32(at + 12);
        const std::string which = "image " + std::to_string(i + 1) + ": ";
        if (entry.offset > bytes.Size() || entry.size > bytes.Size() - entry.offset) {
            throw ImageFileError(which + "data lies outside the file");
        }
        if (entry.size >= 4 && bytes.U32(entry.offset) == 0x474E5089u) {   // "\x89PNG"
            throw ImageFileError(which + "is PNG-compressed; only bitmap images are supported");
        }
        const std::uint32_t headerSize = bytes.U32(entry.offset);
        if (headerSize < kBitmapInfoHeaderSize || headerSize > entry.size) {
            throw ImageFileError(which + "has no bitmap header");
        }
        Image image;
        const std::int32_t width = bytes.I32(entry.offset + 4);
        const std::int32_t doubledHeight = bytes.I32(entry.offset + 8);
        const std::uint16_t planes = bytes.U16(entry.offset + 12);
        const std::uint16_t bitCount = bytes.U16(entry.offset + 14);
        const std::uint32_t compression = bytes.U32(entry.offset + 16);
        const std::uint32_t colorsUsed = bytes.U32(entry.offset + 32);
        if (width <= 0 || width > 256 || doubledHeight <= 0 || doubledHeight > 512 || doubledHeight % 2 != 0) {
            throw ImageFileError(which + "bitmap size " + std::to_string(width) + " x " +
                                 std::to_string(doubledHeight) +
                                 " is not that of an image and its mask (height doubled)");
        }
        if (planes != 1) {
            throw ImageFileError(which + "has " + std::to_string(planes) + " planes");
        }
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) {
            throw ImageFileError(which + "has an unsupported bit count " + std::to_string(bitCount));
        }
        if (compression != 0) {
            throw ImageFileError(which + "is compressed; only uncompressed bitmaps are supported");
        }
        image.width = width;
        image.height = doubledHeight / 2;
        image.bitCount = bitCount;
        if (image.width != entry.width || image.height != entry.height) {
            throw ImageFileError(which + "directory says " + std::to_string(entry.width) + " x " +
                                 std::to_string(entry.height) + " but the bitmap is " +
                                 std::to_string(image.width) + " x " + std::to_string(image.height));
        }
        std::uint64_t paletteSize = 0;
        if (bitCount <= 8) {
            paletteSize = colorsUsed != 0 ? colorsUsed : (1u << bitCount);
            if (paletteSize > (1u << bitCount)) {
                throw ImageFileError(which + "palette has more colours than the bit count allows");
            }
        }
        const auto rowBytes = [](std::uint64_t pixels, std::uint64_t bits) { return (pixels * bits + 31) / 32 * 4; };
        const std::uint64_t needed = headerSize + paletteSize * 4 +
                                     rowBytes(static_cast<std::uint64_t>(image.width), bitCount) * static_cast<std::uint64_t>(image.height) +
                                     rowBytes(static_cast<std::uint64_t>(image.width), 1) * static_cast<std::uint64_t>(image.height);
        if (needed > entry.size) {
            throw ImageFileError(which + "holds " + std::to_string(entry.size) + " bytes, its bitmap and mask need " +
                                 std::to_string(needed));
        }
        if (i == 0) {
            first = {entry, image};
        }
    }
    return first;
}

}  // namespace

IconImageInfo ReadIconFile(const std::filesystem::path& path)
{
    const auto [entry, image] = ReadDirectory(ReadFile(path), kIconType);
    return IconImageInfo{image.width, image.height, image.bitCount};
}

CursorImageInfo ReadCursorFile(const std::filesystem::path& path)
{
    const auto [entry, image] = ReadDirectory(ReadFile(path), kCursorType);
    const std::int32_t hotX = entry.field4;
    const std::int32_t hotY = entry.field6;
    if (hotX >= image.width || hotY >= image.height) {
        throw ImageFileError("hot spot (" + std::to_string(hotX) + ", " + std::to_string(hotY) +
                             ") lies outside the " + std::to_string(image.width) + " x " +
                             std::to_string(image.height) + " image");
    }
    return CursorImageInfo{image.width, image.height, hotX, hotY};
}

}  // namespace rcgen
