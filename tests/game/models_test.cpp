// QMF models: what the loader accepts and compiles, and whether the shipped creature looks like
// one through the scene's camera.
#include "engine/models.h"

#include "offscreen_gl.h"
#include "run_program.h"
#include "scratch_folder.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

std::string ModelBytes(const std::string& name, const std::vector<TModelVertex>& vertices) {
    std::string bytes = std::string("QMF1\0", 5) + name + '\0';
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

// The corners that drawing the list as GL_TRIANGLES emits (window x, y, depth and the texture
// coordinates), read back through the feedback buffer with identity matrices.
std::vector<TModelVertex> Feedback(GLuint list) {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glBegin(GL_TRIANGLES);
    glCallList(list);
    glEnd();
    GLint count = glRenderMode(GL_RENDER);
    std::vector<TModelVertex> corners;
    for (GLint i = 0; i + 2 <= count; i += 2 + 11 * int(buffer[i + 1])) {
        EXPECT_EQ(buffer[i], GLfloat(GL_POLYGON_TOKEN));
        for (int at = i + 2; at < i + 2 + 11 * int(buffer[i + 1]); at += 11)
            corners.push_back(
                {buffer[at], buffer[at + 1], buffer[at + 2], buffer[at + 7], buffer[at + 8]});
    }
    return corners;
}

class Models : public ScratchFolderTest {
  protected:
    void SetUp() override { ASSERT_TRUE(OpenOffscreenGL(gl, 64, 64)); }
    void TearDown() override { CloseOffscreenGL(gl); }
    std::string Write(const std::string& name, const std::string& bytes) {
        std::ofstream(Dir + "/" + name, std::ios::binary) << bytes;
        return Dir + "/" + name;
    }
    OffscreenGL gl;
};

TEST_F(Models, SixByteFileCompilesAnEmptyListAndACutNameEndsWithTheFile) {
    TModelInfo info{5, "", "stale"};
    EXPECT_TRUE(LoadModel(Write("empty.qmf", std::string("QMF1\0\0", 6)), info));
    EXPECT_EQ(info.FileName, Dir + "/empty.qmf");
    EXPECT_EQ(info.ModelName, "");
    EXPECT_TRUE(glIsList(5));
    EXPECT_TRUE(Feedback(5).empty());

    TModelInfo cut{7, "", ""};
    EXPECT_TRUE(LoadModel(Write("cut.qmf", std::string("QMF1\0tuv", 8)), cut));
    EXPECT_EQ(cut.ModelName, "tuv");
    EXPECT_TRUE(glIsList(7));
    EXPECT_TRUE(Feedback(7).empty());
}

TEST_F(Models, WrongSignatureOrMissingFileCompilesNothing) {
    TModelInfo info{6, "", ""};
    EXPECT_FALSE(LoadModel(Write("bad.qmf", std::string("QMF1X\0", 6)), info));
    EXPECT_FALSE(LoadModel(Write("short.qmf", "QMF"), info));
    EXPECT_FALSE(
        LoadModel(Write("case.qmf", "qmf1" + ModelBytes("x", Triangles(1)).substr(4)), info));
    EXPECT_FALSE(LoadModel(Dir + "/missing.qmf", info));
    EXPECT_EQ(info.FileName, Dir + "/missing.qmf");
    EXPECT_FALSE(LoadModel(Dir, info));
    EXPECT_FALSE(glIsList(6));
}

TEST_F(Models, NameAndThirtySixRecordsGiveTwelveTrianglesInFileOrder) {
    std::vector<TModelVertex> vertices = Triangles(12);
    vertices[0] = {-0.75f, 0.5f, -1.0f, 1.5f, -2.25f};
    TModelInfo info{3, "", ""};
    // A trailing piece shorter than a record is ignored.
    std::string bytes = ModelBytes("tuvo", vertices) + std::string(19, '\x7F');
    ASSERT_TRUE(LoadModel(Write("tuvo.qmf", bytes), info));
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

TEST_F(Models, TwoModelsIntoOneListLeaveTheSecond) {
    TModelInfo first{2, "", ""}, second{2, "", ""};
    ASSERT_TRUE(LoadModel(Write("a.qmf", ModelBytes("a", Triangles(4))), first));
    ASSERT_TRUE(LoadModel(Write("b.qmf", ModelBytes("b", Triangles(1))), second));
    EXPECT_EQ(Feedback(2).size(), 3u);
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
}

// The creature as the build makes it, in the order of the registration table's list names 1 to 8.
const char* const Parts[] = {"tuvobody",  "tuvoeyes",  "tuvokluv",  "tuvolegal",
                             "tuvolegas", "tuvolegbl", "tuvolegbs", "tuvotail"};
const float Beak[3] = {200 / 255.0f, 150 / 255.0f, 0};

std::string PartPath(const char* part) {
    return std::string(TOOLS_DIR) + "/game_assets/models/" + part + ".qmf";
}

struct Box {
    float MinX = 1e9f, MaxX = -1e9f, MinY = 1e9f, MaxY = -1e9f, MinZ = 1e9f, MaxZ = -1e9f;
};

Box ReadPartBounds(const char* part) {
    std::ifstream file(PartPath(part), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), {}), name;
    std::vector<TModelVertex> vertices;
    EXPECT_TRUE(
        ParseModel(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), name, vertices));
    EXPECT_EQ(name, part);
    EXPECT_FALSE(vertices.empty()) << part;
    EXPECT_EQ(vertices.size() % 3, 0u) << part;
    Box box;
    for (const TModelVertex& v : vertices) {
        box.MinX = std::min(box.MinX, v.X), box.MaxX = std::max(box.MaxX, v.X);
        box.MinY = std::min(box.MinY, v.Y), box.MaxY = std::max(box.MaxY, v.Y);
        box.MinZ = std::min(box.MinZ, v.Z), box.MaxZ = std::max(box.MaxZ, v.Z);
    }
    return box;
}

