// Text X files: the shape builders, the writer, the creature parts, the floor
// objects and the scenery around the floors.
#include "Mkcontent.h"

#include <cmath>
#include <cstdio>

namespace quolis::mkcontent {
namespace {

constexpr float kPi = 3.14159265f;

void Normalise(float& x, float& y, float& z) {
    const float l = std::sqrt(x * x + y * y + z * z);
    if (l > 1e-6f) {
        x /= l;
        y /= l;
        z /= l;
    }
}

std::string F(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", static_cast<double>(v));
    std::string s = buf;
    if (s == "-0.0000") {
        s = "0.0000";
    }
    return s;
}

} // namespace

void MeshData::Quad(const float* p0, const float* p1, const float* p2, const float* p3,
                    std::uint32_t mat, float u1, float v1) {
    // Clockwise seen from the front: the normal is (p1 - p0) x (p2 - p0) in a
    // left-handed frame.
    float ax = p1[0] - p0[0], ay = p1[1] - p0[1], az = p1[2] - p0[2];
    float bx = p2[0] - p0[0], by = p2[1] - p0[1], bz = p2[2] - p0[2];
    float nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
    if (nx * nx + ny * ny + nz * nz < 1e-12f) { // p0 = p1: the second triangle carries the face
        const float cx = p3[0] - p0[0], cy = p3[1] - p0[1], cz = p3[2] - p0[2];
        nx = by * cz - bz * cy;
        ny = bz * cx - bx * cz;
        nz = bx * cy - by * cx;
    }
    Normalise(nx, ny, nz);
    const auto base = static_cast<std::uint32_t>(vertices.size());
    vertices.push_back({p0[0], p0[1], p0[2], nx, ny, nz, 0, 0});
    vertices.push_back({p1[0], p1[1], p1[2], nx, ny, nz, u1, 0});
    vertices.push_back({p2[0], p2[1], p2[2], nx, ny, nz, u1, v1});
    vertices.push_back({p3[0], p3[1], p3[2], nx, ny, nz, 0, v1});
    for (std::uint32_t i : {0u, 1u, 2u, 0u, 2u, 3u}) {
        indices.push_back(base + i);
    }
    faceMaterial.push_back(mat);
    faceMaterial.push_back(mat);
}

void MeshData::Box(float x0, float y0, float z0, float x1, float y1, float z1, std::uint32_t mat,
                   float uvScale) {
    const float c[8][3] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0},
                           {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}};
    const float uw = std::fabs(x1 - x0) * uvScale, uh = std::fabs(y1 - y0) * uvScale,
                ud = std::fabs(z1 - z0) * uvScale;
    Quad(c[3], c[2], c[1], c[0], mat, uw, uh); // front (-z)
    Quad(c[6], c[7], c[4], c[5], mat, uw, uh); // back (+z)
    Quad(c[7], c[3], c[0], c[4], mat, ud, uh); // left (-x)
    Quad(c[2], c[6], c[5], c[1], mat, ud, uh); // right (+x)
    Quad(c[7], c[6], c[2], c[3], mat, uw, ud); // top
    Quad(c[0], c[1], c[5], c[4], mat, uw, ud); // bottom
}

void MeshData::Segment(float r0, float r1, float z0, float z1, int sides, std::uint32_t mat,
                       float squashY) {
    for (int i = 0; i < sides; ++i) {
        const float a0 = 2 * kPi * i / sides, a1 = 2 * kPi * (i + 1) / sides;
        const float p0[3] = {std::cos(a0) * r0, std::sin(a0) * r0 * squashY, z0};
        const float p1[3] = {std::cos(a1) * r0, std::sin(a1) * r0 * squashY, z0};
        const float p2[3] = {std::cos(a1) * r1, std::sin(a1) * r1 * squashY, z1};
        const float p3[3] = {std::cos(a0) * r1, std::sin(a0) * r1 * squashY, z1};
        Quad(p0, p1, p2, p3, mat, 1, 1);
        const float c0[3] = {0, 0, z0}, c1[3] = {0, 0, z1};
        Quad(c0, c0, p1, p0, mat, 0.5f, 0.5f); // caps as degenerate quads (one real triangle)
        Quad(c1, c1, p3, p2, mat, 0.5f, 0.5f);
    }
}

