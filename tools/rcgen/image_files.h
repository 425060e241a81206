#pragma once
// Reading the icon (.ico) and cursor (.cur) files that ICON and CURSOR
// statements name: enough to check that each is a well-formed image
// directory with a bitmap image, and to report the image's size.
#include <cstdint>
#include <filesystem>
#include <stdexcept>

namespace rcgen {

// A malformed or unreadable image file. what() describes the fault without
// the file name; the caller adds where the file was named.
class ImageFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct IconImageInfo {
    std::int32_t width = 0, height = 0, bitCount = 0;
};

struct CursorImageInfo {
    std::int32_t width = 0, height = 0, hotX = 0, hotY = 0;
};

// Both check every image of the file and describe its first one.
IconImageInfo ReadIconFile(const std::filesystem::path& path);
CursorImageInfo ReadCursorFile(const std::filesystem::path& path);

}  // namespace rcgen
