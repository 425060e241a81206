#pragma once
// The document's spatial index: boxes with an id each, and which of them
// contain a point.
//
// A hierarchy of square grids: level L has cells of kCellSize * 2^L points.
// A box goes into one cell only, on the coarsest level it needs: the first
// whose cell is at least as wide and as high as the box, in the cell that
// holds its lower left corner. It then lies within that cell and its right
// and upper neighbours, so a point is looked for in its own cell and its
// left and lower neighbours on each level that holds boxes. Adding and
// removing a box cost O(1) whatever the index holds, and so does a lookup
// for boxes of bounded density. Boxes too large or too far out for the
// levels are kept in a list that every lookup reads.
#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace host {

struct IndexBox {
    float left = 0.0f;
    float bottom = 0.0f;
    float right = 0.0f;
    float top = 0.0f;
};

class SpatialIndex {
public:
    static constexpr float kCellSize = 16.0f;
    static constexpr int kLevels = 24;

    // Add a box (finite, left <= right, bottom <= top) for id. An id may be
    // added more than once with different boxes; each is removed on its own.
    void Insert(const IndexBox& box, std::uint32_t id);
    // Remove the entry of id under exactly this box; false if there is none.
    bool Remove(const IndexBox& box, std::uint32_t id);
    // Append the ids of the boxes that contain (x, y), edges included, in no
    // particular order.
    void Query(float x, float y, std::vector<std::uint32_t>& ids) const;
    std::size_t size() const { return size_; }

private:
    struct Entry {
        IndexBox box;
        std::uint32_t id;
    };
    using Cell = std::vector<Entry>;
    // A cell's column and row, each in 32 bits.
    using CellKey = std::uint64_t;
    struct Place {
        int level = -1;  // -1: the list of the too large and too far
        CellKey key = 0;
    };

    static Place PlaceOf(const IndexBox& box);
    Cell* CellOf(const Place& place);

    std::array<std::unordered_map<CellKey, Cell>, kLevels> levels_;
    std::array<std::size_t, kLevels> levelSizes_{};
    Cell outside_;
    std::size_t size_ = 0;
};

}  // namespace host
