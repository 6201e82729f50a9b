#include "physics/Islands.h"

#include <utility>

void Islands::reset(std::uint32_t count) {
    parent.resize(count);
    size.assign(count, 1);
    for (std::uint32_t i = 0; i < count; ++i) {
        parent[i] = i;
    }
}

std::uint32_t Islands::find(std::uint32_t body) {
    while (parent[body] != body) {
        parent[body] = parent[parent[body]];
        body = parent[body];
    }
    return body;
}

void Islands::join(std::uint32_t a, std::uint32_t b) {
    a = find(a);
    b = find(b);
    if (a == b) {
        return;
    }
    if (size[a] < size[b]) {
        std::swap(a, b);
    }
    parent[b] = a;
    size[a] += size[b];
}
