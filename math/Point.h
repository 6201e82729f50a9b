#pragma once

// RGBA colour, four floats from 0 to 1. Alpha is carried but never used when drawing.
struct Color {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    Color() = default;
    Color(float r, float g, float b, float a) : r(r), g(g), b(b), a(a) {}
};

// A coloured vertex: every corner, centre and position of the engine is kept as one.
struct Point {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    Color color{0.0f, 0.0f, 0.0f, 1.0f};

    /// The origin in opaque black.
    Point() = default;
    Point(float x, float y, float z, Color color) : x(x), y(y), z(z), color(color) {}
};
