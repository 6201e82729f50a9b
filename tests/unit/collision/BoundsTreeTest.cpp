#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "collision/BoundsTree.h"

// The tree against brute force on seeded random boxes (points and touching boxes among them):
// every query finds exactly the leaves whose bounds overlap it, through inserts one by one,
// removals, moves, a rebuild and inserts after it, and the tree stays sound throughout.
TEST(BoundsTreeTest, QueriesFindExactlyWhatBruteForceFinds) {
    constexpr std::uint32_t COUNT = 600;
    std::mt19937 random(11);
    std::uniform_real_distribution<float> place(-40.0f, 40.0f);
    std::uniform_real_distribution<float> side(0.0f, 6.0f);
    const auto randomBounds = [&](bool point) {
        Bounds b;
        for (int k = 0; k < 3; ++k) {
            b.lo[k] = place(random);
            b.hi[k] = point ? b.lo[k] : b.lo[k] + side(random);
        }
        return b;
    };
    BoundsTree tree;
    std::vector<Bounds> held(COUNT);
    std::vector<std::int32_t> leafOf(COUNT, BoundsTree::NONE);
    const auto insert = [&](std::uint32_t entry) {
        held[entry] = randomBounds(entry % 17 == 0);
        leafOf[entry] = tree.insert(held[entry], entry);
    };
    const auto check = [&](const std::string& phase) {
        ASSERT_EQ(tree.validate(), "") << phase;
        for (int q = 0; q < 300; ++q) {
            // Now and then exactly a held box, which touches itself and its touching neighbours.
            const Bounds query = q % 10 == 0 ? held[static_cast<std::uint32_t>(q) % COUNT]
                                             : randomBounds(q % 7 == 0);
            std::vector<std::uint32_t> found;
            tree.query(query, [&](std::uint32_t entry) { found.push_back(entry); });
            std::sort(found.begin(), found.end());
            std::vector<std::uint32_t> expected;
            for (std::uint32_t entry = 0; entry < COUNT; ++entry) {
                if (leafOf[entry] != BoundsTree::NONE && held[entry].overlaps(query)) {
                    expected.push_back(entry);
                }
            }
            ASSERT_EQ(found, expected) << phase << ", query " << q;
        }
    };

    for (std::uint32_t entry = 0; entry < COUNT; ++entry) {
        insert(entry);
    }
    check("inserted one by one");
    for (std::uint32_t entry = 0; entry < COUNT; ++entry) {
        if (entry % 3 != 2) {
            tree.remove(leafOf[entry]);
            leafOf[entry] = BoundsTree::NONE;
        }
        if (entry % 3 == 1) {
            insert(entry);
        }
    }
    check("a third removed, a third moved");

    std::vector<BoundsTree::Leaf> leaves;
    for (std::uint32_t entry = 0; entry < COUNT; ++entry) {
        if (leafOf[entry] != BoundsTree::NONE) {
            leaves.push_back({held[entry], entry});
        }
    }
    tree.build(leaves);
    for (const BoundsTree::Leaf& leaf : leaves) {
        leafOf[leaf.entry] = leaf.node;
    }
    check("built whole");
    for (std::uint32_t entry = 0; entry < COUNT; entry += 3) {
        insert(entry);
    }
    check("grown after the build");
}
