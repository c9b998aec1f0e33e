// QMF models: what the reader accepts, what it compiles, and whether the shipped creature looks
// like one through the scene's camera.
#include "engine/models.h"

#include "offscreen_gl.h"
#include "run_program.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

std::string ModelBytes(const std::string& name, const std::vector<TModelVertex>& vertices) {
    std::string bytes("QMF1\0", 5);
    bytes += name;
    bytes += '\0';
    for (const TModelVertex& vertex : vertices)
        for (float value : {vertex.X, vertex.Y, vertex.Z, vertex.S, vertex.T}) {
            uint32_t bits;
            std::memcpy(&bits, &value, 4);
            for (int shift = 0; shift < 32; shift += 8) bytes += char(bits >> shift);
        }
    return bytes;
}

std::vector<TModelVertex> Triangles(int count) {
    std::vector<TModelVertex> vertices;
    for (int i = 0; i < count * 3; ++i) {
        float k = float(i) / float(count * 3);
        vertices.push_back({k - 0.5f, 0.5f - k, 0.25f * float(i % 3) - 0.25f, k, 1 - k});
    }
    return vertices;
}

// What drawing the list as GL_TRIANGLES emits: window x, y and depth with the texture
// coordinates, read back through the feedback buffer (identity matrices, 64 by 64 viewport).
std::vector<TModelVertex> Feedback(GLuint list) {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glBegin(GL_TRIANGLES);
    glCallList(list);
    glEnd();
    GLint count = glRenderMode(GL_RENDER);
    std::vector<TModelVertex> vertices;
    for (GLint i = 0; i < count;) {
        EXPECT_EQ(buffer[i], GLfloat(GL_POLYGON_TOKEN));
        int corners = int(buffer[i + 1]);
        i += 2;
        for (int corner = 0; corner < corners; ++corner, i += 11)
            vertices.push_back(
                {buffer[i], buffer[i + 1], buffer[i + 2], buffer[i + 7], buffer[i + 8]});
    }
    return vertices;
}

class Models : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(OpenOffscreenGL(gl, 64, 64));
        dir = MakeScratchDir("models");
    }
    void TearDown() override {
        CloseOffscreenGL(gl);
        fs::remove_all(dir);
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    OffscreenGL gl;
    std::string dir;
};

TEST_F(Models, SixByteFileCompilesAnEmptyList) {
    TModelInfo info{5, "", "stale"};
    EXPECT_TRUE(LoadModel(Write("empty.qmf", std::string("QMF1\0\0", 6)), info));
    EXPECT_TRUE(glIsList(5));
    EXPECT_TRUE(Feedback(5).empty());
    EXPECT_EQ(info.ModelName, "");
    EXPECT_EQ(info.FileName, dir + "/empty.qmf");
}

TEST_F(Models, WrongSignatureOrMissingFileCompilesNothing) {
    TModelInfo info{6, "", ""};
    EXPECT_FALSE(LoadModel(Write("bad.qmf", std::string("QMF1X\0", 6)), info));
    EXPECT_FALSE(LoadModel(Write("short.qmf", "QMF"), info));
    EXPECT_FALSE(
        LoadModel(Write("text.qmf", "qmf1" + ModelBytes("x", Triangles(1)).substr(4)), info));
    EXPECT_FALSE(glIsList(6));
    EXPECT_FALSE(LoadModel(dir + "/missing.qmf", info));
    EXPECT_EQ(info.FileName, dir + "/missing.qmf");
    EXPECT_FALSE(LoadModel(dir, info));
    EXPECT_FALSE(glIsList(6));
}

