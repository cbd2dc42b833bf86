// Text X files: tokens are words, strings, braces and GUIDs; ',' and ';' only
// separate values, so they are dropped and every list is read by its count.
#include "gfxutil/XFile.h"

#include "common/Number.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <map>
#include <string_view>
#include <unordered_map>

namespace quolis {
namespace {

enum class Tok { Word, String, Open, Close, Guid };

// The most token slots set aside before tokenizing (6 MB).
constexpr std::size_t kMaxReservedTokens = 256 * 1024;

struct Token {
    Tok kind;
    std::string_view text;
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsDelimiter(char c) {
    return IsSpace(c) || c == '{' || c == '}' || c == ',' || c == ';' || c == '"' || c == '<' ||
           c == '#' || c == '/';
}

bool Tokenize(std::string_view s, std::vector<Token>& out, std::string& error) {
    // A mesh's numbers average well over six bytes with their separators:
    // room for them up front instead of regrowing the list many times.
    out.reserve(out.size() + std::min<std::size_t>(s.size() / 6, kMaxReservedTokens));
    std::size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (IsSpace(c) || c == ',' || c == ';') {
            ++i;
        } else if (c == '#' || (c == '/' && i + 1 < s.size() && s[i + 1] == '/')) {
            while (i < s.size() && s[i] != '\n')
                ++i;
        } else if (c == '{') {
            out.push_back({Tok::Open, s.substr(i, 1)});
            ++i;
        } else if (c == '}') {
            out.push_back({Tok::Close, s.substr(i, 1)});
            ++i;
        } else if (c == '"') {
            std::size_t end = s.find('"', i + 1);
            if (end == std::string_view::npos) {
                error = "unterminated string";
                return false;
            }
            out.push_back({Tok::String, s.substr(i + 1, end - i - 1)});
            i = end + 1;
        } else if (c == '<') {
            std::size_t end = s.find('>', i + 1);
            if (end == std::string_view::npos) {
                error = "unterminated GUID";
                return false;
            }
            out.push_back({Tok::Guid, s.substr(i + 1, end - i - 1)});
            i = end + 1;
        } else {
            std::size_t start = i;
            ++i; // a lone '/' is part of a word
            while (i < s.size() && !IsDelimiter(s[i]))
                ++i;
            out.push_back({Tok::Word, s.substr(start, i - start)});
        }
    }
    return true;
}

// Binary files: a stream of 16-bit token codes with their data. Values are
// written out as text into one arena so the same parser reads both formats.
class BinaryTokenizer {
public:
    BinaryTokenizer(std::string_view s, bool doubles) : s_(s), doubles_(doubles) {}

