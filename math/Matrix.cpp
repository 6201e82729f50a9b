#include "math/Matrix.h"

#include <cmath>
#include <utility>

Matrix::Matrix() : Matrix(1, 1) {}

Matrix::Matrix(int rows, int cols) : rows(0), cols(0) {
    allocate(rows, cols);
}

Matrix::Matrix(const Matrix& other) : rows(other.rows), cols(other.cols) {
    if (other.isInline()) {
        inlineData = other.inlineData;
    } else {
        heapData = other.heapData;
    }
}

Matrix::Matrix(Matrix&& other) noexcept
    : rows(other.rows),
      cols(other.cols),
      inlineData(other.inlineData),
      heapData(std::move(other.heapData)) {
    other.rows = 0;
    other.cols = 0;
}

Matrix& Matrix::operator=(const Matrix& other) {
    if (this == &other) {
        return *this;
    }
    if (!sameSize(other)) {
        allocate(other.rows, other.cols);
    }
    if (other.isInline()) {
        inlineData = other.inlineData;
    } else {
        heapData = other.heapData;
    }
    return *this;
}

Matrix& Matrix::operator=(Matrix&& other) noexcept {
    if (this == &other) {
        return *this;
    }
    rows = other.rows;
    cols = other.cols;
    inlineData = other.inlineData;
    heapData = std::move(other.heapData);
    other.rows = 0;
    other.cols = 0;
    return *this;
}

// Up to INLINE_CAPACITY elements live in `inlineData` and the heap vector stays empty, so the
// 4 x 4 transforms, 4 x 1 points and 3 x 3 tables never allocate; larger matrices use the heap.
void Matrix::allocate(int newRows, int newCols) {
    rows = newRows > 0 ? newRows : 0;
    cols = newCols > 0 ? newCols : 0;
    inlineData.fill(0.0f);
    if (isInline()) {
        // Most matrices never had heap storage: nothing to give back.
        if (heapData.capacity() != 0) {
            heapData.clear();
            heapData.shrink_to_fit();
        }
    } else {
        heapData.assign(static_cast<size_t>(rows) * static_cast<size_t>(cols), 0.0f);
    }
}

void Matrix::setIfInside(int row, int col, float value) {
    if (row >= 0 && row < rows && col >= 0 && col < cols) {
        set(row, col, value);
    }
}

Matrix& Matrix::operator+=(const Matrix& other) {
    if (sameSize(other)) {
        const int n = rows * cols;
        float* mine = data();
        const float* theirs = other.data();
        for (int i = 0; i < n; ++i) {
            mine[i] += theirs[i];
        }
    }
    return *this;
}

Matrix& Matrix::operator-=(const Matrix& other) {
    if (sameSize(other)) {
        const int n = rows * cols;
        float* mine = data();
        const float* theirs = other.data();
        for (int i = 0; i < n; ++i) {
            mine[i] -= theirs[i];
        }
    }
    return *this;
}

Matrix& Matrix::operator*=(float s) {
    const int n = rows * cols;
    float* mine = data();
    for (int i = 0; i < n; ++i) {
        mine[i] *= s;
    }
    return *this;
}

Matrix& Matrix::operator/=(float s) {
    const int n = rows * cols;
    float* mine = data();
    for (int i = 0; i < n; ++i) {
        mine[i] /= s;
    }
    return *this;
}

Matrix Matrix::operator+(const Matrix& other) const {
    Matrix result(*this);
    result += other;
    return result;
}

Matrix Matrix::operator-(const Matrix& other) const {
    Matrix result(*this);
    result -= other;
    return result;
}

Matrix Matrix::operator*(float s) const {
    Matrix result(*this);
    result *= s;
    return result;
}

Matrix Matrix::operator/(float s) const {
    Matrix result(*this);
    result /= s;
    return result;
}

Matrix Matrix::operator*(const Matrix& other) const {
    if (other.rows != cols) {
        return *this;
    }
    Matrix result(rows, other.cols);
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < other.cols; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < cols; ++k) {
                sum += get(i, k) * other.get(k, j);
            }
            result.set(i, j, sum);
        }
    }
    return result;
}

// transformPoint() is inline in the header: every move of every object runs it for every
// point. Its sums start from 0 and add the four terms in order, as the product does, so that
// they round (and treat signed zeros) exactly the same.
void Matrix::transformPointOfOddSize(float& x, float& y, float& z) const {
    // Keep the product's semantics for odd sizes (rare; the engine uses 4 x 4).
    Matrix column(4, 1);
    column.set(0, 0, x);
    column.set(1, 0, y);
    column.set(2, 0, z);
    column.set(3, 0, 1.0f);
    const Matrix result = *this * column;
    x = result.getRows() > 0 && result.getCols() > 0 ? result.get(0, 0) : 0.0f;
    y = result.getRows() > 1 && result.getCols() > 0 ? result.get(1, 0) : 0.0f;
    z = result.getRows() > 2 && result.getCols() > 0 ? result.get(2, 0) : 0.0f;
}