void MeshData::Ellipsoid(float cx, float cy, float cz, float rx, float ry, float rz, int slices,
                         int stacks, std::uint32_t mat) {
    auto point = [&](int i, int j, float* p) {
        const float lat = -kPi / 2 + kPi * j / stacks, lon = 2 * kPi * i / slices;
        p[0] = cx + std::cos(lat) * std::cos(lon) * rx;
        p[1] = cy + std::sin(lat) * ry;
        p[2] = cz + std::cos(lat) * std::sin(lon) * rz;
    };
    for (int j = 0; j < stacks; ++j) {
        for (int i = 0; i < slices; ++i) {
            float p0[3], p1[3], p2[3], p3[3];
            point(i, j, p0);
            point(i + 1, j, p1);
            point(i + 1, j + 1, p2);
            point(i, j + 1, p3);
            Quad(p0, p3, p2, p1, mat, 1, 1);
        }
    }
}

std::string WriteXText(const MeshData& mesh) {
    // Degenerate caps: drop the triangles whose corners coincide.
    std::vector<std::uint32_t> faces, mats;
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        const MeshVertex& a = mesh.vertices[mesh.indices[t]];
        const MeshVertex& b = mesh.vertices[mesh.indices[t + 1]];
        const MeshVertex& c = mesh.vertices[mesh.indices[t + 2]];
        const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
        const float vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        const float cx = uy * vz - uz * vy, cy = uz * vx - ux * vz, cz = ux * vy - uy * vx;
        if (cx * cx + cy * cy + cz * cz < 1e-12f) {
            continue;
        }
        faces.insert(faces.end(), {mesh.indices[t], mesh.indices[t + 1], mesh.indices[t + 2]});
        mats.push_back(mesh.faceMaterial[t / 3]);
    }
    std::string s = "xof 0303txt 0032\n\nMesh {\n";
    const std::size_t nv = mesh.vertices.size(), nf = faces.size() / 3;
    s += " " + std::to_string(nv) + ";\n";
    for (std::size_t i = 0; i < nv; ++i) {
        const auto& v = mesh.vertices[i];
        s += " " + F(v.x) + ";" + F(v.y) + ";" + F(v.z) + ";" + (i + 1 < nv ? "," : ";") + "\n";
    }
    s += " " + std::to_string(nf) + ";\n";
    for (std::size_t f = 0; f < nf; ++f) {
        s += " 3;" + std::to_string(faces[f * 3]) + "," + std::to_string(faces[f * 3 + 1]) + "," +
             std::to_string(faces[f * 3 + 2]) + ";" + (f + 1 < nf ? "," : ";") + "\n";
    }
    s += "\n MeshMaterialList {\n  " + std::to_string(mesh.materials.size()) + ";\n  " +
         std::to_string(nf) + ";\n";
    for (std::size_t f = 0; f < nf; ++f) {
        s += "  " + std::to_string(mats[f]) + (f + 1 < nf ? "," : ";") + "\n";
    }
    for (const auto& m : mesh.materials) {
        s += "  Material {\n   " + F(m.r) + ";" + F(m.g) + ";" + F(m.b) + ";" + F(m.a) + ";;\n   " +
             F(m.power) + ";\n   " + F(m.sr) + ";" + F(m.sg) + ";" + F(m.sb) + ";;\n   " + F(m.er) +
             ";" + F(m.eg) + ";" + F(m.eb) + ";;\n";
        if (!m.texture.empty()) {
            s += "   TextureFilename {\n    \"" + m.texture + "\";\n   }\n";
        }
        s += "  }\n";
    }
    s += " }\n\n MeshNormals {\n  " + std::to_string(nv) + ";\n";
    for (std::size_t i = 0; i < nv; ++i) {
        const auto& v = mesh.vertices[i];
        s += "  " + F(v.nx) + ";" + F(v.ny) + ";" + F(v.nz) + ";" + (i + 1 < nv ? "," : ";") + "\n";
    }
    s += "  " + std::to_string(nf) + ";\n";
    for (std::size_t f = 0; f < nf; ++f) {
        s += "  3;" + std::to_string(faces[f * 3]) + "," + std::to_string(faces[f * 3 + 1]) + "," +
             std::to_string(faces[f * 3 + 2]) + ";" + (f + 1 < nf ? "," : ";") + "\n";
    }
    s += " }\n\n MeshTextureCoords {\n  " + std::to_string(nv) + ";\n";
    for (std::size_t i = 0; i < nv; ++i) {
        const auto& v = mesh.vertices[i];
        s += "  " + F(v.u) + ";" + F(v.v) + ";" + (i + 1 < nv ? "," : ";") + "\n";
    }
    s += " }\n}\n";
    return s;
}

} // namespace quolis::mkcontent
