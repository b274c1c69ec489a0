// scene_renderer.cpp - the GL drawing of one frame: sky, terrain, layers.
// Colours are worked out on the CPU (fixed light, elevation palette), so the
// frame needs no GL lighting state and a layer's drawing starts from the
// plain state a host leaves.
#include "scene_renderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "viewer_control.h"

namespace fogviewer {
namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;
// More samples than this per side are thinned out for drawing.
constexpr int32_t kMaxDrawnCells = 256;
constexpr int kSkyBands = 48;

using Colour = std::array<double, 3>;

const Colour kHorizon = {0.80, 0.85, 0.90};
const Colour kZenith = {0.28, 0.48, 0.80};
const Colour kEarth = {0.42, 0.33, 0.24};

Colour mix(const Colour &a, const Colour &b, double t) {
  return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t};
}

// The sky seen at an elevation angle: haze at and below the horizon, deep
// blue towards the zenith.
Colour skyColour(double degreesAboveHorizon) {
  if (degreesAboveHorizon <= 0.0) return kHorizon;
  return mix(kHorizon, kZenith, std::pow(std::min(1.0, degreesAboveHorizon / 60.0), 0.7));
}

// The ground's colour at a fraction of the elevation range: meadow, dry
// grass, bare earth, rock. No white: white on the ground would read as fog.
Colour groundColour(double t) {
  struct Stop {
    double at;
    Colour colour;
  };
  static const Stop kStops[] = {{0.00, {0.30, 0.47, 0.22}},
                                {0.35, {0.45, 0.52, 0.27}},
                                {0.60, {0.52, 0.45, 0.32}},
                                {0.85, {0.50, 0.48, 0.45}},
                                {1.00, {0.62, 0.60, 0.57}}};
  t = std::clamp(t, 0.0, 1.0);
  for (std::size_t i = 1; i < std::size(kStops); ++i) {
    if (t <= kStops[i].at) {
      const double span = kStops[i].at - kStops[i - 1].at;
      return mix(kStops[i - 1].colour, kStops[i].colour, (t - kStops[i - 1].at) / span);
    }
  }
  return kStops[std::size(kStops) - 1].colour;
}

// Light from the north-west, well above the horizon.
double lambert(double nx, double ny, double nz) {
  constexpr double lx = -0.45, ly = 0.55, lz = 0.70;
  const double light = std::sqrt(lx * lx + ly * ly + lz * lz);
  const double normal = std::sqrt(nx * nx + ny * ny + nz * nz);
  const double cosine = (nx * lx + ny * ly + nz * lz) / (light * normal);
  return 0.35 + 0.65 * std::max(0.0, cosine);
}

struct Offset {
  double dx = 0.0, dy = 0.0, dz = 0.0;
};

Offset originOffset(Scene *scene) {
  Offset offset;
  if (scene != nullptr && scene->ops != nullptr && scene->ops->sceneOriginOffset != nullptr)
    scene->ops->sceneOriginOffset(scene, 0, &offset.dx, &offset.dy, &offset.dz);
  return offset;
}

void drawSky(const View &view) {
  const double w = view.width;
  const double h = view.height;
  // Distance from the eye to the picture plane, in pixels.
  const double focal = (h / 2.0) / std::tan(kFieldOfViewDegrees * kDegree / 2.0);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(0.0, w, 0.0, h);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glBegin(GL_QUAD_STRIP);
  for (int band = 0; band <= kSkyBands; ++band) {
    const double y = h * band / kSkyBands;
    const double angle = view.pitch + std::atan((y - h / 2.0) / focal) / kDegree;
    const Colour c = skyColour(angle);
    glColor3d(c[0], c[1], c[2]);
    glVertex2d(0.0, y);
    glVertex2d(w, y);
  }
  glEnd();
}