    bool Run(std::vector<Token>& out, std::string& arena, std::string& error) {
        struct Pending {
            Tok kind;
            std::size_t offset, length;
        };
        std::vector<Pending> pending;
        auto add = [&](Tok kind, std::string_view text) {
            pending.push_back({kind, arena.size(), text.size()});
            arena.append(text);
        };
        char buf[48];
        while (i_ < s_.size()) {
            std::uint16_t code;
            if (!U16(code))
                return Fail(error);
            std::uint32_t n;
            switch (code) {
            case 1: // name
            case 2: // string, followed by its terminator token
                if (!U32(n) || n > s_.size() - i_)
                    return Fail(error);
                add(code == 1 ? Tok::Word : Tok::String, s_.substr(i_, n));
                i_ += n;
                if (code == 2 && !U16(code))
                    return Fail(error);
                break;
            case 3: // integer
                if (!U32(n))
                    return Fail(error);
                add(Tok::Word, std::string_view(buf, Print(buf, n)));
                break;
            case 5: // GUID
                if (s_.size() - i_ < 16)
                    return Fail(error);
                add(Tok::Guid, "guid");
                i_ += 16;
                break;
            case 6:   // integer list
            case 7: { // float list
                const std::size_t each = code == 6 ? 4 : (doubles_ ? 8 : 4);
                if (!U32(n) || n > (s_.size() - i_) / each)
                    return Fail(error);
                for (std::uint32_t k = 0; k < n; ++k) {
                    std::size_t len;
                    if (code == 6) {
                        // The count check above guarantees the bytes are there.
                        std::uint32_t v = 0;
                        U32(v);
                        len = Print(buf, v);
                    } else if (doubles_) {
                        double d;
                        std::memcpy(&d, s_.data() + i_, 8);
                        i_ += 8;
                        len = std::size_t(std::snprintf(buf, sizeof buf, "%.17g", d));
                    } else {
                        float f;
                        std::memcpy(&f, s_.data() + i_, 4);
                        i_ += 4;
                        len = std::size_t(std::snprintf(buf, sizeof buf, "%.9g", double(f)));
                    }
                    add(Tok::Word, std::string_view(buf, std::min(len, sizeof buf - 1)));
                }
                break;
            }
            case 10:
                add(Tok::Open, "{");
                break;
            case 11:
                add(Tok::Close, "}");
                break;
            case 31:
                add(Tok::Word, "template");
                break;
            default:
                if (code >= 12 && code <= 20)
                    break; // punctuation
                if (code >= 40 && code <= 52) {
                    add(Tok::Word, "keyword"); // only found in templates
                    break;
                }
                error = "unknown binary token";
                return false;
            }
        }
        out.reserve(pending.size());
        for (const auto& p : pending)
            out.push_back({p.kind, std::string_view(arena).substr(p.offset, p.length)});
        return true;
    }

private:
    static std::size_t Print(char* buf, std::uint32_t v) {
        return std::size_t(std::snprintf(buf, 16, "%u", v));
    }
    bool Fail(std::string& error) {
        error = "truncated binary token";
        return false;
    }
    bool U16(std::uint16_t& v) {
        if (s_.size() - i_ < 2)
            return false;
        v = std::uint16_t(std::uint8_t(s_[i_]) | std::uint8_t(s_[i_ + 1]) << 8);
        i_ += 2;
        return true;
    }
    bool U32(std::uint32_t& v) {
        if (s_.size() - i_ < 4)
            return false;
        v = 0;
        for (int k = 3; k >= 0; --k)
            v = v << 8 | std::uint8_t(s_[i_ + std::size_t(k)]);
        i_ += 4;
        return true;
    }

    std::string_view s_;
    bool doubles_;
    std::size_t i_ = 0;
};

struct RawMesh {
    std::vector<Vec3> positions;
    std::vector<std::vector<std::uint32_t>> faces;
    std::vector<Vec3> normals;
    std::vector<std::vector<std::uint32_t>> normalFaces;
    bool hasNormals = false;
    std::vector<float> uvs; // two per position
    bool hasUVs = false;
    std::vector<std::uint32_t> faceMaterials;
    std::vector<XMaterial> materials;
    bool hasMaterialList = false;
};

class Parser {
public:
    Parser(const std::vector<Token>& t, XMesh& out) : t_(t), out_(out) {}

    bool Run() {
        while (!AtEnd()) {
            if (!TopLevel())
                return false;
        }
        if (out_.vertices.empty() || out_.indices.empty())
            return Fail("no mesh");
        return true;
    }

    const std::string& Error() const { return error_; }

private:
    static constexpr int kMaxDepth = 64;

    bool AtEnd() const { return pos_ >= t_.size(); }
    const Token* Peek(std::size_t ahead = 0) const {
        return pos_ + ahead < t_.size() ? &t_[pos_ + ahead] : nullptr;
    }
    std::size_t Remaining() const { return t_.size() - pos_; }

    bool Fail(const char* why) {
        if (error_.empty())
            error_ = why;
        return false;
    }

    bool Expect(Tok kind) {
        if (AtEnd() || t_[pos_].kind != kind)
            return Fail("unexpected token");
        ++pos_;
        return true;
    }

    bool ReadInt(std::uint32_t& v) {
        if (AtEnd() || t_[pos_].kind != Tok::Word)
            return Fail("number expected");
        std::string_view w = t_[pos_].text;
        if (!w.empty() && w[0] == '+')
            w.remove_prefix(1);
        auto r = std::from_chars(w.data(), w.data() + w.size(), v);
        if (r.ec != std::errc() || r.ptr != w.data() + w.size())
            return Fail("bad integer");
        ++pos_;
        return true;
    }

