#include "host/spatial_index.h"

#include <algorithm>
#include <cmath>

namespace host {
namespace {

// Columns and rows of cells run from -kCellLimit to kCellLimit - 1. Cell
// sizes are powers of two, so dividing a coordinate by one is exact and a
// box's cell is the same whenever it is worked out.
constexpr double kCellLimit = 1073741824.0;  // 2^30

constexpr auto kCellWidths = [] {
    std::array<double, SpatialIndex::kLevels> widths{};
    double width = SpatialIndex::kCellSize;
    for (double& w : widths) {
        w = width;
        width *= 2;
    }
    return widths;
}();

double CellWidth(int level) { return kCellWidths[static_cast<std::size_t>(level)]; }

bool InRange(double cell) { return cell >= -kCellLimit && cell < kCellLimit; }

std::uint64_t KeyOf(double column, double row)
{
    const auto c = static_cast<std::uint32_t>(static_cast<std::int32_t>(column));
    const auto r = static_cast<std::uint32_t>(static_cast<std::int32_t>(row));
    return (std::uint64_t{c} << 32) | r;
}

bool Contains(const IndexBox& box, float x, float y)
{
    return box.left <= x && x <= box.right && box.bottom <= y && y <= box.top;
}

bool SameBox(const IndexBox& a, const IndexBox& b)
{
    return a.left == b.left && a.bottom == b.bottom && a.right == b.right && a.top == b.top;
}

}  // namespace

SpatialIndex::Place SpatialIndex::PlaceOf(const IndexBox& box)
{
    const double extent = std::max(static_cast<double>(box.right) - box.left, static_cast<double>(box.top) - box.bottom);
    int level = 0;
    while (level < kLevels && CellWidth(level) < extent) ++level;
    if (level == kLevels) return {};
    const double width = CellWidth(level);
    const double column = std::floor(box.left / width);
    const double row = std::floor(box.bottom / width);
    if (!InRange(column) || !InRange(row)) return {};
    return {level, KeyOf(column, row)};
}

SpatialIndex::Cell* SpatialIndex::CellOf(const Place& place)
{
    if (place.level < 0) return &outside_;
    auto& cells = levels_[static_cast<std::size_t>(place.level)];
    const auto it = cells.find(place.key);
    return it == cells.end() ? nullptr : &it->second;
}

void SpatialIndex::Insert(const IndexBox& box, std::uint32_t id)
{
    const Place place = PlaceOf(box);
    if (place.level < 0) {
        outside_.push_back({box, id});
    } else {
        levels_[static_cast<std::size_t>(place.level)][place.key].push_back({box, id});
        ++levelSizes_[static_cast<std::size_t>(place.level)];
    }
    ++size_;
}

bool SpatialIndex::Remove(const IndexBox& box, std::uint32_t id)
{
    const Place place = PlaceOf(box);
    Cell* cell = CellOf(place);
    if (cell == nullptr) return false;
    const auto it = std::find_if(cell->begin(), cell->end(),
                                 [&](const Entry& entry) { return entry.id == id && SameBox(entry.box, box); });
    if (it == cell->end()) return false;
    *it = cell->back();
    cell->pop_back();
    if (place.level >= 0) {
        --levelSizes_[static_cast<std::size_t>(place.level)];
        if (cell->empty()) levels_[static_cast<std::size_t>(place.level)].erase(place.key);
    }
    --size_;
    return true;
}

void SpatialIndex::Query(float x, float y, std::vector<std::uint32_t>& ids) const
{
    for (int level = 0; level < kLevels; ++level) {
        if (levelSizes_[static_cast<std::size_t>(level)] == 0) continue;
        const auto& cells = levels_[static_cast<std::size_t>(level)];
        const double width = CellWidth(level);
        const double column = std::floor(x / width);
        const double row = std::floor(y / width);
        // Far out (or not a number) no cell is near: the point's cell and
        // its neighbours are counted only within the range.
        if (!(column >= -kCellLimit && column <= kCellLimit && row >= -kCellLimit && row <= kCellLimit)) continue;
        // A box in a cell reaches at most into its right and upper
        // neighbours: the point's own cell and its left and lower ones.
        for (double c = column - 1; c <= column; ++c) {
            for (double r = row - 1; r <= row; ++r) {
                if (!InRange(c) || !InRange(r)) continue;
                const auto it = cells.find(KeyOf(c, r));
                if (it == cells.end()) continue;
                for (const Entry& entry : it->second) {
                    if (Contains(entry.box, x, y)) ids.push_back(entry.id);
                }
            }
        }
    }
    for (const Entry& entry : outside_) {
        if (Contains(entry.box, x, y)) ids.push_back(entry.id);
    }
}

}  // namespace host
