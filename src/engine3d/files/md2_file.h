// Reads a vertex-animated model file into a world as one mesh object: the first frame
// gives the points and triangles, every frame becomes a key of a point-move track, and a
// model of several frames hangs under an animated object that plays them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine3d/files/zyb_format.h"

class CInStream;
class ChunkReader;
class L3DObject;
class L3DWorld;

class CMD2File {
public:
    static constexpr uint32_t kIdent = 0x32504449; // "IDP2"
    static constexpr int32_t kVersion = 8;
    static constexpr uint32_t kHeaderSize = 68;
    // The format's published limits.
    static constexpr int32_t kMaxVertices = 2048;
    static constexpr int32_t kMaxTriangles = 4096;
    static constexpr int32_t kMaxFrames = 512;
    // Scale, translation and name before a frame's vertices.
    static constexpr int32_t kFrameHeaderSize = 40;

    CMD2File() = default;
    CMD2File(const CMD2File&) = delete;
    CMD2File& operator=(const CMD2File&) = delete;

    // The object is named after frame 0 in the end; the name (else the file's base name)
    // is what it bears until then. 0 when the file cannot be opened.
    int LoadFile(L3DWorld* world, const char* path, const char* name,
                 zyb::LoadStatistics* statistics);
    // 1 read; 0 for a header that is short, counts beyond the limits, or tables and
    // frames that do not lie inside the stream (the world is then unchanged). The stream
    // stays the caller's.
    int Load(L3DWorld* world, CInStream* stream, const char* name, zyb::LoadStatistics* statistics);

    // 1 when the stream starts with a whole header of this format's ident and version.
    static int IsMd2Stream(CInStream* stream);

private:
    struct Header {
        int32_t ident, version, skinWidth, skinHeight, frameSize, skinCount, vertexCount,
            texCoordCount, triangleCount, commandCount, frameCount, skinOffset, texCoordOffset,
            triangleOffset, frameOffset, commandOffset, endOffset;
    };
    struct Triangle {
        uint16_t vertex[3];
        uint16_t texCoord[3];
    };

    bool ReadHeader(ChunkReader& reader);
    bool Fits(uint64_t length) const;
    bool ReadTriangles(ChunkReader& reader);
    bool ReadTexCoords(ChunkReader& reader);
    // Every frame's positions, frame after frame, in the engine's axes.
    bool ReadFrames(ChunkReader& reader, std::vector<float>& positions, std::string& name);
    void BuildMesh(L3DObject& mesh, const float* positions);
    void BuildTrack(L3DObject& mesh, const std::vector<float>& positions);

    L3DWorld* world_ = nullptr;
    Header header_{};
    std::vector<Triangle> triangles_;
    std::vector<float> texCoords_;
};
