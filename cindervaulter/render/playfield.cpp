#include "render/playfield.h"

#include "engine.h"
#include "game.h"
#include "map.h"
#include "render/particles.h"
#include "render/sprites.h"
#include "rules.h"

#include <GL/gl.h>

#include <cmath>

namespace {

// A point of the world as seen through the drawn camera.
void ScreenVertex(float x, float y) {
    glVertex2f(x - Camera.DrawX, y - Camera.DrawY);
}

// The part of an update period that has passed since the last game step; past a period it goes
// on growing, so the drawing runs on along the latest motion.
float FrameFraction() {
    return ElapsedTime / (1000.0f / UpdateRate);
}

// The offset by which particle p is drawn ahead of its previous position.
TVec3 DrawnOffset(int32_t p) {
    return VecScale(VecSub(World.Positions[p], World.PrevPositions[p]), FrameFraction());
}

// A world point on the minimap: 20 world units a pixel, the head at the centre (50, 50).
void MinimapVertex(TVec3 point, TVec3 head) {
    glVertex2f((point.x - head.x) / 20 + 50, (point.y - head.y) / 20 + 50);
}

// A failed load leaves World empty: then there is no body to draw or to centre the minimap on.
bool BodyInWorld() {
    return Player.C < World.ParticleCount && Player.CircleIndex + 2 < int32_t(Circles.size());
}

// Once the exit is open the arrow points at it three times as bright (the blending adds).
void DrawArrow() {
    const int layers = ExitOpen() ? 3 : 1;
    for (int i = 0; i < layers; ++i) DrawSprite(ArrowTexture, 400, 300, 25, ArrowHeading);
}

// The counter takes the exit's green once every pickup is collected.
void DrawCounter() {
    if (ExitOpen()) glColor3f(0, 1, 0);
    Render->PrintText(MainFont, CounterText().c_str(), 750, 10);
    glColor3f(1, 1, 1);
}

void DrawMinimapWalls(TVec3 head) {
    TCircle reach = MakeCircle(0, 2000);
    reach.X = head.x;
    reach.Y = head.y;
    for (const TWall& wall : Walls) {
        float distance = 0;
        if (!CircleTouchesWall(wall.A, wall.B, reach, distance)) continue;
        glBegin(GL_LINES);
        MinimapVertex(wall.A, head);
        MinimapVertex(wall.B, head);
        glEnd();
    }
}

// Red for the pickups still to collect, green for the body with the head in the middle.
void DrawMinimapPoints(TVec3 head) {
    glPointSize(2);
    glBegin(GL_POINTS);
    glColor3f(1, 0, 0);
    for (const TPickup& pickup : Pickups)
        if (pickup.Active) MinimapVertex(pickup.Position, head);
    glColor3f(0, 1, 0);
    glVertex2f(50, 50);
    MinimapVertex(World.Positions[Player.Head + 1], head);
    MinimapVertex(World.Positions[Player.Head + 2], head);
    glEnd();
    glColor3f(0, 1, 1);
    glPointSize(3);
    glBegin(GL_POINTS);
    MinimapVertex(ExitPoint, head);
    glEnd();
}

} // namespace

void DrawFlash(const TFlash& Flash, TVec3 StartOffset, TVec3 EndOffset) {
    const TVec3 start = FlashStart(Flash);
    const TVec3 s = VecMake(start.x + StartOffset.x, start.y + StartOffset.y, 0);
    glBegin(GL_LINE_STRIP);
    ScreenVertex(s.x, s.y);
    // Interior point i lies (i + 1) steps along the line and is pushed sideways by its offset.
    for (size_t i = 0; i < Flash.Offsets.size(); ++i) {
        const TVec3 along = VecScale(VecScale(Flash.Direction, float(i + 1)), Flash.Step);
        const TVec3 p = VecAdd(VecAdd(s, along), VecScale(Flash.Normal, Flash.Offsets[i]));
        ScreenVertex(p.x, p.y);
    }
    const TVec3 end = Flash.OwnEnd ? Flash.EndPoint : FlashEnd(Flash);
    ScreenVertex(end.x + EndOffset.x, end.y + EndOffset.y);
    glEnd();
}

