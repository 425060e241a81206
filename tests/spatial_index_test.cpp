// The document's spatial index, held against a plain scan of the same boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/random_source.h"
#include "host/spatial_index.h"

namespace {

using host::IndexBox;
using host::SpatialIndex;

struct Boxed {
    IndexBox box;
    std::uint32_t id;
};

bool Contains(const IndexBox& b, float x, float y) { return b.left <= x && x <= b.right && b.bottom <= y && y <= b.top; }

std::vector<std::uint32_t> Scan(const std::vector<Boxed>& boxes, float x, float y)
{
    std::vector<std::uint32_t> ids;
    for (const Boxed& b : boxes) {
        if (Contains(b.box, x, y)) ids.push_back(b.id);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<std::uint32_t> Query(const SpatialIndex& index, float x, float y)
{
    std::vector<std::uint32_t> ids;
    index.Query(x, y, ids);
    std::sort(ids.begin(), ids.end());
    return ids;
}

// Boxes of every size the levels hold and beyond, near the origin, on a
// page and far out, with the points to look at: random ones, and every
// box's corners and edges, where containment is decided by equality.
struct Fixture {
    Fixture()
    {
        host::RandomSource random;
        random.Seed(7);
        const auto next = [&] { return random.Next(); };
        const float sizes[] = {0.0f, 0.5f, 4.0f, 15.99f, 16.0f, 16.01f, 100.0f, 3000.0f, 1e6f, 1e9f, 3e38f};
        const float spans[] = {50.0f, 10000.0f, 1e7f, 1e12f, 3e38f};
        std::uint32_t id = 1;
        for (int i = 0; i < 3000; ++i) {
            const float size = sizes[static_cast<std::size_t>(next() * std::size(sizes))] * next();
            const float span = spans[static_cast<std::size_t>(next() * std::size(spans))];
            const float left = (next() * 2 - 1) * span;
            const float bottom = (next() * 2 - 1) * span;
            const float right = std::isfinite(left + size) ? left + size : left;
            const float top = std::isfinite(bottom + size * next()) ? bottom + size * next() : bottom;
            boxes.push_back({{left, bottom, right, top}, id++});
        }
        for (int i = 0; i < 2000; ++i) {
            const Boxed& b = boxes[static_cast<std::size_t>(next() * static_cast<float>(boxes.size()))];
            points.push_back({b.box.left, b.box.bottom});
            points.push_back({b.box.right, b.box.top});
            points.push_back({b.box.left, (b.box.bottom + b.box.top) / 2});
            points.push_back({(b.box.left + b.box.right) / 2, b.box.top});
            points.push_back({std::nextafter(b.box.right, INFINITY), b.box.top});
            points.push_back({(next() * 2 - 1) * 100.0f, (next() * 2 - 1) * 100.0f});
        }
    }
    std::vector<Boxed> boxes;
    std::vector<std::pair<float, float>> points;
};

TEST(SpatialIndex, FindsExactlyTheBoxesThatContainAPointEdgesIncluded)
{
    const Fixture fixture;
    SpatialIndex index;
    for (const Boxed& b : fixture.boxes) index.Insert(b.box, b.id);
    EXPECT_EQ(index.size(), fixture.boxes.size());
    for (const auto& [x, y] : fixture.points) {
        SCOPED_TRACE(testing::Message() << "at " << x << ", " << y);
        ASSERT_EQ(Query(index, x, y), Scan(fixture.boxes, x, y));
    }
}

TEST(SpatialIndex, RemovedBoxesAreNoLongerFoundAndTheRestStay)
{
    Fixture fixture;
    SpatialIndex index;
    for (const Boxed& b : fixture.boxes) index.Insert(b.box, b.id);
    std::vector<Boxed> kept;
    for (const Boxed& b : fixture.boxes) {
        if (b.id % 3 == 0) {
            ASSERT_TRUE(index.Remove(b.box, b.id)) << b.id;
            EXPECT_FALSE(index.Remove(b.box, b.id)) << "removed twice: " << b.id;
        } else {
            kept.push_back(b);
        }
    }
    EXPECT_EQ(index.size(), kept.size());
    for (const auto& [x, y] : fixture.points) ASSERT_EQ(Query(index, x, y), Scan(kept, x, y));
}

TEST(SpatialIndex, AnEntryIsRemovedOnlyUnderItsOwnBoxAndId)
{
    SpatialIndex index;
    const IndexBox box{10, 10, 20, 20};
    index.Insert(box, 1);
    index.Insert(box, 2);
    index.Insert({10, 10, 20, 21}, 1);
    EXPECT_FALSE(index.Remove({10, 10, 20, 20.5f}, 1));
    EXPECT_FALSE(index.Remove(box, 3));
    EXPECT_TRUE(index.Remove(box, 1));
    EXPECT_EQ(Query(index, 15, 15), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(Query(index, 15, 20.5f), (std::vector<std::uint32_t>{1}));
}

TEST(SpatialIndex, PointsThatAreNotFiniteFindOnlyNothing)
{
    SpatialIndex index;
    index.Insert({-3e38f, -3e38f, 3e38f, 3e38f}, 1);
    index.Insert({0, 0, 1, 1}, 2);
    for (const float bad : {std::nanf(""), INFINITY, -INFINITY}) {
        EXPECT_TRUE(Query(index, bad, 0.5f).empty());
        EXPECT_TRUE(Query(index, 0.5f, bad).empty());
    }
    EXPECT_EQ(Query(index, 0.5f, 0.5f), (std::vector<std::uint32_t>{1, 2}));
}

}  // namespace
