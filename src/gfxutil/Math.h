#pragma once
// Vector and matrix math with the conventions of the game's original graphics
// library: row vectors (v' = v × M), left-handed view and projection, angles in
// radians here (callers convert degrees with 0.017453292). Single precision.
#include <cmath>

namespace quolis {

struct Vec2 {
    float x = 0, y = 0;
};

struct Vec3 {
    float x = 0, y = 0, z = 0;
    constexpr Vec3() = default;
    constexpr Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
    Vec3& operator+=(const Vec3& o) {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    bool operator==(const Vec3&) const = default;
};

struct Vec4 {
    float x = 0, y = 0, z = 0, w = 0;
};

inline float Dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const Vec3& a) {
    return std::sqrt(Dot(a, a));
}
Vec3 Normalize(const Vec3& a);

// 4×4 matrix, m[row][column]; a point is a row vector multiplied on the left.
struct Mat4 {
    float m[4][4] = {};
    static Mat4 Identity();
    float operator()(int r, int c) const { return m[r][c]; }
    float& operator()(int r, int c) { return m[r][c]; }
    bool operator==(const Mat4&) const = default;
};

// a × b: apply a first, then b.
Mat4 operator*(const Mat4& a, const Mat4& b);

Mat4 MatrixTranslation(float x, float y, float z);
Mat4 MatrixScaling(float sx, float sy, float sz);
Mat4 MatrixRotationX(float angle);
Mat4 MatrixRotationY(float angle);
Mat4 MatrixRotationZ(float angle);
// Roll about Z first, then pitch about X, then yaw about Y.
Mat4 MatrixRotationYawPitchRoll(float yaw, float pitch, float roll);
Mat4 MatrixLookAtLH(const Vec3& eye, const Vec3& at, const Vec3& up);
Mat4 MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);
Mat4 MatrixTranspose(const Mat4& a);
// Inverse; returns false (and identity) for a singular matrix.
bool MatrixInverse(const Mat4& a, Mat4* out);

// Point transform with the divide by w.
Vec3 TransformCoord(const Vec3& v, const Mat4& m);
// Direction transform (no translation, no divide).
Vec3 TransformNormal(const Vec3& v, const Mat4& m);
Vec4 Transform(const Vec3& v, const Mat4& m);

struct Viewport {
    float x = 0, y = 0, width = 800, height = 600, minZ = 0, maxZ = 1;
};

// World point -> screen pixel (x, y) and depth z in the viewport's range.
Vec3 Project(const Vec3& v, const Viewport& vp, const Mat4& proj, const Mat4& view,
             const Mat4& world);

} // namespace quolis