float TileShift(float corner, float span, float tile) {
    // fmod keeps the dividend's sign, as an integer remainder would, and stays defined far out.
    return std::fmod(std::trunc(corner), span) / tile;
}

// Ten tiles across and ten down (one every 80 and 60 pixels), scrolled exactly with the camera.
void DrawBackground() {
    const float s = TileShift(Camera.DrawX, 800, 80);
    const float t = TileShift(Camera.DrawY, 600, 60);
    Textures->EnableTexture(BackTexture, 0);
    glBegin(GL_QUADS);
    glTexCoord2f(s, t);
    glVertex2f(0, 0);
    glTexCoord2f(s + 10, t);
    glVertex2f(800, 0);
    glTexCoord2f(s + 10, t + 10);
    glVertex2f(800, 600);
    glTexCoord2f(s, t + 10);
    glVertex2f(0, 600);
    glEnd();
    Textures->DisableTexture(0);
}

void DrawWalls() {
    glColor3f(1, 1, 1);
    glLineWidth(2);
    glBegin(GL_LINES);
    for (const TWall& wall : Walls) {
        ScreenVertex(wall.A.x, wall.A.y);
        ScreenVertex(wall.B.x, wall.B.y);
    }
    glEnd();
}

TVec3 DrawnPosition(int32_t p) {
    return VecAdd(World.PrevPositions[p], DrawnOffset(p));
}

void DrawPlayer() {
    if (!BodyInWorld()) return;
    const int32_t body[3] = {Player.A, Player.B, Player.C};
    const TVec3 offsetA = DrawnOffset(Player.A), offsetB = DrawnOffset(Player.B),
                offsetC = DrawnOffset(Player.C);
    // The body lines crackle only while the creature moves fast.
    if (PlayerSpeed > 1) {
        struct Line {
            int Flash;
            float Green, Width;
            TVec3 Start, End;
        };
        for (const Line& line :
             {Line{0, 0.9f, 1, offsetA, offsetB}, Line{1, 0.8f, 2, offsetA, offsetB},
              Line{2, 0.9f, 1, offsetC, offsetB}, Line{3, 0.8f, 2, offsetC, offsetB}}) {
            glColor3f(0.7f, line.Green, 1.0f);
            glLineWidth(line.Width);
            DrawFlash(Player.Flashes[line.Flash], line.Start, line.End);
        }
    }
    glColor3f(1, 1, 1);
    glLineWidth(2);
    for (int k = 4; k < 12; ++k) DrawFlash(Player.Flashes[k], offsetA, offsetA);
    for (int i = 0; i < 3; ++i) {
        const TVec3 q = DrawnPosition(body[i]);
        DrawSprite(i == 0 ? LeadTexture : CircleTexture, q.x - Camera.DrawX, q.y - Camera.DrawY,
                   2 * Circles[Player.CircleIndex + i].Radius, 0);
    }
    glLineWidth(2);
}

std::string CounterText() {
    return std::to_string(CollectedCount) + "/" + std::to_string(Pickups.size());
}

void DrawPlayfield() {
    DrawBackground();
    DrawWalls();
    DrawPlayer();
    DrawSparks();
    DrawArrow();
    DrawCounter();
    DrawMinimap();
}

void DrawMinimap() {
    glViewport(700, 0, 100, 100);
    Render->Set2D(0, 0, 100, 100);
    glColor3f(1, 1, 1);
    glLineWidth(1);
    glBegin(GL_LINE_LOOP);
    glVertex2f(0, 0);
    glVertex2f(0, 100);
    glVertex2f(100, 100);
    glVertex2f(100, 0);
    glEnd();
    if (BodyInWorld()) {
        // The head's position after the latest step: the minimap does not interpolate.
        const TVec3 head = World.Positions[Player.Head];
        DrawMinimapWalls(head);
        DrawMinimapPoints(head);
    }
    glLineWidth(2);
    glColor3f(1, 1, 1);
}
