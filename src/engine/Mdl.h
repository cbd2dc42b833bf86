#pragma once
// The jointed model format (.mdl): a flat token list
//   P F, then P times: name parent, then F keys of Tx Ty Tz Ry Rx Rz Sx Sy Sz
// (angles in degrees, rotation stored in the order Y, X, Z). MdlData is one
// loaded model; CMdl (Model.h) plays it.
#include "data/DatArchive.h"
#include "gfxutil/Math.h"

#include <string>
#include <vector>

namespace quolis {

struct MdlPart {
    int parent = -1; // index into MdlData::parts, -1 for a root part
    std::string name;
    Mat4 pose = Mat4::Identity();
    std::vector<Vec3> scale;       // per key
    std::vector<Vec3> translation; // per key
    std::vector<Vec3> rotation;    // per key, (X, Y, Z) in radians
};

struct MdlData {
    std::vector<MdlPart> parts;
    Mat4 root = Mat4::Identity();
    int partCount = 0;
    int keyCount = 0;

    bool Empty() const { return parts.empty(); }
    void Clear();

    // Parses the tokens of one .mdl member. A file whose counts do not match
    // its tokens (too few or left over), with a token that is not a number
    // where one belongs, a name longer than 255 bytes, a parent index outside
    // the parts or parents that form a cycle is refused: the model is left
    // empty and false is returned.
    bool Parse(const TokenList& tokens);

    // Poses every part at the fractional key position (clamped to
    // 0 … F - 1, linear interpolation of plain numbers). Returns the clamped
    // position. Allocates nothing.
    float Pose(float position);

    // The part's world matrix: its pose, then its parents' poses up to the
    // root, then the root matrix.
    Mat4 PartWorld(std::size_t part) const;
};

// Degrees to radians as the game converts them.
constexpr float kDegToRad = 0.017453292f;

} // namespace quolis
