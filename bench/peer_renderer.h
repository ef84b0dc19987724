// bench/peer_renderer.h - the generated sphere drawn by Mesa's llvmpipe through OSMesa,
// framed, lit and coloured as Tarne draws the same world (bench/spheres.h), into its own
// 640 x 480 BGRA picture. Needs OSMesa (tools/install-deps.sh --bench).
#pragma once

#include "bench/spheres.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/osmesa.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace bench_spheres {

// The sphere as the peer draws it: positions in internal order (a model-view matrix
// turns them into its eye space), unit normals, repeated texture coordinates.
struct PeerMesh {
    std::vector<f32> positions;
    std::vector<f32> normals;
    std::vector<f32> texCoords;
    std::vector<u32> indices;
};

inline bool buildPeerMesh(u32 triangles, bool textured, PeerMesh& mesh)
{
    SphereScene scene(triangles, textured, 1, kPlain);
    if (!scene.ready) return false;
    const World& world = scene.world;
    for (u32 v = 0; v < world.vertexCount; ++v) {
        const f32 p[3] = {world.vertexZ[v], world.vertexX[v], world.vertexY[v]};
        const f32 d[3] = {(p[0] - kSphereDepth) / kSphereRadius, p[1] / kSphereRadius,
                          p[2] / kSphereRadius};
        mesh.positions.insert(mesh.positions.end(), p, p + 3);
        mesh.normals.insert(mesh.normals.end(), d, d + 3);
        if (textured) {
            mesh.texCoords.push_back(world.vertexTexCoords[v][0] * kRepeatS);
            mesh.texCoords.push_back(world.vertexTexCoords[v][1] * kRepeatT);
        }
    }
    for (u32 f = 0; f < world.faceCount; ++f) {
        const FaceRecord& face = world.faces[f];
        if (face.vertexCount != 3) continue; // the empty row at the end
        const u32* corners = world.faceIndices + face.firstIndex;
        mesh.indices.insert(mesh.indices.end(), corners, corners + 3);
    }
    return true;
}

// An OSMesa context drawing into its own 640 x 480 BGRA picture, with the mesh in
// buffer objects, lit and framed as Tarne frames the same world.
class PeerRenderer {
public:
    bool open(const PeerMesh& mesh, bool textured)
    {
        context_ = OSMesaCreateContextExt(OSMESA_BGRA, 24, 0, 0, nullptr);
        if (!context_) return false;
        pixels_.assign(static_cast<std::size_t>(kWidth) * kHeight * 4, 0);
        if (!OSMesaMakeCurrent(context_, pixels_.data(), GL_UNSIGNED_BYTE, kWidth, kHeight))
            return false;
        glViewport(0, 0, kWidth, kHeight);
        frame();
        lights();
        if (textured) texture();
        upload(mesh, textured);
        return glGetError() == GL_NO_ERROR;
    }

    void draw()
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDrawElements(GL_TRIANGLES, indexCount_, GL_UNSIGNED_INT, nullptr);
        glFinish();
    }

    ~PeerRenderer()
    {
        if (!context_) return;
        glDeleteBuffers(4, buffers_);
        if (texture_) glDeleteTextures(1, &texture_);
        OSMesaDestroyContext(context_);
    }

    static std::string name()
    {
        const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        return renderer ? renderer : "?";
    }

private:
    // Tarne's view angle is half the horizontal opening; the vertical one follows from
    // the aspect ratio. Internal axes (depth, left, up) are the peer's (-z, -x, y).
    void frame()
    {
        const f64 nearPlane = 1000.0, farPlane = 100000.0;
        const f64 across = nearPlane * std::tan(0.3);
        const f64 aspect = static_cast<f64>(kHeight) / kWidth;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-across, across, -across * aspect, across * aspect, nearPlane, farPlane);
        glMatrixMode(GL_MODELVIEW);
        const GLfloat toEye[16] = {0, 0, -1, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1};
        glLoadMatrixf(toEye);
        glClearColor(0.0f, 0.0f, kBackgroundBlue / 255.0f, 1.0f);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glDisable(GL_CULL_FACE);
        glShadeModel(GL_SMOOTH);
    }

    void lights()
    {
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_NORMALIZE);
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE); // back faces lit, as Tarne's
        // Set under the model-view matrix, so the sun's row turns as the vertices do.
        const GLfloat sun[4] = {kSun[0], kSun[1], kSun[2], 0.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, sun);
        const GLfloat diffuse[4] = {kDiffuse[0], kDiffuse[1], kDiffuse[2], 1.0f};
        const GLfloat specular[4] = {kSpecular, kSpecular, kSpecular, 1.0f};
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 8.0f);
    }

    void texture()
    {
        std::vector<u8> texels(static_cast<std::size_t>(kTextureSide) * kTextureSide * 3);
        for (int row = 0; row < kTextureSide; ++row)
            for (int column = 0; column < kTextureSide; ++column)
                std::fill_n(texels.begin() + 3 * (row * kTextureSide + column), 3,
                            checkerTexel(row, column));
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kTextureSide, kTextureSide, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, texels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnable(GL_TEXTURE_2D);
    }

    void upload(const PeerMesh& mesh, bool textured)
    {
        glGenBuffers(4, buffers_);
        auto bytes = [](const auto& v) { return static_cast<GLsizeiptr>(v.size() * sizeof(v[0])); };
        glBindBuffer(GL_ARRAY_BUFFER, buffers_[0]);
        glBufferData(GL_ARRAY_BUFFER, bytes(mesh.positions), mesh.positions.data(), GL_STATIC_DRAW);
        glVertexPointer(3, GL_FLOAT, 0, nullptr);
        glEnableClientState(GL_VERTEX_ARRAY);
        glBindBuffer(GL_ARRAY_BUFFER, buffers_[1]);
        glBufferData(GL_ARRAY_BUFFER, bytes(mesh.normals), mesh.normals.data(), GL_STATIC_DRAW);
        glNormalPointer(GL_FLOAT, 0, nullptr);
        glEnableClientState(GL_NORMAL_ARRAY);
        if (textured) {
            glBindBuffer(GL_ARRAY_BUFFER, buffers_[2]);
            glBufferData(GL_ARRAY_BUFFER, bytes(mesh.texCoords), mesh.texCoords.data(),
                         GL_STATIC_DRAW);
            glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers_[3]);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, bytes(mesh.indices), mesh.indices.data(),
                     GL_STATIC_DRAW);
        indexCount_ = static_cast<GLsizei>(mesh.indices.size());
    }

    OSMesaContext context_ = nullptr;
    std::vector<u8> pixels_;
    GLuint buffers_[4] = {0, 0, 0, 0};
    GLuint texture_ = 0;
    GLsizei indexCount_ = 0;
};

} // namespace bench_spheres