TEST(Creature, FacesTheFarEndWithLegsFromTheHipAxisToFeetOnTheRoad) {
    for (const char* part : Parts) {
        Box box = ReadPartBounds(part);
        EXPECT_GE(box.MinX, -10) << part << " fits on the road";
        EXPECT_LE(box.MaxX, 10) << part << " fits on the road";
    }
    Box body = ReadPartBounds("tuvobody");
    for (const char* leg : {"tuvolegal", "tuvolegbl"}) { // thighs, from inside the body to below it
        Box thigh = ReadPartBounds(leg);
        EXPECT_LT(thigh.MinZ, body.MinZ) << leg;
        EXPECT_GT(thigh.MaxZ, body.MinZ) << leg;
        Box foot = ReadPartBounds(leg == std::string("tuvolegal") ? "tuvolegas" : "tuvolegbs");
        EXPECT_NEAR(foot.MinZ, -10, 0.1) << leg << " on the road";
        EXPECT_GT(foot.MaxZ, thigh.MinZ) << leg << " shank meets the thigh";
    }
    EXPECT_GT(ReadPartBounds("tuvolegas").MinX, 0) << "group A on one side";
    EXPECT_LT(ReadPartBounds("tuvolegbs").MaxX, 0) << "group B on the other";
    EXPECT_LT(ReadPartBounds("tuvokluv").MinY, ReadPartBounds("tuvobody").MinY) << "beak ahead";
    EXPECT_GT(ReadPartBounds("tuvotail").MaxY, ReadPartBounds("tuvobody").MaxY) << "tail behind";
}

// The scene's camera with the creature's lift by the jump (0 gives the world transform).
void SceneTransform(float jump, float yaw, float sway) {
    glLoadIdentity();
    glTranslatef(0, jump, -50 + jump);
    glRotatef(180, 0, 0, 1);
    glRotatef(45, 1, 0, 0);
    glRotatef(yaw, 0, 0, 1);
    glRotatef(sway, 0, 1, 0);
}

// Whether the parts are drawn with DrawModelTriangles rather than wrapped in glBegin and glEnd.
bool WholePrimitives = false;

void DrawPart(GLuint list, const float* colour) {
    glColor3fv(colour);
    if (WholePrimitives) return DrawModelTriangles(list);
    glBegin(GL_TRIANGLES);
    glCallList(list);
    glEnd();
}

// A grey road and the creature, coloured and posed as the scene draws them.
void DrawScene(float jump, float yaw, float sway, int phase) {
    const float yellow[3] = {1, 1, 0}, white[3] = {1, 1, 1}, grey[3] = {0.4f, 0.4f, 0.4f};
    float legAngle = phase < 15 ? (phase - 7.5f) * 4 : (22.5f - phase) * 4;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, 800.0 / 600.0, 0.1, 1000);
    glMatrixMode(GL_MODELVIEW);
    SceneTransform(0, yaw, sway);
    glColor3fv(grey);
    glBegin(GL_QUADS);
    for (auto [x, y] : {std::pair{-10, -500}, {10, -500}, {10, 500}, {-10, 500}})
        glVertex3i(x, y, -10);
    glEnd();
    SceneTransform(jump, yaw, sway);
    for (auto [list, colour] : {std::pair{1, yellow}, {2, white}, {8, white}, {3, Beak}})
        DrawPart(list, colour);
    for (float side : {1.0f, -1.0f}) {
        SceneTransform(jump, yaw, sway);
        glRotatef(legAngle, side, 0, 0);
        DrawPart(side > 0 ? 4 : 6, white);
        DrawPart(side > 0 ? 5 : 7, Beak);
    }
}

