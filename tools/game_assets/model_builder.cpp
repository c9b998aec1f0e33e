// Builds the Game's creature: eight QMF models of a yellow, chick-like walker, in the scene's axes
// (x across the road, y along it with the front at negative y, z up, the road at z = -10). The legs
// hang from the hip axis, the x axis through the origin, which the walk swings them about.
//
// Usage: model_builder OUTPUT_DIR   (writes tuvobody.qmf, tuvoeyes.qmf, ... into the folder)
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

struct Vec3 {
    float X = 0, Y = 0, Z = 0;
};

Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.X + b.X, a.Y + b.Y, a.Z + b.Z};
}
Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.X - b.X, a.Y - b.Y, a.Z - b.Z};
}
Vec3 operator*(Vec3 a, float k) {
    return {a.X * k, a.Y * k, a.Z * k};
}
Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}
float Length(Vec3 a) {
    return std::sqrt(a.X * a.X + a.Y * a.Y + a.Z * a.Z);
}
Vec3 Normalized(Vec3 a) {
    return a * (1 / Length(a));
}

struct Vertex {
    Vec3 Position;
    float S = 0, T = 0;
};

struct Model {
    std::string Name;
    std::vector<Vertex> Vertices; // three to a triangle
};

constexpr float Pi = std::numbers::pi_v<float>;

// Three axes of a solid: Along from its start to its end, Across and Up perpendicular to it, each
// of unit length. Up leans towards the world's z (or towards -y for an upright solid).
struct Frame {
    Vec3 Along, Across, Up;
};

Frame FrameAlong(Vec3 direction) {
    Vec3 along = Normalized(direction);
    Vec3 reference = std::abs(along.Z) > 0.9f ? Vec3{0, -1, 0} : Vec3{0, 0, 1};
    Vec3 across = Normalized(Cross(reference, along));
    return {along, across, Cross(along, across)};
}

void AddTriangle(Model& model, Vertex a, Vertex b, Vertex c) {
    model.Vertices.insert(model.Vertices.end(), {a, b, c});
}

// A surface of revolution around `from`..`to`, sampled on a grid: `ring(v)` gives, for v from 0 at
// `from` to 1 at `to`, the position along the axis (0 to 1) and the radii across and up.
template <typename Ring>
void AddRevolved(Model& model, Vec3 from, Vec3 to, int slices, int stacks, Ring ring) {
    Frame frame = FrameAlong(to - from);
    Vec3 axis = to - from;
    auto point = [&](int slice, int stack) {
        float u = float(slice) / slices, v = float(stack) / stacks;
        auto [along, across, up] = ring(v);
        float angle = 2 * Pi * u;
        Vec3 position = from + axis * along + frame.Across * (across * std::cos(angle)) +
                        frame.Up * (up * std::sin(angle));
        return Vertex{position, u, v};
    };
    for (int stack = 0; stack < stacks; ++stack)
        for (int slice = 0; slice < slices; ++slice) {
            Vertex a = point(slice, stack), b = point(slice + 1, stack);
            Vertex c = point(slice + 1, stack + 1), d = point(slice, stack + 1);
            AddTriangle(model, a, c, b);
            AddTriangle(model, a, d, c);
        }
}

struct RingShape {
    float Along, Across, Up;
};

// The head, which the eyes, the beak and the tuft are placed on, and how far each leg stands out
// from the middle.
constexpr Vec3 HeadCentre{0, -3.0f, 7.6f};
constexpr float HeadRadius = 3.7f;
constexpr float LegSpread = 2.4f;

// An ellipsoid spanning `from`..`to`, with half-widths `across` (sideways) and `up`. At the
// creature's size on screen, about 30 pixels for a wing, a dozen facets round make a smooth
// outline.
void AddEllipsoid(Model& model, Vec3 from, Vec3 to, float across, float up, int slices = 12,
                  int stacks = 8) {
    AddRevolved(model, from, to, slices, stacks, [&](float v) {
        float angle = Pi * v;
        return RingShape{(1 - std::cos(angle)) / 2, across * std::sin(angle), up * std::sin(angle)};
    });
}

// A ball of the radius around the centre.
void AddBall(Model& model, Vec3 centre, float radius, int slices = 12, int stacks = 8) {
    Vec3 offset{0, 0, radius};
    AddEllipsoid(model, centre - offset, centre + offset, radius, radius, slices, stacks);
}

// A round-ended tube from `from` to `to`, radius r0 at the start tapering to r1.
void AddLimb(Model& model, Vec3 from, Vec3 to, float r0, float r1, int slices = 8) {
    float length = Length(to - from);
    float cap0 = r0 / length, cap1 = r1 / length;
    AddRevolved(model, from, to, slices, 8, [&](float v) {
        // Half balls close the ends; between them the radius tapers straight.
        if (v < 0.25f) {
            float angle = Pi / 2 * (v / 0.25f);
            return RingShape{-cap0 * std::cos(angle), r0 * std::sin(angle), r0 * std::sin(angle)};
        }
        if (v > 0.75f) {
            float angle = Pi / 2 * ((v - 0.75f) / 0.25f);
            return RingShape{1 + cap1 * std::sin(angle), r1 * std::cos(angle),
                             r1 * std::cos(angle)};
        }
        float k = (v - 0.25f) / 0.5f;
        float radius = r0 + (r1 - r0) * k;
        return RingShape{k, radius, radius};
    });
}

// A cone from an elliptic base at `base` to a point at `tip`.
void AddCone(Model& model, Vec3 base, Vec3 tip, float across, float up, int slices = 10) {
    AddRevolved(model, base, tip, slices, 6, [&](float v) {
        if (v <= 1.0f / 6) return RingShape{0, across * v * 6, up * v * 6}; // the closed base
        float k = (v - 1.0f / 6) * 6 / 5;
        return RingShape{k, across * (1 - k), up * (1 - k)};
    });
}