float Matrix::determinant() const {
    if (rows != cols) {
        return 0.0f;
    }
    if (rows == 0) {
        return 1.0f;
    }
    if (rows == 1) {
        return get(0, 0);
    }
    if (rows == 2) {
        return get(0, 0) * get(1, 1) - get(0, 1) * get(1, 0);
    }
    // Expansion along row 0; the minors are small enough to stay inline up to 5 x 5.
    const int n = rows;
    float sum = 0.0f;
    Matrix minor(n - 1, n - 1);
    for (int j = 0; j < n; ++j) {
        for (int r = 1; r < n; ++r) {
            int target = 0;
            for (int c = 0; c < n; ++c) {
                if (c != j) {
                    minor.set(r - 1, target++, get(r, c));
                }
            }
        }
        const float sign = (j % 2 == 0) ? 1.0f : -1.0f;
        sum += (sign * get(0, j)) * minor.determinant();
    }
    return sum;
}

Matrix Matrix::identity() const {
    if (rows != cols) {
        return Matrix();
    }
    Matrix result(rows, cols);
    for (int i = 0; i < rows; ++i) {
        result.set(i, i, 1.0f);
    }
    return result;
}

// Moving objects build 4 x 4 transforms all the time: these write the elements at once, with
// no receiver to read and nothing to clear first. The receiver's builders below take them for
// that size, and give the same elements for any other size by the general path.
Matrix Matrix::translation(float tx, float ty, float tz) {
    return Matrix({1, 0, 0, tx, 0, 1, 0, ty, 0, 0, 1, tz, 0, 0, 0, 1});
}

Matrix Matrix::rotationX(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return Matrix({1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1});
}

Matrix Matrix::rotationY(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return Matrix({c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1});
}

Matrix Matrix::rotationZ(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return Matrix({c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

Matrix Matrix::scaling(float sx, float sy, float sz) {
    return Matrix({sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1});
}

Matrix Matrix::shearing(float a, float b, float c) {
    return Matrix({1, b, c, 0, a, 1, c, 0, a, b, 1, 0, 0, 0, 0, 1});
}

Matrix Matrix::rotateX(float angle) const {
    if (isFourByFour()) {
        return rotationX(angle);
    }
    Matrix result = identity();
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    result.setIfInside(1, 1, c);
    result.setIfInside(1, 2, s);
    result.setIfInside(2, 1, -s);
    result.setIfInside(2, 2, c);
    return result;
}

Matrix Matrix::rotateY(float angle) const {
    if (isFourByFour()) {
        return rotationY(angle);
    }
    Matrix result = identity();
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    result.setIfInside(0, 0, c);
    result.setIfInside(2, 0, s);
    result.setIfInside(0, 2, -s);
    result.setIfInside(2, 2, c);
    return result;
}

Matrix Matrix::rotateZ(float angle) const {
    if (isFourByFour()) {
        return rotationZ(angle);
    }
    Matrix result = identity();
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    result.setIfInside(0, 0, c);
    result.setIfInside(0, 1, s);
    result.setIfInside(1, 0, -s);
    result.setIfInside(1, 1, c);
    return result;
}

Matrix Matrix::scale(float sx, float sy, float sz) const {
    if (isFourByFour()) {
        return scaling(sx, sy, sz);
    }
    Matrix result = identity();
    result.setIfInside(0, 0, sx);
    result.setIfInside(1, 1, sy);
    result.setIfInside(2, 2, sz);
    return result;
}

Matrix Matrix::translate(float tx, float ty, float tz) const {
    if (isFourByFour()) {
        return translation(tx, ty, tz);
    }
    Matrix result = identity();
    result.setIfInside(0, 3, tx);
    result.setIfInside(1, 3, ty);
    result.setIfInside(2, 3, tz);
    return result;
}

Matrix Matrix::shear(float a, float b, float c) const {
    if (isFourByFour()) {
        return shearing(a, b, c);
    }
    Matrix result = identity();
    result.setIfInside(0, 1, b);
    result.setIfInside(0, 2, c);
    result.setIfInside(1, 0, a);
    result.setIfInside(1, 2, c);
    result.setIfInside(2, 0, a);
    result.setIfInside(2, 1, b);
    return result;
}