// Where the colour shows in the frame, between two rows counted from the bottom.
struct Extent {
    int Count = 0, MinX = 1 << 20, MaxX = -1, MinY = 1 << 20, MaxY = -1;
    int MiddleX() const { return (MinX + MaxX) / 2; }
    int MiddleY() const { return (MinY + MaxY) / 2; }
};

class CreatureView : public testing::Test {
  protected:
    static constexpr int Width = 400, Height = 300;
    void SetUp() override {
        ASSERT_TRUE(OpenOffscreenGL(gl, Width, Height));
        glEnable(GL_DEPTH_TEST);
        for (GLuint list = 1; list <= 8; ++list) {
            TModelInfo info{list, "", ""};
            ASSERT_TRUE(LoadModel(PartPath(Parts[list - 1]), info));
        }
    }
    void TearDown() override { CloseOffscreenGL(gl); }
    Extent Find(const float* colour, int fromRow = 0, int toRow = Height) {
        std::vector<uint8_t> pixels = ReadPixelsRGBA(0, 0, Width, Height);
        Extent e;
        for (int y = std::max(fromRow, 0); y < std::min(toRow, Height); ++y)
            for (int x = 0; x < Width; ++x) {
                const uint8_t* p = &pixels[(size_t(y) * Width + x) * 4];
                bool same = true;
                for (int c = 0; c < 3; ++c) same &= std::abs(p[c] - colour[c] * 255) < 2;
                if (!same) continue;
                ++e.Count;
                e.MinX = std::min(e.MinX, x), e.MaxX = std::max(e.MaxX, x);
                e.MinY = std::min(e.MinY, y), e.MaxY = std::max(e.MaxY, y);
            }
        return e;
    }
    OffscreenGL gl;
    const float Yellow[3] = {1, 1, 0}, White[3] = {1, 1, 1}, Road[3] = {0.4f, 0.4f, 0.4f};
};

TEST_F(CreatureView, FromBehindAYellowChickStandsOnTheRoadWithItsTailUp) {
    DrawScene(0, 0, 0, 7);
    SaveFramebufferPPM("creature_behind.ppm", Width, Height);
    Extent body = Find(Yellow), feet = Find(Beak), road = Find(Road);
    EXPECT_GT(body.Count, Width * Height / 150);
    EXPECT_LT(body.Count, Width * Height / 20);
    // The camera sees over it: the road ahead shows above its head, where a hole comes in sight.
    EXPECT_LT(body.MaxY, Height * 0.6) << "the head's top row";
    EXPECT_NEAR(body.MiddleX(), Width / 2, 3);
    EXPECT_GT(feet.Count, 50) << "feet below the body";
    EXPECT_LT(feet.MinY, body.MinY) << "feet below the body";
    EXPECT_LT(road.MinX, feet.MinX) << "standing on the road";
    EXPECT_GT(road.MaxX, feet.MaxX) << "standing on the road";
    EXPECT_GT(Find(Beak).MaxY, body.MaxY) << "the beak's tip over the head";
    EXPECT_GT(Find(White, body.MiddleY() - 30, body.MiddleY() + 10).Count, 50) << "the tail";
}

TEST_F(CreatureView, StaysInViewAtTheTopOfAJumpWithTheCameraTurnedAndSwaying) {
    for (float yaw : {0, 90, 180, 270}) {
        DrawScene(5.25f, yaw, yaw < 100 ? 30 : -30, int(yaw) / 12);
        SaveFramebufferPPM("creature_" + std::to_string(int(yaw)) + ".ppm", Width, Height);
        for (const float* colour : {Yellow, White, Beak}) {
            Extent e = Find(colour);
            EXPECT_GT(e.MinX, 0) << "yaw " << yaw;
            EXPECT_LT(e.MaxX, Width - 1) << "yaw " << yaw;
            EXPECT_GT(e.MinY, 0) << "yaw " << yaw;
            EXPECT_LT(e.MaxY, Height - 1) << "yaw " << yaw;
        }
    }
}

// Both ways feed the same vertices through the same transforms, so the picture must not change
// by a single pixel.
TEST_F(CreatureView, AsOnePrimitiveDrawsTheSamePixelsAsTheWrappedLists) {
    for (float yaw : {0, 45, 200}) {
        WholePrimitives = false;
        DrawScene(yaw / 40, yaw, 15, int(yaw) % 30);
        std::vector<uint8_t> wrapped = ReadPixelsRGBA(0, 0, Width, Height);
        WholePrimitives = true;
        DrawScene(yaw / 40, yaw, 15, int(yaw) % 30);
        WholePrimitives = false;
        EXPECT_GT(Find(Yellow).Count, 1000) << yaw;
        EXPECT_TRUE(ReadPixelsRGBA(0, 0, Width, Height) == wrapped) << yaw;
    }
}

} // namespace