// The body with the head, two small wings and a tuft of down on top: all yellow. Drawn without
// lighting, the creature reads by its outline and its white and orange parts, so the body sits high
// on the hips to show the legs, and the head is large, as a chick's is.
Model BuildBody() {
    Model model{"tuvobody", {}};
    AddEllipsoid(model, {0, 5.6f, 1.8f}, {0, -4.4f, 1.4f}, 4.4f, 4.3f, 16, 10);
    AddBall(model, HeadCentre, HeadRadius, 16, 10);
    for (float side : {-1.0f, 1.0f})
        AddEllipsoid(model, {side * 4.0f, -1.6f, 3.2f}, {side * 4.5f, 4.8f, 0.8f}, 0.9f, 2.0f);
    return model;
}

// Two round eyes on the sides of the head, forward enough that they show beside it from behind.
Model BuildEyes() {
    Model model{"tuvoeyes", {}};
    for (float side : {-1.0f, 1.0f})
        AddBall(model, HeadCentre + Vec3{side * 2.6f, -2.2f, 0.9f}, 1.1f);
    return model;
}

// An upper and a lower mandible pointing forward from the front of the head. The upper one is long
// enough that its tip shows over the head in the camera's view from behind and above.
Model BuildBeak() {
    Model model{"tuvokluv", {}};
    AddCone(model, HeadCentre + Vec3{0, -3.1f, 0.4f}, HeadCentre + Vec3{0, -6.6f, 1.9f}, 1.5f,
            0.9f);
    AddCone(model, HeadCentre + Vec3{0, -3.0f, -0.6f}, HeadCentre + Vec3{0, -5.6f, -0.8f}, 1.1f,
            0.6f);
    return model;
}

// A small fan of three feathers rising behind the body.
Model BuildTail() {
    Model model{"tuvotail", {}};
    AddEllipsoid(model, {0, 4.6f, 3.2f}, {0, 6.6f, 9.0f}, 1.0f, 0.45f);
    AddEllipsoid(model, {-0.5f, 4.6f, 3.0f}, {-2.8f, 6.4f, 8.0f}, 0.9f, 0.45f);
    AddEllipsoid(model, {0.5f, 4.6f, 3.0f}, {2.8f, 6.4f, 8.0f}, 0.9f, 0.45f);
    return model;
}

// The thigh from inside the body to just below it: the white, feathered part.
Model BuildLeg(const std::string& name, float side) {
    Model model{name, {}};
    AddLimb(model, {side * LegSpread, 0.3f, 0.5f}, {side * LegSpread, 0.0f, -4.4f}, 1.7f, 1.1f);
    return model;
}

// The bare orange leg: a shank from the thigh down to the heel, then three toes forward and one
// back, resting on the road at z = -10.
Model BuildFoot(const std::string& name, float side) {
    Model model{name, {}};
    Vec3 knee{side * LegSpread, 0.0f, -4.6f};
    Vec3 heel{side * LegSpread, 0.0f, -9.55f};
    AddLimb(model, knee, heel, 0.55f, 0.45f, 6);
    for (float spread : {-1.0f, 0.0f, 1.0f}) {
        Vec3 tip = heel + Vec3{spread * 1.5f, -3.0f + std::abs(spread) * 0.4f, -0.1f};
        AddLimb(model, heel, tip, 0.42f, 0.3f, 6);
    }
    AddLimb(model, heel, heel + Vec3{0, 1.3f, -0.05f}, 0.4f, 0.3f, 6);
    return model;
}

// The camera looks down on the creature at 45 degrees, so whatever stands h above the road hides
// the road about h further ahead. Drawn 21 units tall the creature hid a hole until well after the
// moment to jump; at half that a hole stays in sight until it is nearly alongside. The models
// shrink towards the point under the creature on the road, so the feet stay on it. The legs still
// swing about the x axis through the origin, above the shrunken hips: a hip slides a little along
// the body, inside it, while the foot takes the full stride.
constexpr float CreatureScale = 0.5f;
constexpr Vec3 GroundPoint{0, 0, -10};

Model Shrunk(Model model) {
    for (Vertex& vertex : model.Vertices)
        vertex.Position = GroundPoint + (vertex.Position - GroundPoint) * CreatureScale;
    return model;
}

void WriteFloat(std::ofstream& file, float value) {
    uint32_t bits;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    for (int shift = 0; shift < 32; shift += 8) file.put(char((bits >> shift) & 0xFF));
}

bool WriteModel(const std::string& folder, const Model& model) {
    std::ofstream file(folder + "/" + model.Name + ".qmf", std::ios::binary | std::ios::trunc);
    file.write("QMF1", 5); // the signature ends with a NUL byte
    file.write(model.Name.c_str(), std::streamsize(model.Name.size() + 1));
    for (const Vertex& vertex : model.Vertices) {
        for (float value :
             {vertex.Position.X, vertex.Position.Y, vertex.Position.Z, vertex.S, vertex.T})
            WriteFloat(file, value);
    }
    return bool(file.flush());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    // Leg group A on the +x side (the screen's left), group B on the -x side.
    const Model models[] = {BuildBody(),
                            BuildEyes(),
                            BuildTail(),
                            BuildBeak(),
                            BuildLeg("tuvolegal", 1),
                            BuildFoot("tuvolegas", 1),
                            BuildLeg("tuvolegbl", -1),
                            BuildFoot("tuvolegbs", -1)};
    for (const Model& model : models) {
        if (!WriteModel(argv[1], Shrunk(model))) {
            std::fprintf(stderr, "cannot write %s/%s.qmf\n", argv[1], model.Name.c_str());
            return 1;
        }
    }
    return 0;
}
