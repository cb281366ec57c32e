// SPDX-License-Identifier: MIT
#pragma once
// The little vector algebra the models need: points, unit quaternions for rotations and
// 4x4 matrices acting on column vectors, stored column by column as glTF stores them.
#include <array>
#include <cmath>

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline float Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(Vec3 a) {
    return std::sqrt(Dot(a, a));
}

// x, y, z, w as glTF orders them; the identity is (0, 0, 0, 1).
struct Quat {
    float x = 0, y = 0, z = 0, w = 1;
};

// Rotation by `degrees` about the unit `axis`.
Quat AxisAngle(Vec3 axis, float degrees);
// The rotation that applies b first, then a.
Quat operator*(Quat a, Quat b);
Vec3 Rotate(Quat q, Vec3 v);

// Column-major: m[column * 4 + row].
struct Mat4 {
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

Mat4 operator*(const Mat4& a, const Mat4& b);
Mat4 Translation(Vec3 t);
Mat4 RotationMatrix(Quat q);
// Translate(t) * Rotate(q), the transform of a glTF node with no scale.
Mat4 TranslationRotation(Vec3 t, Quat q);
Vec3 TransformPoint(const Mat4& a, Vec3 p);
Vec3 TransformDirection(const Mat4& a, Vec3 d);
// The inverse of a rotation followed by a translation (no scale, no shear).
Mat4 InverseRigid(const Mat4& a);
