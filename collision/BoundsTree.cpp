#include "collision/BoundsTree.h"

#include <algorithm>

#include "core/Assert.h"

void BoundsTree::reserve(std::size_t leaves) {
    // A tree of n leaves has n - 1 inner nodes. Doubled as it runs out: a tree reserved for
    // one more leaf at a time would copy itself at every leaf.
    if (nodes.capacity() < 2 * leaves) {
        nodes.reserve(4 * leaves);
    }
}

std::int32_t BoundsTree::allocate() {
    if (freeList != NONE) {
        const std::int32_t node = freeList;
        freeList = nodes[node].parent;
        nodes[node] = Node();
        return node;
    }
    nodes.emplace_back();
    return static_cast<std::int32_t>(nodes.size() - 1);
}

void BoundsTree::release(std::int32_t node) {
    nodes[node].parent = freeList;
    nodes[node].height = -1;
    freeList = node;
}

std::int32_t BoundsTree::insert(const Bounds& bounds, std::uint32_t entry) {
    ++leafTotal;
    const std::int32_t leaf = allocate();
    nodes[leaf].bounds = bounds;
    nodes[leaf].entry = entry;
    if (root == NONE) {
        root = leaf;
        return leaf;
    }

    // Walk down towards the sibling whose union with the new leaf costs the tree least in
    // surface area: the new parent's area, plus what every ancestor grows by.
    std::int32_t index = root;
    while (nodes[index].left != NONE) {
        const Node& node = nodes[index];
        const float area = node.bounds.halfArea();
        const float combinedArea = merged(node.bounds, bounds).halfArea();
        const float here = 2.0f * combinedArea;
        const float inherited = 2.0f * (combinedArea - area);
        float below[2];
        const std::int32_t children[2] = {node.left, node.right};
        for (int c = 0; c < 2; ++c) {
            const Node& child = nodes[children[c]];
            const float grown = merged(child.bounds, bounds).halfArea();
            below[c] = (child.left == NONE ? grown : grown - child.bounds.halfArea()) + inherited;
        }
        if (here < below[0] && here < below[1]) {
            break;
        }
        index = below[0] < below[1] ? children[0] : children[1];
    }

    const std::int32_t sibling = index;
    const std::int32_t oldParent = nodes[sibling].parent;
    const std::int32_t parent = allocate();
    nodes[parent].parent = oldParent;
    nodes[parent].bounds = merged(nodes[sibling].bounds, bounds);
    nodes[parent].height = nodes[sibling].height + 1;
    nodes[parent].left = sibling;
    nodes[parent].right = leaf;
    nodes[sibling].parent = parent;
    nodes[leaf].parent = parent;
    replaceChild(oldParent, sibling, parent);

    refitUpwards(nodes[leaf].parent);
    return leaf;
}

void BoundsTree::remove(std::int32_t leaf) {
    ENGINE_ASSERT(leaf >= 0 && static_cast<std::size_t>(leaf) < nodes.size());
    ENGINE_ASSERT(nodes[leaf].left == NONE && nodes[leaf].height == 0);
    ENGINE_ASSERT(leafTotal > 0);
    --leafTotal;
    if (leaf == root) {
        root = NONE;
        release(leaf);
        return;
    }
    const std::int32_t parent = nodes[leaf].parent;
    const std::int32_t grandParent = nodes[parent].parent;
    const std::int32_t sibling =
        nodes[parent].left == leaf ? nodes[parent].right : nodes[parent].left;
    // The sibling takes the parent's place.
    nodes[sibling].parent = grandParent;
    replaceChild(grandParent, parent, sibling);
    release(parent);
    release(leaf);
    if (grandParent != NONE) {
        refitUpwards(grandParent);
    }
}

void BoundsTree::replaceChild(std::int32_t parent, std::int32_t old, std::int32_t replacement) {
    if (parent == NONE) {
        root = replacement;
    } else if (nodes[parent].left == old) {
        nodes[parent].left = replacement;
    } else {
        nodes[parent].right = replacement;
    }
}

void BoundsTree::refitUpwards(std::int32_t node) {
    while (node != NONE) {
        node = balance(node);
        Node& n = nodes[node];
        ENGINE_ASSERT(n.left != NONE && n.right != NONE);
        const Node& left = nodes[n.left];
        const Node& right = nodes[n.right];
        n.height = 1 + std::max(left.height, right.height);
        n.bounds = merged(left.bounds, right.bounds);
        node = n.parent;
    }
}