TEST_F(Models, NameAndThirtySixRecordsGiveTwelveTrianglesInFileOrder) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    std::vector<TModelVertex> vertices = Triangles(12);
    vertices[0] = {-0.75f, 0.5f, -1.0f, 1.5f, -2.25f}; // exact in binary, so exact after the trip
    TModelInfo info{3, "", ""};
    ASSERT_TRUE(LoadModel(Write("tuvo.qmf", ModelBytes("tuvo", vertices)), info));
    EXPECT_EQ(info.ModelName, "tuvo");

    std::vector<TModelVertex> drawn = Feedback(3);
    ASSERT_EQ(drawn.size(), 36u);
    for (size_t i = 0; i < drawn.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(drawn[i].X, (vertices[i].X + 1) * 32, 1e-3);
        EXPECT_NEAR(drawn[i].Y, (vertices[i].Y + 1) * 32, 1e-3);
        EXPECT_NEAR(drawn[i].Z, (vertices[i].Z + 1) / 2, 1e-3);
        EXPECT_FLOAT_EQ(drawn[i].S, vertices[i].S);
        EXPECT_FLOAT_EQ(drawn[i].T, vertices[i].T);
    }
}

TEST_F(Models, TheListHoldsNoPrimitiveOrStateOfItsOwn) {
    TModelInfo info{4, "", ""};
    ASSERT_TRUE(LoadModel(Write("one.qmf", ModelBytes("one", Triangles(1))), info));
    // Called between glBegin and glEnd a list with glBegin in it would raise an error.
    glBegin(GL_TRIANGLES);
    glCallList(4);
    glEnd();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLfloat colour[4];
    glColor4f(0.25f, 0.5f, 0.75f, 1);
    glCallList(4);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[1], 0.5f);
}

TEST_F(Models, TwoModelsIntoOneListLeaveTheSecond) {
    TModelInfo first{2, "", ""}, second{2, "", ""};
    ASSERT_TRUE(LoadModel(Write("a.qmf", ModelBytes("a", Triangles(4))), first));
    ASSERT_TRUE(LoadModel(Write("b.qmf", ModelBytes("b", Triangles(1))), second));
    EXPECT_EQ(Feedback(2).size(), 3u);
    EXPECT_EQ(second.ModelName, "b");
}

TEST_F(Models, FileCutInsideItsNameHasThatNameAndNoVertices) {
    TModelInfo info{7, "", ""};
    ASSERT_TRUE(LoadModel(Write("cut.qmf", std::string("QMF1\0tuv", 8)), info));
    EXPECT_EQ(info.ModelName, "tuv");
    EXPECT_TRUE(glIsList(7));
    EXPECT_TRUE(Feedback(7).empty());
}

TEST_F(Models, TrailingPieceShorterThanARecordIsIgnored) {
    TModelInfo info{8, "", ""};
    std::string bytes = ModelBytes("t", Triangles(2));
    ASSERT_TRUE(LoadModel(Write("tail.qmf", bytes + std::string(19, '\x7F')), info));
    EXPECT_EQ(Feedback(8).size(), 6u);
}

TEST_F(Models, ListNameZeroOrAListBeingCompiledIsRefused) {
    std::string path = Write("one.qmf", ModelBytes("one", Triangles(1)));
    TModelInfo zero{0, "", ""};
    EXPECT_FALSE(LoadModel(path, zero));

    glNewList(20, GL_COMPILE);
    TModelInfo nested{21, "", ""};
    EXPECT_FALSE(LoadModel(path, nested));
    EXPECT_EQ(glGetError(), GLenum(GL_INVALID_OPERATION)) << "from the refused glNewList";
    glEndList(); // fails if the loader ended the outer list
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_FALSE(glIsList(21));
    EXPECT_TRUE(glIsList(20));
}

