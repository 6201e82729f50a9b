#pragma once

#include <array>
#include <vector>

// Dense single-precision matrix of any size, fixed at construction.
//
// Conventions:
// - Elements are stored contiguously, row by row: element (row, col) is data[row * cols + col].
// - Points are 4 x 1 columns (x, y, z, 1) transformed by left multiplication, M * p.
// - Angles are in radians.
// - Matrices of up to 16 elements (the 4 x 4 transforms, 4 x 1 points, 3 x 3 tables) are
//   built and copied without touching the heap.
//
// The builders (identity, rotateX, ..., shear) read only the receiver's size and return a
// new matrix of that size; the engine calls them on 4 x 4 receivers. Size mismatches in
// sums and products are absorbed: the left operand comes back unchanged.
class Matrix {
  public:
    /// A 1 x 1 matrix holding 0.
    Matrix();
    /// A rows x cols matrix of zeros; negative sizes count as 0.
    Matrix(int rows, int cols);
    Matrix(const Matrix& other);
    Matrix(Matrix&& other) noexcept;
    Matrix& operator=(const Matrix& other);
    Matrix& operator=(Matrix&& other) noexcept;
    ~Matrix() = default;

    /// Element access; indices are the caller's to keep within the matrix.
    float get(int row, int col) const { return data()[row * cols + col]; }
    void set(int row, int col, float value) { data()[row * cols + col] = value; }
    int getRows() const { return rows; }
    int getCols() const { return cols; }

    Matrix& operator+=(const Matrix& other);
    Matrix& operator-=(const Matrix& other);
    Matrix& operator*=(float s);
    Matrix& operator/=(float s);
    Matrix operator+(const Matrix& other) const;
    Matrix operator-(const Matrix& other) const;
    Matrix operator*(float s) const;
    Matrix operator/(float s) const;
    /// The product this * other; a copy of this when the inner sizes disagree.
    Matrix operator*(const Matrix& other) const;

    /// 0 for a non-square matrix; the element itself for 1 x 1; 1 for 0 x 0.
    float determinant() const;

    /// The identity of a square receiver's size; the 1 x 1 zero matrix for any other.
    Matrix identity() const;
    Matrix rotateX(float angle) const;
    Matrix rotateY(float angle) const;
    Matrix rotateZ(float angle) const;
    Matrix scale(float sx, float sy, float sz) const;
    Matrix translate(float tx, float ty, float tz) const;
    /// x' = x + b*y + c*z, y' = a*x + y + c*z, z' = a*x + b*y + z.
    Matrix shear(float a, float b, float c) const;

    /// The same 4 x 4 transforms without a receiver: Matrix::translation(x, y, z) holds what
    /// Matrix(4, 4).translate(x, y, z) holds, and so on. What moving objects build.
    static Matrix translation(float tx, float ty, float tz);
    static Matrix rotationX(float angle);
    static Matrix rotationY(float angle);
    static Matrix rotationZ(float angle);
    static Matrix scaling(float sx, float sy, float sz);
    static Matrix shearing(float a, float b, float c);

    /// Transforms the point (x, y, z, 1) of a 4 x 4 matrix in place, without building a
    /// column matrix; the sums round exactly as the product does.
    void transformPoint(float& x, float& y, float& z) const {
        if (rows != 4 || cols != 4) {
            transformPointOfOddSize(x, y, z);
            return;
        }
        // Each sum starts from 0 and adds the terms in the product's order.
        const float* m = inlineData.data();
        const float in[4] = {x, y, z, 1.0f};
        x = 0.0f + m[0] * in[0] + m[1] * in[1] + m[2] * in[2] + m[3] * in[3];
        y = 0.0f + m[4] * in[0] + m[5] * in[1] + m[6] * in[2] + m[7] * in[3];
        z = 0.0f + m[8] * in[0] + m[9] * in[1] + m[10] * in[2] + m[11] * in[3];
    }

  private:
    static constexpr int INLINE_CAPACITY = 16;

    int rows;
    int cols;
    std::array<float, INLINE_CAPACITY> inlineData{};
    std::vector<float> heapData;

    /// A 4 x 4 matrix of the given elements, row by row.
    explicit Matrix(const std::array<float, INLINE_CAPACITY>& elements)
        : rows(4), cols(4), inlineData(elements) {}
    bool isFourByFour() const { return rows == 4 && cols == 4; }

    void allocate(int newRows, int newCols);
    void transformPointOfOddSize(float& x, float& y, float& z) const;
    bool isInline() const { return rows * cols <= INLINE_CAPACITY; }
    float* data() { return isInline() ? inlineData.data() : heapData.data(); }
    const float* data() const { return isInline() ? inlineData.data() : heapData.data(); }
    bool sameSize(const Matrix& other) const { return rows == other.rows && cols == other.cols; }
    /// Writes the element only when it lies inside the matrix; builders use it so that an
    /// undersized receiver yields a matrix instead of writing out of bounds.
    void setIfInside(int row, int col, float value);
};