    bool ReadFloat(float& v) {
        if (AtEnd() || t_[pos_].kind != Tok::Word)
            return Fail("number expected");
        std::string_view w = t_[pos_].text;
        if (!w.empty() && w[0] == '+')
            w.remove_prefix(1);
        auto r = FloatFromChars(w.data(), w.data() + w.size(), v);
        if (r.ec != std::errc() || r.ptr != w.data() + w.size())
            return Fail("bad number");
        ++pos_;
        return true;
    }

    bool ReadVec3(Vec3& v) { return ReadFloat(v.x) && ReadFloat(v.y) && ReadFloat(v.z); }

    // A count of items that take at least `tokensEach` tokens each: never more
    // than the tokens left, so a forged count cannot make us allocate.
    bool ReadCount(std::uint32_t& n, std::size_t tokensEach) {
        if (!ReadInt(n))
            return false;
        if (tokensEach > 0 && n > Remaining() / tokensEach)
            return Fail("count larger than the file");
        return true;
    }

    // Skips from just after an opening brace to just after its closing brace.
    bool SkipBody() {
        int depth = 1;
        while (!AtEnd()) {
            Tok k = t_[pos_++].kind;
            if (k == Tok::Open)
                ++depth;
            else if (k == Tok::Close && --depth == 0)
                return true;
        }
        return Fail("unbalanced braces");
    }

    // Reads "Type [name] {" and leaves the cursor after the brace.
    bool ObjectHeader(std::string_view& type, std::string_view& name) {
        const Token* a = Peek();
        if (!a || a->kind != Tok::Word)
            return Fail("object expected");
        type = a->text;
        ++pos_;
        name = {};
        if (const Token* b = Peek(); b && b->kind == Tok::Word) {
            name = b->text;
            ++pos_;
        }
        if (const Token* g = Peek(); g && g->kind == Tok::Guid)
            ++pos_;
        return Expect(Tok::Open);
    }

    // "{ name }" or "{ <guid> }" or "{ name <guid> }": a reference.
    bool ReadReference(std::string_view& name) {
        if (!Expect(Tok::Open))
            return false;
        name = {};
        while (!AtEnd() && t_[pos_].kind != Tok::Close) {
            if (t_[pos_].kind == Tok::Word)
                name = t_[pos_].text;
            else if (t_[pos_].kind != Tok::Guid)
                return Fail("bad reference");
            ++pos_;
        }
        return Expect(Tok::Close);
    }

    bool TopLevel() {
        const Token* a = Peek();
        if (a->kind == Tok::Open) { // stray data block
            ++pos_;
            return SkipBody();
        }
        if (a->kind != Tok::Word)
            return Fail("object expected");
        if (a->text == "template") {
            ++pos_;
            while (!AtEnd() && t_[pos_].kind != Tok::Open)
                ++pos_;
            if (!Expect(Tok::Open))
                return false;
            return SkipBody();
        }
        return Object(Mat4::Identity(), 0);
    }

    // One data object in a frame context.
    bool Object(const Mat4& frame, int depth) {
        if (depth > kMaxDepth)
            return Fail("frames nested too deeply");
        std::string_view type, name;
        if (!ObjectHeader(type, name))
            return false;
        if (type == "Frame")
            return FrameBody(frame, depth);
        if (type == "Mesh")
            return MeshBody(frame);
        if (type == "Material") {
            XMaterial m;
            if (!MaterialBody(m))
                return false;
            namedMaterials_[std::string(name)] = m;
            return true;
        }
        return SkipBody();
    }

    bool FrameBody(const Mat4& parent, int depth) {
        Mat4 local = Mat4::Identity();
        Mat4 world = parent;
        while (true) {
            const Token* a = Peek();
            if (!a)
                return Fail("unterminated frame");
            if (a->kind == Tok::Close) {
                ++pos_;
                return true;
            }
            if (a->kind == Tok::Open) {
                std::string_view ref;
                if (!ReadReference(ref))
                    return false;
                continue;
            }
            if (a->kind == Tok::Word && a->text == "FrameTransformMatrix") {
                std::string_view type, name;
                if (!ObjectHeader(type, name))
                    return false;
                for (int r = 0; r < 4; ++r)
                    for (int c = 0; c < 4; ++c)
                        if (!ReadFloat(local.m[r][c]))
                            return false;
                if (!Expect(Tok::Close))
                    return false;
                world = local * parent;
                continue;
            }
            if (!Object(world, depth + 1))
                return false;
        }
    }