TEST(ParseModel, SplitsNameFromRecordsAndRejectsShortOrForeignInput) {
    std::string name;
    std::vector<TModelVertex> vertices;
    EXPECT_FALSE(ParseModel(nullptr, 0, name, vertices));
    std::string bytes = ModelBytes("abc", Triangles(1));
    auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    EXPECT_FALSE(ParseModel(data, 4, name, vertices));
    ASSERT_TRUE(ParseModel(data, bytes.size(), name, vertices));
    EXPECT_EQ(name, "abc");
    EXPECT_EQ(vertices.size(), 3u);
    ASSERT_TRUE(ParseModel(data, bytes.size() - 1, name, vertices));
    EXPECT_EQ(vertices.size(), 2u);
    ASSERT_TRUE(ParseModel(data, 5, name, vertices));
    EXPECT_EQ(name, "");
    EXPECT_TRUE(vertices.empty());
}

// The creature as the build makes it.
const char* const CreatureParts[] = {"tuvobody",  "tuvoeyes",  "tuvokluv",  "tuvolegal",
                                     "tuvolegas", "tuvolegbl", "tuvolegbs", "tuvotail"};

std::vector<TModelVertex> ReadCreaturePart(const std::string& part) {
    std::ifstream file(std::string(TOOLS_DIR) + "/models/" + part + ".qmf", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), {});
    std::string name;
    std::vector<TModelVertex> vertices;
    EXPECT_TRUE(
        ParseModel(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), name, vertices))
        << part;
    EXPECT_EQ(name, part);
    return vertices;
}

struct Box {
    float MinX = 1e9f, MaxX = -1e9f, MinY = 1e9f, MaxY = -1e9f, MinZ = 1e9f, MaxZ = -1e9f;
};

Box Bounds(const std::vector<TModelVertex>& vertices) {
    Box box;
    for (const TModelVertex& v : vertices) {
        box.MinX = std::min(box.MinX, v.X), box.MaxX = std::max(box.MaxX, v.X);
        box.MinY = std::min(box.MinY, v.Y), box.MaxY = std::max(box.MaxY, v.Y);
        box.MinZ = std::min(box.MinZ, v.Z), box.MaxZ = std::max(box.MaxZ, v.Z);
    }
    return box;
}

TEST(Creature, PartsStandOnTheRoadInsideItsWidthFacingTheFarEnd) {
    std::map<std::string, Box> boxes;
    for (const char* part : CreatureParts) {
        std::vector<TModelVertex> vertices = ReadCreaturePart(part);
        EXPECT_FALSE(vertices.empty()) << part;
        EXPECT_EQ(vertices.size() % 3, 0u) << part;
        boxes[part] = Bounds(vertices);
        EXPECT_GE(boxes[part].MinX, -10) << part;
        EXPECT_LE(boxes[part].MaxX, 10) << part;
    }
    for (const char* foot : {"tuvolegas", "tuvolegbs"}) {
        EXPECT_NEAR(boxes[foot].MinZ, -10, 0.1) << foot;
        EXPECT_LT(boxes[foot].MinY, boxes[foot].MaxY - 3) << foot << " has toes pointing ahead";
    }
    // Each leg hangs from the hip axis inside the body down to its foot.
    for (auto [leg, foot] : {std::pair{"tuvolegal", "tuvolegas"}, {"tuvolegbl", "tuvolegbs"}}) {
        EXPECT_GT(boxes[leg].MaxZ, 0) << leg;
        EXPECT_GT(boxes[leg].MaxZ, boxes["tuvobody"].MinZ) << leg;
        EXPECT_LT(boxes[leg].MinZ, boxes[foot].MaxZ) << leg;
    }
    EXPECT_GT(boxes["tuvolegal"].MinX, 0);
    EXPECT_LT(boxes["tuvolegbl"].MaxX, 0);
    EXPECT_LT(boxes["tuvokluv"].MinY, boxes["tuvobody"].MinY) << "the beak points ahead";
    EXPECT_GT(boxes["tuvotail"].MaxY, boxes["tuvobody"].MaxY) << "the tail sticks out behind";
}

// The scene's camera: the world transform, or the creature's, which is lifted by the jump.
void SceneTransform(float jump, float yaw, float sway) {
    glLoadIdentity();
    glTranslatef(0, jump, -50 + jump);
    glRotatef(180, 0, 0, 1);
    glRotatef(45, 1, 0, 0);
    glRotatef(yaw, 0, 0, 1);
    glRotatef(sway, 0, 1, 0);
}