void setCamera(const Terrain &terrain, const View &view, const Offset &offset) {
  const double diagonal = std::hypot(terrain.xSize, terrain.ySize, terrain.upper - terrain.lower);
  const double toMiddle = std::hypot(view.x - terrain.xSize / 2, view.y - terrain.ySize / 2,
                                     view.z - (terrain.lower + terrain.upper) / 2);
  const double nearPlane = std::max(diagonal / 5000.0, 1e-3);
  const double farPlane = 2.0 * (toMiddle + diagonal) + nearPlane;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(kFieldOfViewDegrees, static_cast<double>(view.width) / view.height, nearPlane,
                 farPlane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const Direction d = viewDirection(view);
  const double ex = view.x + offset.dx, ey = view.y + offset.dy, ez = view.z + offset.dz;
  gluLookAt(ex, ey, ez, ex + d.x, ey + d.y, ez + d.z, 0.0, 0.0, 1.0);
}

// The drawn grid: every `step`-th sample, always including the last.
std::vector<int32_t> drawnSamples(int32_t count) {
  const int32_t step = std::max<int32_t>(1, (count - 1 + kMaxDrawnCells - 1) / kMaxDrawnCells);
  std::vector<int32_t> samples;
  for (int32_t i = 0; i < count - 1; i += step) samples.push_back(i);
  samples.push_back(count - 1);
  return samples;
}

struct Mesh {
  std::vector<double> vertices; // x, y, z
  std::vector<float> colours;   // r, g, b
  std::vector<GLuint> indices;  // triangles

  GLuint add(double x, double y, double z, const Colour &c) {
    vertices.insert(vertices.end(), {x, y, z});
    colours.insert(colours.end(),
                   {static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2])});
    return static_cast<GLuint>(vertices.size() / 3 - 1);
  }
  void quad(GLuint a, GLuint b, GLuint c, GLuint d) {
    indices.insert(indices.end(), {a, b, c, a, c, d});
  }
};

// The ground surface, lit, and four sides down to a base below the lowest
// ground, so the terrain reads as a block from outside.
Mesh terrainMesh(const Terrain &terrain, const Offset &offset) {
  const std::vector<int32_t> columns = drawnSamples(terrain.columns);
  const std::vector<int32_t> rows = drawnSamples(terrain.rows);
  const double range = terrain.upper - terrain.lower;
  const double base =
      terrain.lower - std::max(0.06 * range, 0.01 * std::max(terrain.xSize, terrain.ySize));
  const double cellX = terrain.xSize / (terrain.columns - 1);
  const double cellY = terrain.ySize / (terrain.rows - 1);

  Mesh mesh;
  const std::size_t nc = columns.size();
  const std::size_t nr = rows.size();
  for (int32_t row : rows) {
    for (int32_t column : columns) {
      const int32_t w = std::max(column - 1, 0), e = std::min(column + 1, terrain.columns - 1);
      const int32_t n = std::max(row - 1, 0), s = std::min(row + 1, terrain.rows - 1);
      // Rows run southward, so north minus south is the rise along +y.
      const double slopeX = (terrain.height(e, row) - terrain.height(w, row)) / ((e - w) * cellX);
      const double slopeY =
          (terrain.height(column, n) - terrain.height(column, s)) / ((s - n) * cellY);
      const double z = terrain.height(column, row);
      const double t = range > 0.0 ? (z - terrain.lower) / range : 0.0;
      const Colour ground = groundColour(t);
      const double shade = lambert(-slopeX, -slopeY, 1.0);
      mesh.add(terrain.xOf(column) + offset.dx, terrain.yOf(row) + offset.dy, z + offset.dz,
               {ground[0] * shade, ground[1] * shade, ground[2] * shade});
    }
  }
  for (std::size_t r = 0; r + 1 < nr; ++r)
    for (std::size_t c = 0; c + 1 < nc; ++c) {
      const auto at = [&](std::size_t rr, std::size_t cc) {
        return static_cast<GLuint>(rr * nc + cc);
      };
      mesh.quad(at(r, c), at(r + 1, c), at(r + 1, c + 1), at(r, c + 1));
    }

  // Each side: its edge samples and a shade by the way it faces the light.
  struct Side {
    bool alongRow; // a row of samples (north or south edge), else a column
    int32_t fixed;
    double shade;
  };
  const Side sides[] = {{true, 0, 0.9},
                        {true, terrain.rows - 1, 0.55},
                        {false, 0, 0.8},
                        {false, terrain.columns - 1, 0.6}};
  for (const Side &side : sides) {
    const std::vector<int32_t> &along = side.alongRow ? columns : rows;
    const Colour c = {kEarth[0] * side.shade, kEarth[1] * side.shade, kEarth[2] * side.shade};
    GLuint previousTop = 0, previousBottom = 0;
    for (std::size_t i = 0; i < along.size(); ++i) {
      const int32_t column = side.alongRow ? along[i] : side.fixed;
      const int32_t row = side.alongRow ? side.fixed : along[i];
      const double x = terrain.xOf(column) + offset.dx;
      const double y = terrain.yOf(row) + offset.dy;
      const GLuint top = mesh.add(x, y, terrain.height(column, row) + offset.dz, c);
      const GLuint bottom = mesh.add(x, y, base + offset.dz, c);
      if (i > 0) mesh.quad(previousTop, previousBottom, bottom, top);
      previousTop = top;
      previousBottom = bottom;
    }
  }
  return mesh;
}