    bool FaceList(std::uint32_t count, std::uint32_t vertexCount,
                  std::vector<std::vector<std::uint32_t>>& faces) {
        faces.resize(count);
        for (auto& f : faces) {
            std::uint32_t n;
            if (!ReadCount(n, 1))
                return false;
            if (n < 3)
                return Fail("face with fewer than three corners");
            corners_ += n;
            if (corners_ > kXMaxFaceCorners)
                return Fail("too many face corners");
            f.resize(n);
            for (auto& i : f) {
                if (!ReadInt(i))
                    return false;
                if (i >= vertexCount)
                    return Fail("face index out of range");
            }
        }
        return true;
    }

    bool MeshBody(const Mat4& frame) {
        RawMesh m;
        std::uint32_t nv, nf;
        if (!ReadCount(nv, 3))
            return false;
        if (nv > kXMaxVertices)
            return Fail("too many vertices");
        m.positions.resize(nv);
        for (auto& p : m.positions)
            if (!ReadVec3(p))
                return false;
        if (!ReadCount(nf, 4) || !FaceList(nf, nv, m.faces))
            return false;
        while (true) {
            const Token* a = Peek();
            if (!a)
                return Fail("unterminated mesh");
            if (a->kind == Tok::Close) {
                ++pos_;
                break;
            }
            if (a->kind == Tok::Open) {
                std::string_view ref;
                if (!ReadReference(ref))
                    return false;
                continue;
            }
            std::string_view type, name;
            if (!ObjectHeader(type, name))
                return false;
            bool ok = true;
            if (type == "MeshNormals")
                ok = NormalsBody(m);
            else if (type == "MeshTextureCoords")
                ok = TexCoordsBody(m);
            else if (type == "MeshMaterialList")
                ok = MaterialListBody(m);
            else
                ok = SkipBody();
            if (!ok)
                return false;
        }
        return Append(m, frame);
    }

    bool NormalsBody(RawMesh& m) {
        std::uint32_t nn, nf;
        if (!ReadCount(nn, 3))
            return false;
        m.normals.resize(nn);
        for (auto& n : m.normals)
            if (!ReadVec3(n))
                return false;
        if (!ReadCount(nf, 4) || !FaceList(nf, nn, m.normalFaces))
            return false;
        if (nf != m.faces.size())
            return Fail("normal faces do not match the faces");
        for (std::size_t i = 0; i < nf; ++i)
            if (m.normalFaces[i].size() != m.faces[i].size())
                return Fail("normal face corners do not match the face");
        m.hasNormals = true;
        return Expect(Tok::Close);
    }

    bool TexCoordsBody(RawMesh& m) {
        std::uint32_t n;
        if (!ReadCount(n, 2))
            return false;
        if (n != m.positions.size())
            return Fail("texture coordinates do not match the vertices");
        m.uvs.resize(std::size_t(n) * 2);
        for (auto& f : m.uvs)
            if (!ReadFloat(f))
                return false;
        m.hasUVs = true;
        return Expect(Tok::Close);
    }

    bool MaterialListBody(RawMesh& m) {
        std::uint32_t nm, ni;
        if (!ReadCount(nm, 0) || !ReadCount(ni, 1))
            return false;
        if (nm > 4096)
            return Fail("too many materials");
        if (ni > m.faces.size())
            return Fail("more face materials than faces");
        m.faceMaterials.resize(ni);
        for (auto& i : m.faceMaterials) {
            if (!ReadInt(i))
                return false;
            if (i >= nm)
                return Fail("material index out of range");
        }
        while (true) {
            const Token* a = Peek();
            if (!a)
                return Fail("unterminated material list");
            if (a->kind == Tok::Close) {
                ++pos_;
                break;
            }
            if (a->kind == Tok::Open) {
                std::string_view ref;
                if (!ReadReference(ref))
                    return false;
                auto it = namedMaterials_.find(std::string(ref));
                if (it == namedMaterials_.end())
                    return Fail("unknown material reference");
                m.materials.push_back(it->second);
                continue;
            }
            std::string_view type, name;
            if (!ObjectHeader(type, name))
                return false;
            if (type == "Material") {
                XMaterial mat;
                if (!MaterialBody(mat))
                    return false;
                m.materials.push_back(mat);
            } else if (!SkipBody()) {
                return false;
            }
        }
        if (m.materials.size() < nm)
            return Fail("material list names fewer materials than it counts");
        m.materials.resize(nm);
        // Faces past the listed ones take the last listed material.
        if (ni > 0)
            m.faceMaterials.resize(m.faces.size(), m.faceMaterials.back());
        else
            m.faceMaterials.assign(m.faces.size(), 0);
        m.hasMaterialList = nm > 0;
        return true;
    }