float LegAngle(int phase) {
    return phase < 15 ? (phase - 7.5f) * 4 : (22.5f - phase) * 4;
}

void DrawPart(GLuint list, float r, float g, float b) {
    glColor3f(r, g, b);
    glBegin(GL_TRIANGLES);
    glCallList(list);
    glEnd();
}

struct Pose {
    float Jump = 0, Yaw = 0, Sway = 0;
    int Phase = 7;
};

// Draws the grey road and the creature as the game does; the lists 1 to 8 hold the parts in the
// order of the registration table.
void DrawScene(const Pose& pose) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, 800.0 / 600.0, 0.1, 1000);
    glMatrixMode(GL_MODELVIEW);
    SceneTransform(0, pose.Yaw, pose.Sway);
    glColor3f(0.4f, 0.4f, 0.4f);
    glBegin(GL_QUADS);
    glVertex3f(-10, -500, -10);
    glVertex3f(10, -500, -10);
    glVertex3f(10, 500, -10);
    glVertex3f(-10, 500, -10);
    glEnd();
    const float beak[3] = {200 / 255.0f, 150 / 255.0f, 0};
    SceneTransform(pose.Jump, pose.Yaw, pose.Sway);
    DrawPart(1, 1, 1, 0);
    DrawPart(2, 1, 1, 1);
    DrawPart(8, 1, 1, 1);
    DrawPart(3, beak[0], beak[1], beak[2]);
    SceneTransform(pose.Jump, pose.Yaw, pose.Sway);
    glRotatef(LegAngle(pose.Phase), 1, 0, 0);
    DrawPart(4, 1, 1, 1);
    DrawPart(5, beak[0], beak[1], beak[2]);
    SceneTransform(pose.Jump, pose.Yaw, pose.Sway);
    glRotatef(LegAngle(pose.Phase), -1, 0, 0);
    DrawPart(6, 1, 1, 1);
    DrawPart(7, beak[0], beak[1], beak[2]);
}

enum class Paint { Other, Yellow, Orange, White, Road };

Paint Classify(const uint8_t* p) {
    if (p[0] > 240 && p[1] > 240 && p[2] < 20) return Paint::Yellow;
    if (p[0] > 240 && p[1] > 240 && p[2] > 240) return Paint::White;
    if (std::abs(p[0] - 200) < 8 && std::abs(p[1] - 150) < 8 && p[2] < 20) return Paint::Orange;
    if (std::abs(p[0] - 102) < 4 && p[0] == p[1] && p[1] == p[2]) return Paint::Road;
    return Paint::Other;
}

struct PaintExtent {
    int Count = 0, MinX = 1 << 20, MaxX = -1, MinY = 1 << 20, MaxY = -1; // y counts upwards
    int MiddleX() const { return (MinX + MaxX) / 2; }
    int MiddleY() const { return (MinY + MaxY) / 2; }
};

struct Picture {
    int Width = 0, Height = 0;
    std::vector<uint8_t> Pixels = ReadPixelsRGBA(0, 0, Width, Height);

    // Where the paint shows within the rows from `minY` up to `maxY`.
    PaintExtent Extent(Paint paint, int minY = 0, int maxY = 1 << 20) const {
        PaintExtent e;
        for (int y = std::max(minY, 0); y < std::min(maxY + 1, Height); ++y)
            for (int x = 0; x < Width; ++x) {
                if (Classify(&Pixels[(size_t(y) * Width + x) * 4]) != paint) continue;
                ++e.Count;
                e.MinX = std::min(e.MinX, x), e.MaxX = std::max(e.MaxX, x);
                e.MinY = std::min(e.MinY, y), e.MaxY = std::max(e.MaxY, y);
            }
        return e;
    }
};

