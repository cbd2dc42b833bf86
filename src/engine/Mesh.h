#pragma once
// X meshes: the mesh cache (one record per X-file name, for one scene) and
// CMesh, a drawable with its own placement and a local matrix supplied by the
// model that owns it.
#include "data/DatArchive.h"
#include "engine/SceneObject.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quolis {

// One loaded X file, owned by the mesh cache.
struct MeshRecord {
    struct Subset {
        std::size_t startIndex = 0;
        std::size_t triangleCount = 0;
    };

    std::string name;
    bool loaded = false;                   // false: the load failed, the record draws nothing
    BufferId buffers = 0;                  // position-normal-uv vertices, 16-bit indices
    std::vector<Material> materials;       // one per subset; ambient = diffuse
    std::vector<std::string> textureNames; // "XFile\" + file name, or empty
    std::vector<Subset> subsets;           // triangles sorted by material
    std::size_t vertexCount = 0;
    std::size_t triangleCount = 0;
    Vec3 sphereCentre;
    float sphereRadius = 0;
    float heightValue = 0; // 0; nothing changes it
};

class CMesh : public CRootObject, public CColour {
public:
    static constexpr const char* kArchivePath = "GameData\\XFile\\XFile.Dat";
    static constexpr int kStopwatchCount = 10;

    // --- the mesh cache (class-wide, one scene long) ---------------------------
    // Stores the X-file directory (used when the archive works from loose
    // files), the device and the archive.
    static void Init(std::string directory, Device* device, CDatArchive* archive);
    // Adds a record for the name and loads it, unless the name is cached.
    // E_FAIL when the load fails (the record stays, without a mesh).
    static HRESULT Preload(const std::string& name);
    // Releases every mesh and empties the cache.
    static void ReleaseAll();
    static const MeshRecord* FindRecord(std::string_view name);
    static std::size_t CachedMeshCount();

    CMesh();
    ~CMesh() override;

    // "Nothing" selects no mesh and zeroes the reference values; any other
    // name selects the cached record (loading it first when absent) and copies
    // its bounding sphere and height value.
    HRESULT SetMesh(std::string_view name);
    const std::string& MeshName() const { return meshName_; }
    const MeshRecord* Record() const { return record_; }

    void SetLocalMatrix(const Mat4& m) { local_ = m; }
    const Mat4& LocalMatrix() const { return local_; }
    // Degrees; rebuilds the rotation of the placement matrix (yaw, pitch,
    // roll), keeping its position row.
    void SetRotation(float pitch, float yaw, float roll);
    Vec3 GetRotation() const { return rotation_; }
    void SetPosition(float x, float y, float z);
    Vec3 GetPosition();
    const Mat4& Placement() const { return placement_; }

    // World := local x placement; each subset with the object's alpha x 0.004
    // as material alpha and its texture on stage 0. Nothing when disabled or
    // without a mesh.
    virtual HRESULT Draw();
    virtual HRESULT Release() { return S_OK; }

    // Moves the position toward (x, y, z) like the scene objects' GlideTo
    // (channel 0, snap at 0.1).
    int GlideTo(float x, float y, float z, float step);
    // The same on channel 1 with a snap distance of 0.3; while moving only the
    // stored target counts; once arrived a different target starts a new slide.
    int SlideTo(float x, float y, float z, float step);
    // The same slide on the rotation angles (degrees, channel 2): the menu
    // hub turns its map with it.
    int SlideRotationTo(float pitch, float yaw, float roll, float step);

    // Sphere centre x, y, z, radius and the height value of the selected mesh.
    const float* ReferenceValues() const { return reference_; }
    // (centre x, height value, centre z) through the placement matrix: where
    // number sprites and effects anchor.
    Vec3 ReferencePoint() const;

    CStopwatch& Stopwatch(int i) { return stopwatches_[i]; }
    GlideChannels& Glides() { return glides_; }

private:
    static MeshRecord* Lookup(std::string_view name);
    static HRESULT LoadRecord(MeshRecord& record);
    // SlideTo's state machine on glide channel `ch` from `now` toward `to`;
    // the new value goes to *out.
    int Slide(int ch, const Vec3& now, const Vec3& to, float step, Vec3* out);

    std::string meshName_ = "Nothing";
    MeshRecord* record_ = nullptr;
    Vec3 position_;
    Vec3 rotation_; // pitch, yaw, roll in degrees
    Mat4 placement_ = Mat4::Identity();
    Mat4 local_ = Mat4::Identity();
    float reference_[5] = {};
    CStopwatch stopwatches_[kStopwatchCount];
    GlideChannels glides_;
};

} // namespace quolis