    bool ReadColor(XColor& c, bool alpha) {
        if (!ReadFloat(c.r) || !ReadFloat(c.g) || !ReadFloat(c.b))
            return false;
        if (alpha)
            return ReadFloat(c.a);
        c.a = 1;
        return true;
    }

    bool MaterialBody(XMaterial& m) {
        if (!ReadColor(m.diffuse, true) || !ReadFloat(m.power) || !ReadColor(m.specular, false) ||
            !ReadColor(m.emissive, false))
            return false;
        while (true) {
            const Token* a = Peek();
            if (!a)
                return Fail("unterminated material");
            if (a->kind == Tok::Close) {
                ++pos_;
                return true;
            }
            std::string_view type, name;
            if (!ObjectHeader(type, name))
                return false;
            if (type == "TextureFilename" || type == "TextureFileName") {
                if (Peek() && Peek()->kind == Tok::String) {
                    m.textureFile = std::string(Peek()->text);
                    ++pos_;
                }
                if (!Expect(Tok::Close))
                    return false;
            } else if (!SkipBody()) {
                return false;
            }
        }
    }

    bool Append(RawMesh& m, const Mat4& frame) {
        XMesh& o = out_;
        const auto base = static_cast<std::uint32_t>(o.materials.size());
        if (m.hasMaterialList) {
            o.materials.insert(o.materials.end(), m.materials.begin(), m.materials.end());
        } else {
            o.materials.push_back(XMaterial{});
            m.faceMaterials.assign(m.faces.size(), 0);
        }
        const bool first = meshes_++ == 0;
        o.hadNormals = (first || o.hadNormals) && m.hasNormals;
        o.hadTexCoords = (first || o.hadTexCoords) && m.hasUVs;

        XMesh part;
        // One output vertex per (position, normal) pair in use.
        std::unordered_map<std::uint64_t, std::uint32_t> seen;
        auto vertexOf = [&](std::uint32_t p, std::uint32_t n) -> std::uint32_t {
            std::uint64_t key = (std::uint64_t(p) << 32) | n;
            auto [it, inserted] = seen.try_emplace(key, std::uint32_t(part.vertices.size()));
            if (inserted) {
                XVertex v;
                v.position = TransformCoord(m.positions[p], frame);
                if (m.hasNormals) {
                    Vec3 nn = TransformNormal(m.normals[n], frame);
                    v.normal = Length(nn) > 0 ? Normalize(nn) : nn;
                }
                if (m.hasUVs) {
                    v.u = m.uvs[std::size_t(p) * 2];
                    v.v = m.uvs[std::size_t(p) * 2 + 1];
                }
                part.vertices.push_back(v);
            }
            return it->second;
        };
        for (std::size_t f = 0; f < m.faces.size(); ++f) {
            const auto& face = m.faces[f];
            std::uint32_t c[3];
            for (std::size_t j = 1; j + 1 < face.size(); ++j) {
                const std::size_t corner[3] = {0, j, j + 1};
                for (int k = 0; k < 3; ++k) {
                    std::size_t cj = corner[k];
                    c[k] = vertexOf(face[cj], m.hasNormals ? m.normalFaces[f][cj] : 0);
                }
                part.indices.insert(part.indices.end(), {c[0], c[1], c[2]});
                part.faceMaterials.push_back(base + m.faceMaterials[f]);
            }
        }
        if (o.vertices.size() + part.vertices.size() > kXMaxVertices)
            return Fail("too many vertices");
        if (!m.hasNormals)
            ComputeXNormals(part);
        const auto offset = static_cast<std::uint32_t>(o.vertices.size());
        o.vertices.insert(o.vertices.end(), part.vertices.begin(), part.vertices.end());
        for (std::uint32_t i : part.indices)
            o.indices.push_back(i + offset);
        o.faceMaterials.insert(o.faceMaterials.end(), part.faceMaterials.begin(),
                               part.faceMaterials.end());
        return true;
    }