class CreatureView : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(OpenOffscreenGL(gl, Width, Height));
        for (GLuint list = 1; list <= 8; ++list) {
            TModelInfo info{list, "", ""};
            std::string path =
                std::string(TOOLS_DIR) + "/models/" + CreatureParts[list - 1] + ".qmf";
            ASSERT_TRUE(LoadModel(path, info)) << path;
        }
    }
    void TearDown() override { CloseOffscreenGL(gl); }
    static constexpr int Width = 400, Height = 300;
    OffscreenGL gl;
};

TEST_F(CreatureView, SeenFromBehindItIsAYellowChickOnTheRoad) {
    DrawScene({});
    SaveFramebufferPPM("creature_behind.ppm", Width, Height);
    Picture picture{Width, Height};
    PaintExtent body = picture.Extent(Paint::Yellow);
    PaintExtent feet = picture.Extent(Paint::Orange);
    PaintExtent road = picture.Extent(Paint::Road);
    EXPECT_GT(body.Count, Width * Height / 30) << "a body that fills a good part of the view";
    EXPECT_LT(body.Count, Width * Height / 6);
    EXPECT_NEAR(body.MiddleX(), Width / 2.0, 3) << "centred across";
    EXPECT_LT(feet.MinY, body.MinY) << "the feet show below the body";
    EXPECT_GT(feet.Count, 50);
    EXPECT_LT(picture.Extent(Paint::White).MinY, body.MinY) << "white legs below the body";
    EXPECT_GT(picture.Extent(Paint::White, body.MiddleY() - 30, body.MiddleY() + 10).Count, 50)
        << "the tail on its back";
    // Its feet stand on the road, with road on both sides of them.
    EXPECT_LT(road.MinX, feet.MinX);
    EXPECT_GT(road.MaxX, feet.MaxX);
}

TEST_F(CreatureView, FromTheSideItFacesTheFarEndWithBeakAndEyeAtHeadHeight) {
    DrawScene({0, 90, 0, 0});
    SaveFramebufferPPM("creature_side.ppm", Width, Height);
    Picture picture{Width, Height};
    PaintExtent body = picture.Extent(Paint::Yellow);
    int headHeight = body.MiddleY();
    PaintExtent beak = picture.Extent(Paint::Orange, headHeight, Height);
    PaintExtent eye = picture.Extent(Paint::White, headHeight, Height);
    EXPECT_GT(beak.Count, 30);
    EXPECT_LT(beak.MaxX, body.MinX + 10) << "the beak sticks out in front";
    EXPECT_GT(eye.Count, 30);
    EXPECT_LT(eye.MinX, body.MiddleX()) << "the eye sits at the front";
    EXPECT_GT(eye.MaxX, body.MiddleX()) << "the tail rises at the back";
    PaintExtent feet = picture.Extent(Paint::Orange, 0, body.MinY);
    EXPECT_GT(feet.MaxX - feet.MinX, (body.MaxX - body.MinX) / 3) << "legs apart in mid-stride";
}

TEST_F(CreatureView, StaysInViewAtTheTopOfAJumpWithTheCameraTurnedAndSwaying) {
    for (Pose pose : {Pose{5.25f, 0, 30, 15}, Pose{5.25f, 90, -30, 0}, Pose{5.25f, 180, 0, 22},
                      Pose{5.25f, 270, 30, 7}}) {
        DrawScene(pose);
        Picture picture{Width, Height};
        for (Paint paint : {Paint::Yellow, Paint::Orange, Paint::White}) {
            PaintExtent e = picture.Extent(paint);
            SCOPED_TRACE(testing::Message() << "yaw " << pose.Yaw << " paint " << int(paint));
            EXPECT_GT(e.MinX, 0);
            EXPECT_LT(e.MaxX, Width - 1);
            EXPECT_GT(e.MinY, 0);
            EXPECT_LT(e.MaxY, Height - 1);
        }
    }
}

} // namespace