void drawMesh(const Mesh &mesh) {
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glDepthMask(GL_TRUE);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_DOUBLE, 0, mesh.vertices.data());
  glColorPointer(3, GL_FLOAT, 0, mesh.colours.data());
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_INT,
                 mesh.indices.data());
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

// Every shown layer, bottom of the stack first, so that upper layers lie
// over lower ones.
void drawLayers(Scene *scene, const View &view) {
  const ViewPoint eye{view.x, view.y, view.z};
  const std::vector<viewerhost::LayerStackEntry> stack = viewerhost::layerStack(scene);
  for (auto entry = stack.rbegin(); entry != stack.rend(); ++entry) {
    FeatureLayer *layer = entry->layer;
    if (!entry->shown || layer == nullptr || layer->methods == nullptr ||
        layer->methods->draw == nullptr)
      continue;
    // A layer marks the stencil where its planes land and tints the rest;
    // each layer starts from a clean stencil so that another layer's marks
    // do not hide its tint.
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    layer->methods->draw(layer, 0.0, 0.0, 0.0, &eye, 0.0, 0.0, nullptr);
  }
}

} // namespace

SceneRenderer::SceneRenderer() = default;
SceneRenderer::~SceneRenderer() = default;

bool SceneRenderer::render(const Terrain &terrain, const View &view, Scene *scene,
                           viewergl::RgbImage &image, std::string &error) {
  if (!context_ || context_->width() != view.width || context_->height() != view.height) {
    context_.reset();
    std::string why;
    context_ = viewergl::OffscreenContext::create(view.width, view.height, &why);
    if (!context_) {
      error = "no off-screen OpenGL context: " + why;
      return false;
    }
  } else if (!context_->makeCurrent()) {
    error = "the off-screen OpenGL context cannot be made current";
    return false;
  }
  const Offset offset = originOffset(scene);

  glViewport(0, 0, view.width, view.height);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glDisable(GL_BLEND);
  glDisable(GL_STENCIL_TEST);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClearDepth(1.0);
  glClearStencil(0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

  drawSky(view);
  setCamera(terrain, view, offset);
  drawMesh(terrainMesh(terrain, offset));
  drawLayers(scene, view);

  const GLenum glError = glGetError();
  if (glError != GL_NO_ERROR)
    std::fprintf(stderr, "fogviewer: warning: OpenGL error 0x%04X while drawing the frame\n",
                 static_cast<unsigned>(glError));
  image = context_->readRgb();
  return true;
}

} // namespace fogviewer