std::int32_t BoundsTree::balance(std::int32_t a) {
    Node& nodeA = nodes[a];
    if (nodeA.left == NONE || nodeA.height < 2) {
        return a;
    }
    const std::int32_t b = nodeA.left;
    const std::int32_t c = nodeA.right;
    const std::int32_t difference = nodes[c].height - nodes[b].height;
    if (difference >= -1 && difference <= 1) {
        return a;
    }
    // The taller child rises to a's place; a takes the taller child's better-placed
    // grandchild's sibling slot, keeping the taller of the two grandchildren up.
    const std::int32_t up = difference > 1 ? c : b;
    const std::int32_t stay = difference > 1 ? b : c;
    Node& nodeUp = nodes[up];
    const std::int32_t f = nodeUp.left;
    const std::int32_t g = nodeUp.right;

    nodeUp.left = a;
    nodeUp.parent = nodeA.parent;
    nodeA.parent = up;
    replaceChild(nodeUp.parent, a, up);

    const bool fTaller = nodes[f].height > nodes[g].height;
    const std::int32_t keep = fTaller ? f : g;
    const std::int32_t move = fTaller ? g : f;
    nodeUp.right = keep;
    if (difference > 1) {
        nodeA.right = move;
    } else {
        nodeA.left = move;
    }
    nodes[move].parent = a;
    nodeA.bounds = merged(nodes[stay].bounds, nodes[move].bounds);
    nodeA.height = 1 + std::max(nodes[stay].height, nodes[move].height);
    nodeUp.bounds = merged(nodeA.bounds, nodes[keep].bounds);
    nodeUp.height = 1 + std::max(nodeA.height, nodes[keep].height);
    return up;
}

void BoundsTree::build(std::vector<Leaf>& items) {
    nodes.clear();
    freeList = NONE;
    root = NONE;
    leafTotal = items.size();
    if (!items.empty()) {
        root = buildRange(items, 0, items.size());
    }
}

std::int32_t BoundsTree::buildRange(std::vector<Leaf>& items, std::size_t begin, std::size_t end) {
    const std::int32_t node = allocate();
    if (end - begin == 1) {
        nodes[node].bounds = items[begin].bounds;
        nodes[node].entry = items[begin].entry;
        items[begin].node = node;
        return node;
    }
    // Twice the centre, which orders the same and rounds less.
    const auto centre = [](const Leaf& leaf, int k) {
        return leaf.bounds.lo[k] + leaf.bounds.hi[k];
    };
    Bounds spread = Bounds::empty();
    for (std::size_t i = begin; i < end; ++i) {
        for (int k = 0; k < 3; ++k) {
            spread.lo[k] = std::min(spread.lo[k], centre(items[i], k));
            spread.hi[k] = std::max(spread.hi[k], centre(items[i], k));
        }
    }
    int axis = 0;
    for (int k = 1; k < 3; ++k) {
        if (spread.hi[k] - spread.lo[k] > spread.hi[axis] - spread.lo[axis]) {
            axis = k;
        }
    }
    const std::size_t middle = begin + (end - begin) / 2;
    std::nth_element(
        items.begin() + static_cast<std::ptrdiff_t>(begin),
        items.begin() + static_cast<std::ptrdiff_t>(middle),
        items.begin() + static_cast<std::ptrdiff_t>(end),
        [&](const Leaf& a, const Leaf& b) { return centre(a, axis) < centre(b, axis); });
    const std::int32_t left = buildRange(items, begin, middle);
    const std::int32_t right = buildRange(items, middle, end);
    Node& n = nodes[node];
    n.left = left;
    n.right = right;
    n.height = 1 + std::max(nodes[left].height, nodes[right].height);
    n.bounds = merged(nodes[left].bounds, nodes[right].bounds);
    nodes[left].parent = node;
    nodes[right].parent = node;
    return node;
}

std::string BoundsTree::validate() const {
    const auto at = [](std::int32_t node) { return "tree node " + std::to_string(node) + ": "; };
    std::size_t freeCount = 0;
    for (std::int32_t node = freeList; node != NONE; node = nodes[node].parent) {
        if (++freeCount > nodes.size() || nodes[node].height != -1) {
            return at(node) + "on the free list, but in use or in a loop";
        }
    }
    std::size_t reached = 0;
    std::size_t leaves = 0;
    std::vector<std::int32_t> pending;
    if (root != NONE) {
        if (nodes[root].parent != NONE) {
            return at(root) + "the root has a parent";
        }
        pending.push_back(root);
    }
    while (!pending.empty()) {
        const std::int32_t index = pending.back();
        pending.pop_back();
        if (++reached > nodes.size()) {
            return "the tree has a cycle";
        }
        const Node& node = nodes[index];
        if (node.left == NONE) {
            if (node.right != NONE || node.height != 0) {
                return at(index) + "a leaf with a child or a height";
            }
            ++leaves;
            continue;
        }
        const Node& left = nodes[node.left];
        const Node& right = nodes[node.right];
        if (left.parent != index || right.parent != index) {
            return at(index) + "a child names another parent";
        }
        const Bounds both = merged(left.bounds, right.bounds);
        if (!node.bounds.contains(left.bounds) || !node.bounds.contains(right.bounds)) {
            return at(index) + "its bounds do not hold its children's";
        }
        if (!both.contains(node.bounds)) {
            return at(index) + "its bounds are larger than its children's";
        }
        if (node.height != 1 + std::max(left.height, right.height)) {
            return at(index) + "a height that is not one above its taller child's";
        }
        pending.push_back(node.left);
        pending.push_back(node.right);
    }
    if (leaves != leafTotal) {
        return std::to_string(leaves) + " leaves in the tree, " + std::to_string(leafTotal) +
               " counted";
    }
    if (reached + freeCount != nodes.size()) {
        return "nodes neither in the tree nor free";
    }
    return "";
}
