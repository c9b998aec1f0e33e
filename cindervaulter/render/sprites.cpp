#include "render/sprites.h"

#include "engine.h"

#include <GL/gl.h>

void DrawSprite(int32_t Texture, float X, float Y, float Size, float Angle) {
    Textures->EnableTexture(Texture, 0);
    glPushMatrix();
    glTranslatef(X, Y, 0);
    // With y growing downwards a positive turn about +z is clockwise on screen.
    glRotatef(Angle, 0, 0, 1);
    const float h = Size / 2;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-h, -h);
    glTexCoord2f(1, 0);
    glVertex2f(h, -h);
    glTexCoord2f(1, 1);
    glVertex2f(h, h);
    glTexCoord2f(0, 1);
    glVertex2f(-h, h);
    glEnd();
    glPopMatrix();
    Textures->DisableTexture(0);
}
