#include "tools/models/models.h"

#include "tools/pictures/steady_math.h"

#include <array>
#include <cstdio>
#include <map>
#include <utility>

namespace {

constexpr float kPi = 3.14159265f;

struct Point {
    float x, y, z;
};

Point operator+(Point a, Point b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Point operator-(Point a, Point b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Point operator*(float k, Point a) {
    return {k * a.x, k * a.y, k * a.z};
}
float Dot(Point a, Point b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Point Cross(Point a, Point b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Point Unit(Point a) {
    const float length = SteadyHypot(SteadyHypot(a.x, a.y), a.z);
    return (1.0f / length) * a;
}

// One statement: the keyword and numbers of five decimals.
void Line(std::string* text, const char* keyword, std::initializer_list<float> numbers) {
    *text += keyword;
    char number[32];
    for (float n : numbers) {
        std::snprintf(number, sizeof number, " %.5f", static_cast<double>(n));
        *text += number;
    }
    *text += '\n';
}

void Face(std::string* text, std::initializer_list<std::string> corners) {
    *text += 'f';
    for (const std::string& corner : corners)
        *text += ' ' + corner;
    *text += '\n';
}

std::string Corner(int position, int texture = 0, int normal = 0) {
    std::string corner = std::to_string(position);
    if (texture > 0 || normal > 0) corner += '/';
    if (texture > 0) corner += std::to_string(texture);
    if (normal > 0) corner += '/' + std::to_string(normal);
    return corner;
}

Point KnotAt(float t) {
    const float r = 2.0f + SteadyCos(3.0f * t);
    return {r * SteadyCos(2.0f * t), SteadySin(3.0f * t), r * SteadySin(2.0f * t)};
}

} // namespace

std::string TorusKnotObj(int segments, int sides) {
    std::string text = "# A (2, 3) torus knot, made by kq3d-models\no torus-knot\n";
    constexpr float kTube = 0.45f;
    const float step = 2.0f * kPi / static_cast<float>(segments);
    std::vector<Point> normals;
    for (int i = 0; i < segments; ++i) {
        const float t = step * static_cast<float>(i);
        const Point at = KnotAt(t);
        const Point before = KnotAt(t - step);
        const Point after = KnotAt(t + step);
        // The tube's frame: along the knot, toward its bend, and across both.
        const Point along = Unit(after - before);
        const Point bend = Unit(after + before - 2.0f * at);
        const Point across = Cross(along, bend);
        for (int j = 0; j < sides; ++j) {
            const float angle = 2.0f * kPi * static_cast<float>(j) / static_cast<float>(sides);
            const Point normal = SteadyCos(angle) * bend + SteadySin(angle) * across;
            const Point p = at + kTube * normal;
            Line(&text, "v", {p.x, p.y, p.z});
            normals.push_back(normal);
        }
    }
    for (const Point& n : normals)
        Line(&text, "vn", {n.x, n.y, n.z});
    // One more row and column of texture coordinates than positions, so the
    // picture wraps round the tube and along the knot without a jump.
    for (int i = 0; i <= segments; ++i) {
        for (int j = 0; j <= sides; ++j)
            Line(&text, "vt",
                 {8.0f * static_cast<float>(i) / static_cast<float>(segments),
                  static_cast<float>(j) / static_cast<float>(sides)});
    }
    text += "s 1\n";
    const auto position = [&](int i, int j) { return (i % segments) * sides + (j % sides) + 1; };
    const auto texture = [&](int i, int j) { return i * (sides + 1) + j + 1; };
    // Counter-clockwise seen from outside: the quad's cross product must
    // point along the outward normal; the frame decides which way round.
    const Point a = KnotAt(0) + kTube * normals[0];
    const Point b = KnotAt(step) + kTube * normals[static_cast<size_t>(sides)];
    const Point c = KnotAt(0) + kTube * normals[1];
    const bool forward = Dot(Cross(b - a, c - a), normals[0]) > 0;
    for (int i = 0; i < segments; ++i) {
        for (int j = 0; j < sides; ++j) {
            std::array<std::pair<int, int>, 4> quad = {
                {{i, j}, {i + 1, j}, {i + 1, j + 1}, {i, j + 1}}};
            if (!forward) std::swap(quad[1], quad[3]);
            std::array<std::string, 4> corners;
            for (size_t k = 0; k < 4; ++k) {
                const int p = position(quad[k].first, quad[k].second);
                corners[k] = Corner(p, texture(quad[k].first, quad[k].second), p);
            }
            Face(&text, {corners[0], corners[1], corners[2]});
            Face(&text, {corners[0], corners[2], corners[3]});
        }
    }
    return text;
}

std::string SphereObj(int subdivisions) {
    const float g = (1.0f + SteadyPow(5.0f, 0.5f)) / 2.0f;
    std::vector<Point> points = {{-1, g, 0}, {1, g, 0}, {-1, -g, 0}, {1, -g, 0},
                                 {0, -1, g}, {0, 1, g}, {0, -1, -g}, {0, 1, -g},
                                 {g, 0, -1}, {g, 0, 1}, {-g, 0, -1}, {-g, 0, 1}};
    for (Point& p : points)
        p = Unit(p);
    std::vector<std::array<int, 3>> faces = {
        {0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
        {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
        {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    for (int s = 0; s < subdivisions; ++s) {
        std::map<std::pair<int, int>, int> middles;
        const auto middle = [&](int a, int b) {
            const std::pair<int, int> key = a < b ? std::make_pair(a, b) : std::make_pair(b, a);
            const auto found = middles.find(key);
            if (found != middles.end()) return found->second;
            points.push_back(Unit(points[static_cast<size_t>(a)] + points[static_cast<size_t>(b)]));
            const int index = static_cast<int>(points.size()) - 1;
            middles[key] = index;
            return index;
        };
        std::vector<std::array<int, 3>> finer;
        for (const auto& f : faces) {
            const int ab = middle(f[0], f[1]), bc = middle(f[1], f[2]), ca = middle(f[2], f[0]);
            finer.push_back({f[0], ab, ca});
            finer.push_back({f[1], bc, ab});
            finer.push_back({f[2], ca, bc});
            finer.push_back({ab, bc, ca});
        }
        faces = finer;
    }
    std::string text = "# An icosahedron split " + std::to_string(subdivisions) +
                       " times onto a sphere, made by kq3d-models\no sphere\n";
    for (const Point& p : points)
        Line(&text, "v", {p.x, p.y, p.z});
    text += "usemtl plain\n";
    for (const auto& f : faces) {
        // Counter-clockwise seen from outside.
        const Point& a = points[static_cast<size_t>(f[0])];
        const Point& b = points[static_cast<size_t>(f[1])];
        const Point& c = points[static_cast<size_t>(f[2])];
        const bool outward = Dot(Cross(b - a, c - a), a) > 0;
        Face(&text, {Corner(f[0] + 1), Corner(outward ? f[1] + 1 : f[2] + 1),
                     Corner(outward ? f[2] + 1 : f[1] + 1)});
    }
    return text;
}

std::string TerrainObj(int side) {
    std::string text = "# A patch of rolling ground, made by kq3d-models\ng terrain\n";
    const float cell = 2.0f / static_cast<float>(side);
    for (int row = 0; row <= side; ++row) {
        for (int column = 0; column <= side; ++column) {
            const float x = -1.0f + cell * static_cast<float>(column);
            const float z = -1.0f + cell * static_cast<float>(row);
            const float y = 0.10f * SteadySin(3.1f * x + 0.4f) * SteadyCos(2.3f * z) +
                            0.05f * SteadySin(7.3f * z - 4.1f * x) +
                            0.02f * SteadyCos(13.0f * x + 11.0f * z);
            Line(&text, "v", {x, y, z});
        }
    }
    for (int row = 0; row <= side; ++row) {
        for (int column = 0; column <= side; ++column)
            Line(&text, "vt",
                 {4.0f * static_cast<float>(column) / static_cast<float>(side),
                  4.0f * static_cast<float>(row) / static_cast<float>(side)});
    }
    // Each quad counter-clockwise seen from above: (x, z), (x, z + 1),
    // (x + 1, z + 1), (x + 1, z).
    const auto at = [&](int row, int column) { return row * (side + 1) + column + 1; };
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            const int corners[4] = {at(row, column), at(row + 1, column), at(row + 1, column + 1),
                                    at(row, column + 1)};
            Face(&text, {Corner(corners[0], corners[0]), Corner(corners[1], corners[1]),
                         Corner(corners[2], corners[2]), Corner(corners[3], corners[3])});
        }
    }
    return text;
}

std::vector<SampleModel> MakeSampleModels() {
    return {{"torus-knot.obj", TorusKnotObj(320, 32)},
            {"sphere.obj", SphereObj(5)},
            {"terrain.obj", TerrainObj(100)}};
}