    const std::vector<Token>& t_;
    XMesh& out_;
    std::size_t pos_ = 0;
    std::size_t corners_ = 0;
    int meshes_ = 0;
    std::map<std::string, XMaterial> namedMaterials_;
    std::string error_;
};

} // namespace

bool ReadXFile(const std::uint8_t* data, std::size_t size, XMesh& out, std::string* error) {
    out = XMesh{};
    auto fail = [&](std::string why) {
        out = XMesh{};
        if (error)
            *error = std::move(why);
        return false;
    };
    if (!data || size < 16)
        return fail("too short for an X file header");
    std::string_view s(reinterpret_cast<const char*>(data), size);
    if (s.substr(0, 4) != "xof ")
        return fail("not an X file");
    const std::string_view format = s.substr(8, 4);
    const std::string_view floatSize = s.substr(12, 4);
    std::vector<Token> tokens;
    std::string arena; // binary values as text
    std::string why;
    if (format == "txt ") {
        if (!Tokenize(s.substr(16), tokens, why))
            return fail(why);
    } else if (format == "bin ") {
        if (floatSize != "0032" && floatSize != "0064")
            return fail("unknown float size");
        if (!BinaryTokenizer(s.substr(16), floatSize == "0064").Run(tokens, arena, why))
            return fail(why);
    } else {
        return fail("compressed X files are not read");
    }
    Parser p(tokens, out);
    if (!p.Run())
        return fail(p.Error());
    return true;
}

void ComputeXNormals(XMesh& mesh) {
    for (auto& v : mesh.vertices)
        v.normal = {0, 0, 0};
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        XVertex& a = mesh.vertices[mesh.indices[t]];
        XVertex& b = mesh.vertices[mesh.indices[t + 1]];
        XVertex& c = mesh.vertices[mesh.indices[t + 2]];
        // Clockwise front faces in a left-handed space: (b - a) x (c - a)
        // points toward the viewer; its length weights by area.
        Vec3 n = Cross(b.position - a.position, c.position - a.position);
        a.normal += n;
        b.normal += n;
        c.normal += n;
    }
    for (auto& v : mesh.vertices)
        if (Length(v.normal) > 0)
            v.normal = Normalize(v.normal);
}

void SortXFacesByMaterial(XMesh& mesh) {
    const std::size_t n = mesh.faceMaterials.size();
    std::vector<std::uint32_t> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = std::uint32_t(i);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return mesh.faceMaterials[a] < mesh.faceMaterials[b];
    });
    std::vector<std::uint32_t> indices(n * 3), materials(n);
    for (std::size_t i = 0; i < n; ++i) {
        std::memcpy(&indices[i * 3], &mesh.indices[std::size_t(order[i]) * 3],
                    3 * sizeof(std::uint32_t));
        materials[i] = mesh.faceMaterials[order[i]];
    }
    mesh.indices.swap(indices);
    mesh.faceMaterials.swap(materials);
}

void ComputeXBoundingSphere(const XMesh& mesh, Vec3& centre, float& radius) {
    centre = {0, 0, 0};
    radius = 0;
    if (mesh.vertices.empty())
        return;
    // The mean of the vertices, and the farthest vertex from it.
    double sx = 0, sy = 0, sz = 0;
    for (const auto& v : mesh.vertices) {
        sx += v.position.x;
        sy += v.position.y;
        sz += v.position.z;
    }
    const double n = double(mesh.vertices.size());
    centre = {float(sx / n), float(sy / n), float(sz / n)};
    for (const auto& v : mesh.vertices)
        radius = std::max(radius, Length(v.position - centre));
}

} // namespace quolis
