// The Game's frame. The 3D world has x across the road (the Move lanes at -10 and 10), y along it
// with the far end at negative y, and z up with the road surface at z = -10. The camera looks down
// on it at 45 degrees from 50 units away; with no turn the far end is at the top of the screen and
// positive x on the screen's left.
#include "scene.h"

#include "creature.h"
#include "menu.h"
#include "models.h"
#include "modes.h"
#include "startup.h"
#include "vorm/vorm.h"

#include <GL/gl.h>

#include <numbers>

namespace {

// How far the road reaches ahead and behind, and how often its texture repeats over that length.
constexpr float RoadHalfLength = 500;
constexpr float RoadRepeats = 25;
constexpr float RoadLevel = -10;
// How far the creature's models reach above the road.
constexpr float CreatureHeight = 11;
// The beak and feet's orange-brown.
constexpr float BrownRed = 200.0f / 255, BrownGreen = 150.0f / 255;

// Binds the resource's texture; false when the resource is missing.
bool BindTexture(const std::string& key) {
    int32_t index = FindResourceIndex(key, Resources);
    if (index < 0) return false;
    glBindTexture(GL_TEXTURE_2D, Resources[index].Handle);
    return true;
}

// The four corners with the texture coordinates (0, t0), (1, t0), (1, t1) and (0, t1).
void TexturedQuad(const float (&corners)[4][3], float t0, float t1) {
    const float coords[4][2] = {{0, t0}, {1, t0}, {1, t1}, {0, t1}};
    for (int i = 0; i < 4; ++i) {
        glTexCoord2f(coords[i][0], coords[i][1]);
        glVertex3fv(corners[i]);
    }
}

// The picture at its own size, shrunk to fit the 2D space when wider or taller, centred in it.
void DrawSplash() {
    SetProjection(false);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    int32_t index = FindResourceIndex("splash", Resources);
    if (index < 0) return;
    const TResource& splash = Resources[index];
    glBindTexture(GL_TEXTURE_2D, splash.Handle);

    float spaceWidth = static_cast<float>(ScreenSettings.VirtualWidth);
    float spaceHeight = static_cast<float>(ScreenSettings.VirtualHeight);
    float w = static_cast<float>(splash.Width), h = static_cast<float>(splash.Height);
    if (w > spaceWidth) {
        h = h * spaceWidth / w;
        w = spaceWidth;
    }
    if (h > spaceHeight) {
        w = w * spaceHeight / h;
        h = spaceHeight;
    }
    float x0 = (spaceWidth - w) / 2, y0 = (spaceHeight - h) / 2;
    const float corners[4][3] = {
        {x0, y0, 0}, {x0 + w, y0, 0}, {x0 + w, y0 + h, 0}, {x0, y0 + h, 0}};
    glBegin(GL_QUADS);
    TexturedQuad(corners, 0, 1);
    glEnd();
}

// The camera: 50 units back, turned so that the road runs up the screen, tilted 45 degrees down
// onto it, then the player's turn and the scene's sway.
void ApplyCamera() {
    glRotatef(180, 0, 0, 1);
    glRotatef(45, 1, 0, 0);
    glRotatef(CameraYaw, 0, 0, 1);
    glRotatef(SwayAngle, 0, 1, 0);
}

// In Move mode the world, not the creature, shifts sideways by the lane position.
void ApplyWorldTransform() {
    glTranslatef(0, 0, -50);
    if (GameState == gsMove) glTranslatef(LanePos, 0, 0);
    ApplyCamera();
}

// The texture scrolls towards the viewer by RoadScroll repeats. Move mode has two lanes, the one
// at negative x mirrored so that the pattern meets itself in the middle.
void DrawRoad() {
    if (!BindTexture("road")) return;
    float t0 = -RoadScroll, t1 = RoadRepeats - RoadScroll;
    float far = -RoadHalfLength, near = RoadHalfLength, z = RoadLevel;
    glBegin(GL_QUADS);
    if (GameState == gsMove) {
        for (float side : {20.0f, -20.0f}) {
            const float half[4][3] = {{0, far, z}, {side, far, z}, {side, near, z}, {0, near, z}};
            TexturedQuad(half, t0, t1);
        }
    } else {
        const float road[4][3] = {{-10, far, z}, {10, far, z}, {10, near, z}, {-10, near, z}};
        TexturedQuad(road, t0, t1);
    }
    glEnd();
}

// Water for kind 1 and a jump pad for kind 2; in Move mode kinds 3 and 4 are the same in the
// other lane. Null for a kind the mode does not draw.
const char* ObstacleTexture(uint8_t kind) {
    bool bothLanes = GameState == gsMove;
    if (kind == 1 || (bothLanes && kind == 3)) return "water";
    if (kind == 2 || (bothLanes && kind == 4)) return "jump";
    return nullptr;
}

// The obstacle's left and right edge across the road.
void ObstacleSpan(const TObstacle& obstacle, float& left, float& right) {
    if (GameState == gsMove) {
        float k = obstacle.Kind > 2 ? 1 : 0;
        left = 20 * k - 15;
        right = 20 * k - 5;
    } else if (GameState == gsStop) {
        left = obstacle.Offset - 5;
        right = obstacle.Offset + 5;
    } else {
        left = -5;
        right = 5;
    }
}

// Each obstacle a 10 by 10 quad just above the road, a hundredth higher than the one before, so
// that overlapping ones do not fight over the depth buffer.
void DrawObstacles() {
    for (size_t i = 0; i < Obstacles.size(); ++i) {
        const TObstacle& obstacle = Obstacles[i];
        const char* texture = ObstacleTexture(obstacle.Kind);
        if (!texture || !BindTexture(texture)) continue;
        float left = 0, right = 0;
        ObstacleSpan(obstacle, left, right);
        float z = -9.9f - 0.01f * static_cast<float>(i);
        float nearEdge = -5 - obstacle.Distance, farEdge = 5 - obstacle.Distance;
        const float quad[4][3] = {
            {left, nearEdge, z}, {right, nearEdge, z}, {right, farEdge, z}, {left, farEdge, z}};
        glBegin(GL_QUADS);
        TexturedQuad(quad, 0, 1);
        glEnd();
    }
}

// The creature's own camera: lifted by its jump, which also brings it nearer, and never shifted by
// the lane, so it stays in the middle of the screen. The lift along the eye's (0, 1, 1) is the
// road's up only while the scene does not sway; rolled by the sway it would carry a sinking
// creature sideways off the road beside its hole. So a sinking creature goes down the road's own
// up axis instead, from the same place at height 0, at sqrt(2) / 2 units per unit of height: half
// the lift's rate, as the creature is half the size it had, so it takes as long to go under.
float SinkDepth() {
    return -std::numbers::sqrt2_v<float> / 2 * JumpHeight;
}

void CreatureTransform() {
    glLoadIdentity();
    if (Sinking) {
        glTranslatef(0, 0, -50);
        ApplyCamera();
        glTranslatef(0, 0, -SinkDepth());
        return;
    }
    glTranslatef(0, JumpHeight, -50 + JumpHeight);
    ApplyCamera();
}

void DrawColouredModel(float r, float g, float b, const char* key) {
    glColor3f(r, g, b);
    DrawModel(key);
}

// Body, eyes, tail and beak, then the two leg groups swung about the hip axis opposite ways.
void DrawCreature() {
    // Sunk below its own height it is out of sight; drawn deeper, it would show under the road's
    // edge once the camera looks from the side.
    if (Sinking && SinkDepth() > CreatureHeight) return;
    CreatureTransform();
    DrawColouredModel(1, 1, 0, "tuvobody");
    DrawColouredModel(1, 1, 1, "tuvoeyes");
    DrawColouredModel(1, 1, 1, "tuvotail");
    DrawColouredModel(BrownRed, BrownGreen, 0, "tuvokluv");

    CreatureTransform();
    glRotatef(LegAngle(LegPhaseA), 1, 0, 0);
    DrawColouredModel(1, 1, 1, "tuvolegal");
    DrawColouredModel(BrownRed, BrownGreen, 0, "tuvolegas");

    CreatureTransform();
    glRotatef(LegAngle(LegPhaseB), -1, 0, 0);
    DrawColouredModel(1, 1, 1, "tuvolegbl");
    DrawColouredModel(BrownRed, BrownGreen, 0, "tuvolegbs");
}

// A red arrow at the top centre, pointing up with the camera unturned and turning with it. The line
// width of 2 stays for every line drawn after it, the snakes included.
void DrawCompass() {
    SetProjection(false);
    glTranslatef(static_cast<float>(ScreenSettings.VirtualWidth) / 2, 20, 0);
    glRotatef(CameraYaw, 0, 0, -1);
    glColor3f(1, 0, 0);
    glLineWidth(2);
    glBegin(GL_LINES);
    glVertex2f(0, 10);
    glVertex2f(0, -10);
    glVertex2f(0, -10);
    glVertex2f(-5, -5);
    glVertex2f(0, -10);
    glVertex2f(5, -5);
    glEnd();
}

// Snakes first with no depth test, so everything after covers them; then the 3D world, the
// creature, the compass and the menu.
void DrawPlayingScene() {
    SetProjection(false);
    DrawVorms();
    SetProjection(true);
    glEnable(GL_TEXTURE_2D);
    ApplyWorldTransform();
    glColor3f(1, 1, 1);
    DrawRoad();
    DrawObstacles();
    glDisable(GL_TEXTURE_2D);
    DrawCreature();
    DrawCompass();
    DrawHudAndMenu();
}

} // namespace

float LegAngle(int32_t phase) {
    // Up from -30 by 4 degrees a phase to 26 at 14, then 30 at 15 down to -26 at 29.
    float p = static_cast<float>(phase);
    return phase < 15 ? (p - 7.5f) * 4 : (22.5f - p) * 4;
}

void DrawModel(const std::string& key) {
    int32_t index = FindResourceIndex(key, Resources);
    if (index < 0) return;
    DrawModelTriangles(Resources[index].Handle);
}

void RenderScene() {
    BeginFrame();
    switch (GameState) {
    case gsSplash:
        DrawSplash();
        break;
    case gsJump:
    case gsMove:
    case gsStop:
        DrawPlayingScene();
        break;
    default:
        break;
    }
    EndFrame();
}
