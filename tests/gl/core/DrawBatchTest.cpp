// The points that shapes and colliders send from their point lists (one vertex-array call
// each, or gathered into the frame's batch by World::draw) against the same points sent one
// glColor3f and glVertex3f at a time, as components drew them before: the same primitives,
// vertices and colours, and in the batch the same order within each kind.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collision/BoxCollider.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/PointDrawing.h"
#include "core/Transform.h"
#include "core/World.h"
#include "shapes/Cube.h"
#include "support/gl/GlTest.h"

using gltest::captureFeedback;
using gltest::Primitive;
using gltest::PrimitiveKind;

namespace {

const Point ORIGIN(0.0f, 0.0f, 0.0f, Color(1.0f, 0.0f, 0.0f, 1.0f));

class DrawBatchTest : public gltest::GlTest {};

// One vertex at a time between glBegin and glEnd.
void sendOneByOne(GLenum mode, const ComponentTransform& geometry) {
    glBegin(mode);
    emitVertices(geometry, 1, -1);
    glEnd();
}

void dotOneByOne(const Point& p) {
    glColor3f(p.color.r, p.color.g, p.color.b);
    glPointSize(4.0f);
    glBegin(GL_POINTS);
    glVertex3f(p.x, p.y, p.z);
    glEnd();
}

std::vector<Primitive> notOfKind(const std::vector<Primitive>& all, PrimitiveKind kind) {
    std::vector<Primitive> others;
    for (const Primitive& p : all) {
        if (p.kind != kind) {
            others.push_back(p);
        }
    }
    return others;
}

// Names the first primitive, vertex and field that differ.
void expectSame(const std::vector<Primitive>& expected, const std::vector<Primitive>& actual) {
    ASSERT_EQ(actual.size(), expected.size()) << "primitives";
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(actual[i].kind, expected[i].kind) << "primitive " << i;
        ASSERT_EQ(actual[i].vertices.size(), expected[i].vertices.size()) << "primitive " << i;
        for (size_t k = 0; k < expected[i].vertices.size(); ++k) {
            const auto& e = expected[i].vertices[k];
            const auto& a = actual[i].vertices[k];
            const float want[] = {e.x, e.y, e.z, e.r, e.g, e.b, e.a};
            const float got[] = {a.x, a.y, a.z, a.r, a.g, a.b, a.a};
            for (int field = 0; field < 7; ++field) {
                ASSERT_EQ(got[field], want[field])
                    << "primitive " << i << ", vertex " << k << ", field "
                    << "xyzrgba"[field];
            }
        }
    }
}

}  // namespace

TEST_F(DrawBatchTest, CubeFacesAndBoxColliderDotsAreTheVerticesAndColoursSentOneByOne) {
    for (const bool filled : {true, false}) {
        SCOPED_TRACE(filled ? "filled cube" : "wire cube");
        auto* object = new GameObject(true, true, Point(1, 2, 3, ORIGIN.color));
        auto* cube = new Cube(true, true, ORIGIN, ORIGIN.color, filled);
        auto* box = new BoxCollider(true, true, true, ORIGIN);
        object->addComponent(cube);
        object->addComponent(box);
        object->transform->rotate(0.3f, -1.1f, 2.0f);
        object->transform->scale(1.5f, 0.5f, 2.0f);
        const ComponentTransform& faces = *cube->componentTransform;
        const ComponentTransform& corners = *box->componentTransform;

        const auto oneByOne = captureFeedback([&] {
            sendOneByOne(filled ? GL_TRIANGLES : GL_LINE_LOOP, faces);
            dotOneByOne(faces.position);
            sendOneByOne(GL_POINTS, corners);
            dotOneByOne(corners.position);
            dotOneByOne(object->transform->position);
            dotOneByOne(Point(0, 0, 0, Color(1, 1, 1, 1)));
        });
        {
            SCOPED_TRACE("each component drawn by itself");
            expectSame(oneByOne, captureFeedback([&] { object->draw(17); }));
        }

        // The frame's batch sends the triangles first, then the dots, each kind in order.
        World& world = *World::getInstance();
        world.addObject(object);
        const auto batched = captureFeedback([&] { world.draw(17); });
        World::destroyInstance();
        SCOPED_TRACE("gathered into the frame's batch");
        expectSame(notOfKind(oneByOne, PrimitiveKind::Point),
                   notOfKind(batched, PrimitiveKind::Point));
        expectSame(gltest::primitivesOfKind(oneByOne, PrimitiveKind::Point),
                   gltest::primitivesOfKind(batched, PrimitiveKind::Point));
    }
}
