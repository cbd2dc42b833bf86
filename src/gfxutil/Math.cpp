#include "gfxutil/Math.h"

#include <utility>

namespace quolis {

Vec3 Normalize(const Vec3& a) {
    float len = Length(a);
    if (len == 0.0f) {
        return {0, 0, 0};
    }
    float inv = 1.0f / len;
    return {a.x * inv, a.y * inv, a.z * inv};
}

Mat4 Mat4::Identity() {
    Mat4 r;
    for (int i = 0; i < 4; ++i) {
        r.m[i][i] = 1.0f;
    }
    return r;
}

Mat4 operator*(const Mat4& a, const Mat4& b) {
    Mat4 r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                        a.m[i][3] * b.m[3][j];
        }
    }
    return r;
}

Mat4 MatrixTranslation(float x, float y, float z) {
    Mat4 r = Mat4::Identity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Mat4 MatrixScaling(float sx, float sy, float sz) {
    Mat4 r;
    r.m[0][0] = sx;
    r.m[1][1] = sy;
    r.m[2][2] = sz;
    r.m[3][3] = 1.0f;
    return r;
}

Mat4 MatrixRotationX(float a) {
    Mat4 r = Mat4::Identity();
    float c = std::cos(a), s = std::sin(a);
    r.m[1][1] = c;
    r.m[1][2] = s;
    r.m[2][1] = -s;
    r.m[2][2] = c;
    return r;
}

Mat4 MatrixRotationY(float a) {
    Mat4 r = Mat4::Identity();
    float c = std::cos(a), s = std::sin(a);
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

Mat4 MatrixRotationZ(float a) {
    Mat4 r = Mat4::Identity();
    float c = std::cos(a), s = std::sin(a);
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

Mat4 MatrixRotationYawPitchRoll(float yaw, float pitch, float roll) {
    return MatrixRotationZ(roll) * MatrixRotationX(pitch) * MatrixRotationY(yaw);
}

Mat4 MatrixLookAtLH(const Vec3& eye, const Vec3& at, const Vec3& up) {
    Vec3 z = Normalize(at - eye);
    Vec3 x = Normalize(Cross(up, z));
    Vec3 y = Cross(z, x);
    Mat4 r = Mat4::Identity();
    r.m[0][0] = x.x;
    r.m[1][0] = x.y;
    r.m[2][0] = x.z;
    r.m[0][1] = y.x;
    r.m[1][1] = y.y;
    r.m[2][1] = y.z;
    r.m[0][2] = z.x;
    r.m[1][2] = z.y;
    r.m[2][2] = z.z;
    r.m[3][0] = -Dot(x, eye);
    r.m[3][1] = -Dot(y, eye);
    r.m[3][2] = -Dot(z, eye);
    return r;
}

Mat4 MatrixPerspectiveFovLH(float fovY, float aspect, float zn, float zf) {
    Mat4 r;
    float yScale = 1.0f / std::tan(fovY * 0.5f);
    float xScale = yScale / aspect;
    r.m[0][0] = xScale;
    r.m[1][1] = yScale;
    r.m[2][2] = zf / (zf - zn);
    r.m[2][3] = 1.0f;
    r.m[3][2] = -zn * zf / (zf - zn);
    return r;
}

Mat4 MatrixTranspose(const Mat4& a) {
    Mat4 r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = a.m[j][i];
        }
    }
    return r;
}

bool MatrixInverse(const Mat4& a, Mat4* out) {
    // Gauss-Jordan elimination with partial pivoting, in double for stability.
    double w[4][8];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            w[i][j] = a.m[i][j];
            w[i][j + 4] = (i == j) ? 1.0 : 0.0;
        }
    }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r) {
            if (std::fabs(w[r][col]) > std::fabs(w[pivot][col])) {
                pivot = r;
            }
        }
        if (std::fabs(w[pivot][col]) < 1e-12) {
            *out = Mat4::Identity();
            return false;
        }
        if (pivot != col) {
            for (int j = 0; j < 8; ++j) {
                std::swap(w[pivot][j], w[col][j]);
            }
        }
        double inv = 1.0 / w[col][col];
        for (int j = 0; j < 8; ++j) {
            w[col][j] *= inv;
        }
        for (int r = 0; r < 4; ++r) {
            if (r == col) {
                continue;
            }
            double f = w[r][col];
            for (int j = 0; j < 8; ++j) {
                w[r][j] -= f * w[col][j];
            }
        }
    }
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            out->m[i][j] = static_cast<float>(w[i][j + 4]);
        }
    }
    return true;
}

Vec4 Transform(const Vec3& v, const Mat4& m) {
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + m.m[3][0],
            v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + m.m[3][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + m.m[3][2],
            v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + m.m[3][3]};
}

Vec3 TransformCoord(const Vec3& v, const Mat4& m) {
    Vec4 r = Transform(v, m);
    if (r.w == 0.0f) {
        return {r.x, r.y, r.z};
    }
    float inv = 1.0f / r.w;
    return {r.x * inv, r.y * inv, r.z * inv};
}

Vec3 TransformNormal(const Vec3& v, const Mat4& m) {
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0],
            v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

Vec3 Project(const Vec3& v, const Viewport& vp, const Mat4& proj, const Mat4& view,
             const Mat4& world) {
    Vec3 c = TransformCoord(v, world * view * proj);
    return {vp.x + (1.0f + c.x) * vp.width * 0.5f, vp.y + (1.0f - c.y) * vp.height * 0.5f,
            vp.minZ + c.z * (vp.maxZ - vp.minZ)};
}

} // namespace quolis
