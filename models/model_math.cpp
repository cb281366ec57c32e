// SPDX-License-Identifier: MIT
#include "models/model_math.h"

namespace {

constexpr float kPi = 3.14159265358979323846f;

}  // namespace

Quat AxisAngle(Vec3 axis, float degrees) {
    const float half = degrees * kPi / 360.0f;
    const float s = std::sin(half);
    return {axis.x * s, axis.y * s, axis.z * s, std::cos(half)};
}

Quat operator*(Quat a, Quat b) {
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Vec3 Rotate(Quat q, Vec3 v) {
    return TransformDirection(RotationMatrix(q), v);
}

Mat4 operator*(const Mat4& a, const Mat4& b) {
    Mat4 r;
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[k * 4 + row] * b.m[c * 4 + k];
            }
            r.m[c * 4 + row] = sum;
        }
    }
    return r;
}

Mat4 Translation(Vec3 t) {
    Mat4 r;
    r.m[12] = t.x;
    r.m[13] = t.y;
    r.m[14] = t.z;
    return r;
}

Mat4 RotationMatrix(Quat q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    Mat4 r;
    r.m = {1 - 2 * (y * y + z * z),
           2 * (x * y + z * w),
           2 * (x * z - y * w),
           0,
           2 * (x * y - z * w),
           1 - 2 * (x * x + z * z),
           2 * (y * z + x * w),
           0,
           2 * (x * z + y * w),
           2 * (y * z - x * w),
           1 - 2 * (x * x + y * y),
           0,
           0,
           0,
           0,
           1};
    return r;
}

Mat4 TranslationRotation(Vec3 t, Quat q) {
    Mat4 r = RotationMatrix(q);
    r.m[12] = t.x;
    r.m[13] = t.y;
    r.m[14] = t.z;
    return r;
}

Vec3 TransformPoint(const Mat4& a, Vec3 p) {
    return TransformDirection(a, p) + Vec3{a.m[12], a.m[13], a.m[14]};
}

Vec3 TransformDirection(const Mat4& a, Vec3 d) {
    return {a.m[0] * d.x + a.m[4] * d.y + a.m[8] * d.z, a.m[1] * d.x + a.m[5] * d.y + a.m[9] * d.z,
            a.m[2] * d.x + a.m[6] * d.y + a.m[10] * d.z};
}

Mat4 InverseRigid(const Mat4& a) {
    Mat4 r;
    for (int c = 0; c < 3; ++c) {
        for (int row = 0; row < 3; ++row) {
            r.m[c * 4 + row] = a.m[row * 4 + c];
        }
    }
    const Vec3 t = TransformDirection(r, {a.m[12], a.m[13], a.m[14]});
    r.m[12] = -t.x;
    r.m[13] = -t.y;
    r.m[14] = -t.z;
    return r;
}
