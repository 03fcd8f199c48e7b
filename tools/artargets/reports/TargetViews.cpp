#include "reports/TargetViews.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <pugixml.hpp>
#include <sstream>
#include <unordered_set>

#include "reports/LabelPlacement.h"
#include "support/SafeText.h"
#include "targets/PictureFrame.h"

namespace artargets {

namespace {

constexpr double kPanel = 320;            // side of one panel, in SVG units
constexpr double kMargin = 40;            // inside a panel, around the drawing
constexpr double kArrow = 24;             // drawn length of a direction
constexpr double kCaption = 30;           // height of the caption above the panels
constexpr double kFooter = 34;            // height of the scale bar and legend below them
constexpr double kHead = 3.5;             // how far an arrow's head reaches beside its line
constexpr double kHeadLength = 7;         // and back from its tip
constexpr double kStroke = 1;             // how far a label keeps off a line
constexpr double kFooterCharWidth = 6.5;  // of the footer's 11-unit text, a little generous

// Okabe-Ito colours.
constexpr const char* kNormalColour = "#0072B2";  // blue
constexpr const char* kXDirColour = "#CC79A7";    // reddish purple
constexpr const char* kAxisColour = "#555555";

struct View {
  const char* title;
  int across, up;  // which coordinates go right and up
  const char *acrossName, *upName;
};
constexpr View kViews[] = {
    {"top", 0, 1, "x", "y"}, {"front", 0, 2, "x", "z"}, {"side", 1, 2, "y", "z"}};

// Which of kScoreClasses the score falls in; -1 for none.
int ScoreClassOf(int score) {
  if (score < 0) return -1;
  int k = 0;
  while (score < kScoreClasses[k].from) ++k;
  return k;
}

bool Finite(const Vec3& v) {
  return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

using Corners = std::array<Vec3, 4>;

// The four corners of the target's rectangle, or none when its size or directions are unknown:
// its width along the picture's right and its height along its up, as the frame of the picture
// says (PictureFrame.h: rotation included), as the platforms' exports place it. A target with no
// frame (no normal) is drawn along its xdir and ydir as they stand.
std::optional<Corners> CornersOf(const TargetRecord& r) {
  const auto frame = FrameOf(r);
  Vec3 right = frame ? frame->right : r.xdir, up = frame ? frame->up : r.ydir;
  const double x = std::hypot(right[0], right[1], right[2]);
  const double y = std::hypot(up[0], up[1], up[2]);
  const bool known = std::isfinite(r.width) && std::isfinite(r.height) && r.width > 0 &&
                     r.height > 0 && std::isfinite(x) && std::isfinite(y) && x > 0 && y > 0;
  if (!known) return std::nullopt;
  Corners corners;
  int k = 0;
  for (const auto& [sx, sy] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) {
    Vec3& c = corners[k++] = r.center;
    for (int i = 0; i < 3; ++i)
      c[i] += sx * r.width / 2 * right[i] / x + sy * r.height / 2 * up[i] / y;
  }
  return corners;
}

// The smallest and largest coordinate of the targets' centres and corners, per axis.
struct Extent {
  Vec3 lo{}, hi{};
};

Extent ExtentOf(const std::vector<const TargetRecord*>& shown) {
  Extent e;
  bool first = true;
  auto add = [&](const Vec3& p) {
    if (!Finite(p)) return;  // a corner too far to draw
    for (int i = 0; i < 3; ++i) {
      e.lo[i] = first ? p[i] : std::min(e.lo[i], p[i]);
      e.hi[i] = first ? p[i] : std::max(e.hi[i], p[i]);
    }
    first = false;
  };
  for (const auto* r : shown) {
    add(r->center);
    if (const auto corners = CornersOf(*r))
      for (const Vec3& c : *corners) add(c);
  }
  return e;
}

// The largest extent of the targets in any view: one scale fits it into a panel.
double Span(const Extent& e) {
  const double span = std::max({1e-12, e.hi[0] - e.lo[0], e.hi[1] - e.lo[1], e.hi[2] - e.lo[2]});
  return std::min(span, std::numeric_limits<double>::max());
}

// Maps model coordinates of one view into its panel, centred on the targets, at a scale shared
// by all panels.
class PanelScale {
 public:
  PanelScale(const Extent& e, const View& view, double left, double scale)
      : scale_(scale),
        left_(left),
        x0_(left + kPanel / 2 - (e.lo[view.across] / 2 + e.hi[view.across] / 2) * scale),
        y0_(kCaption + kPanel / 2 + (e.lo[view.up] / 2 + e.hi[view.up] / 2) * scale) {}
  double X(double across) const { return x0_ + across * scale_; }
  double Y(double up) const { return y0_ - up * scale_; }
  Box Inside() const {
    return {left_ + 4, kCaption + 20, left_ + kPanel - 4, kCaption + kPanel - 4};
  }

 private:
  double scale_, left_, x0_, y0_;
};

pugi::xml_node Line(pugi::xml_node g, double x1, double y1, double x2, double y2,
                    const char* colour) {
  pugi::xml_node line = g.append_child("line");
  line.append_attribute("x1") = DrawingNumber(x1).c_str();
  line.append_attribute("y1") = DrawingNumber(y1).c_str();
  line.append_attribute("x2") = DrawingNumber(x2).c_str();
  line.append_attribute("y2") = DrawingNumber(y2).c_str();
  line.append_attribute("stroke") = colour;
  return line;
}

// An arrow with its head at (x2, y2); no label may cross it.
void Arrow(pugi::xml_node g, double x1, double y1, double x2, double y2, const char* colour,
           LabelGrid& grid) {
  pugi::xml_node line = Line(g, x1, y1, x2, y2, colour);
  line.append_attribute("class") = "arrow";
  line.append_attribute("marker-end") = (std::string("url(#head-") + (colour + 1) + ")").c_str();
  grid.BlockSegment(x1, y1, x2, y2, kStroke);
  const double length = std::hypot(x2 - x1, y2 - y1), back = std::min(1.0, kHeadLength / length);
  grid.BlockSegment(x2 - (x2 - x1) * back, y2 - (y2 - y1) * back, x2, y2, kHead);
}

pugi::xml_node Text(pugi::xml_node parent, double x, double y, const std::string& text,
                    double size) {
  pugi::xml_node node = parent.append_child("text");
  node.append_attribute("x") = DrawingNumber(x).c_str();
  node.append_attribute("y") = DrawingNumber(y).c_str();
  node.append_attribute("font-size") = DrawingNumber(size).c_str();
  node.append_child(pugi::node_pcdata).set_value(text.c_str());
  return node;
}

// A label in its box, drawn to the box's width exactly.
pugi::xml_node LabelText(pugi::xml_node g, const Box& at, const std::string& text,
                         const char* kind) {
  pugi::xml_node node = Text(g, at.x0 + kLabelPadding, at.y1 - kLabelDescent, text, kLabelFont);
  node.append_attribute("class") = kind;
  node.append_attribute("textLength") = DrawingNumber(at.x1 - at.x0 - 2 * kLabelPadding).c_str();
  node.append_attribute("lengthAdjust") = "spacingAndGlyphs";
  return node;
}

void Markers(pugi::xml_node svg) {
  pugi::xml_node defs = svg.append_child("defs");
  for (const char* colour : {kNormalColour, kXDirColour, kAxisColour}) {
    pugi::xml_node marker = defs.append_child("marker");
    marker.append_attribute("id") = (std::string("head-") + (colour + 1)).c_str();
    marker.append_attribute("viewBox") = "0 0 10 10";
    marker.append_attribute("refX") = "10";
    marker.append_attribute("refY") = "5";
    marker.append_attribute("markerWidth") = "6";
    marker.append_attribute("markerHeight") = "6";
    marker.append_attribute("orient") = "auto";
    pugi::xml_node path = marker.append_child("path");
    path.append_attribute("d") = "M0,0 L10,5 L0,10 z";
    path.append_attribute("fill") = colour;
  }
}

// A target as one view draws it, in the panel's coordinates.
struct Mark {
  double x, y;                       // its centre
  std::optional<Corners> corners;    // its rectangle; none: a dot
  Box box;                           // what its shape covers
  std::optional<Vec3> normal, xdir;  // where its arrows end (z unused); none when end-on
};

std::optional<Vec3> Tip(double x, double y, const Vec3& d, const View& view) {
  const double dx = d[view.across], dy = d[view.up];
  const double length = std::hypot(dx, dy);
  if (!std::isfinite(length) || length == 0 || !std::isfinite(x + y))
    return std::nullopt;  // seen end-on, none, or from nowhere
  return Vec3{x + dx / length * kArrow, y - dy / length * kArrow, 0};
}

Mark MarkOf(const TargetRecord& r, const View& view, const PanelScale& scale) {
  Mark m{scale.X(r.center[view.across]), scale.Y(r.center[view.up]), CornersOf(r), {}, {}, {}};
  m.box = {m.x - 3, m.y - 3, m.x + 3, m.y + 3};
  if (m.corners) {
    m.box = {m.x, m.y, m.x, m.y};
    for (Vec3& c : *m.corners) {
      c = {scale.X(c[view.across]), scale.Y(c[view.up]), 0};
      m.box = {std::min(m.box.x0, c[0]), std::min(m.box.y0, c[1]), std::max(m.box.x1, c[0]),
               std::max(m.box.y1, c[1])};
    }
  }
  if (!std::isfinite(m.box.x0 + m.box.x1 + m.box.y0 + m.box.y1)) {  // too large to draw
    m.corners.reset();
    m.box = {m.x - 3, m.y - 3, m.x + 3, m.y + 3};
  }
  m.normal = Tip(m.x, m.y, r.normal, view);
  m.xdir = Tip(m.x, m.y, r.xdir, view);
  return m;
}

// What a mark looks like, to the pixel: two marks of one key draw the same picture.
using MarkKey = std::array<int, 15>;

struct MarkKeyHash {
  std::size_t operator()(const MarkKey& key) const {
    std::size_t hash = 1469598103934665603ull;
    for (const int k : key) hash = (hash ^ std::size_t(unsigned(k))) * 1099511628211ull;
    return hash;
  }
};

int Pixel(double at) { return int(std::lround(std::clamp(at, -1e9, 1e9))); }

MarkKey KeyOf(const Mark& m, int score) {
  constexpr int kNone = std::numeric_limits<int>::min();
  MarkKey key;
  key.fill(kNone);
  key[0] = Pixel(m.x);
  key[1] = Pixel(m.y);
  for (int i = 0; m.corners && i < 4; ++i) {
    key[2 + 2 * i] = Pixel((*m.corners)[i][0]);
    key[3 + 2 * i] = Pixel((*m.corners)[i][1]);
  }
  if (m.normal) key[10] = Pixel((*m.normal)[0]), key[11] = Pixel((*m.normal)[1]);
  if (m.xdir) key[12] = Pixel((*m.xdir)[0]), key[13] = Pixel((*m.xdir)[1]);
  key[14] = ScoreClassOf(score);
  return key;
}

// Draws the mark's shape (shaded for labels) and its arrows (blocked for them).
void Draw(pugi::xml_node g, const Mark& m, int score, LabelGrid& grid) {
  if (!m.corners) {
    pugi::xml_node dot = g.append_child("circle");
    dot.append_attribute("cx") = DrawingNumber(m.x).c_str();
    dot.append_attribute("cy") = DrawingNumber(m.y).c_str();
    dot.append_attribute("r") = "3";
    dot.append_attribute("fill") = score < 0 ? "black" : ScoreColour(score);
  } else {
    std::string points;
    for (const Vec3& c : *m.corners)
      points += DrawingNumber(c[0]) + "," + DrawingNumber(c[1]) + " ";
    pugi::xml_node polygon = g.append_child("polygon");
    polygon.append_attribute("points") = points.c_str();
    polygon.append_attribute("fill") = ScoreColour(score);
    polygon.append_attribute("fill-opacity") = "0.6";
    polygon.append_attribute("stroke") = "black";
  }
  grid.Shade(m.box);
  if (m.normal) Arrow(g, m.x, m.y, (*m.normal)[0], (*m.normal)[1], kNormalColour, grid);
  if (m.xdir) Arrow(g, m.x, m.y, (*m.xdir)[0], (*m.xdir)[1], kXDirColour, grid);
}

// Axis arrows in the panel's lower left corner, and the model's axes through the origin where
// they cross the panel.
void Axes(pugi::xml_node g, const View& view, const PanelScale& scale, double left,
          LabelGrid& grid) {
  const Box inside = scale.Inside();
  const double ox = scale.X(0), oy = scale.Y(0);
  if (ox > inside.x0 && ox < inside.x1)
    Line(g, ox, inside.y0, ox, inside.y1, "#cccccc").append_attribute("stroke-dasharray") = "4 3";
  if (oy > inside.y0 && oy < inside.y1)
    Line(g, inside.x0, oy, inside.x1, oy, "#cccccc").append_attribute("stroke-dasharray") = "4 3";
  const double x = left + 12, y = kCaption + kPanel - 12;
  Arrow(g, x, y, x + 28, y, kAxisColour, grid);
  Arrow(g, x, y, x, y - 28, kAxisColour, grid);
  Text(g, x + 31, y + 4, view.acrossName, 10);
  Text(g, x - 3, y - 31, view.upName, 10);
  grid.Block({x - 4, y - 42, x + 40, y + 6});  // the axes' names
}

std::string LabelOf(const TargetRecord& r, int score) {
  return SafeText(r.name) + (score >= 0 ? " (" + std::to_string(score) + ")" : "");
}

// The labels, each beside its target's mark or gathered with its neighbours; those left out
// are counted at the right of the panel's title.
void Labels(pugi::xml_node g, const std::vector<const TargetRecord*>& shown,
            const std::vector<int>& scores, const std::vector<Box>& near, LabelGrid& grid,
            double left) {
  std::vector<LabelWanted> wanted;
  wanted.reserve(shown.size());
  for (std::size_t i = 0; i < shown.size(); ++i)
    wanted.push_back({near[i], LabelWidth(LabelOf(*shown[i], scores[i]))});
  const LabelLayout layout = LayOutLabels(grid, wanted);
  for (std::size_t i = 0; i < shown.size(); ++i)
    if (layout.placed[i]) LabelText(g, *layout.placed[i], LabelOf(*shown[i], scores[i]), "label");
  for (const GatheredLabels& more : layout.gathered)
    LabelText(g, more.at, MoreHere(more.count), "label more").append_attribute("data-count") =
        std::to_string(more.count).c_str();
  if (layout.leftOut == 0) return;
  pugi::xml_node note = Text(g, left + kPanel - 6, kCaption + 16,
                             std::to_string(layout.leftOut) + " label" +
                                 (layout.leftOut == 1 ? "" : "s") + " left out: no room",
                             kLabelFont);
  note.append_attribute("text-anchor") = "end";
  note.append_attribute("class") = "left-out";
  note.append_attribute("data-count") = std::to_string(layout.leftOut).c_str();
}

void Panel(pugi::xml_node svg, const std::vector<const TargetRecord*>& shown,
           const std::vector<int>& scores, const View& view, double left, double scale,
           const Extent& extent) {
  pugi::xml_node g = svg.append_child("g");
  pugi::xml_node frame = g.append_child("rect");
  frame.append_attribute("x") = DrawingNumber(left).c_str();
  frame.append_attribute("y") = DrawingNumber(kCaption).c_str();
  frame.append_attribute("width") = DrawingNumber(kPanel).c_str();
  frame.append_attribute("height") = DrawingNumber(kPanel).c_str();
  frame.append_attribute("fill") = "none";
  frame.append_attribute("stroke") = "#999";
  Text(g, left + 6, kCaption + 16,
       std::string(view.title) + " (" + view.acrossName + ", " + view.upName + ")", 12);
  const PanelScale panel(extent, view, left, scale);
  LabelGrid grid(panel.Inside());
  Axes(g, view, panel, left, grid);
  std::unordered_set<MarkKey, MarkKeyHash> drawn;
  std::vector<Box> near;  // each target's shape, which its label goes beside
  near.reserve(shown.size());
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const Mark mark = MarkOf(*shown[i], view, panel);
    const bool seen = std::isfinite(mark.x) && std::isfinite(mark.y);  // else beyond numbers
    if (seen && drawn.insert(KeyOf(mark, scores[i])).second) Draw(g, mark, scores[i], grid);
    near.push_back(mark.box);
  }
  Labels(g, shown, scores, near, grid, left);
}

// A round length (1, 2 or 5 times a power of ten) near a quarter of a panel at this scale.
double BarLength(double scale) {
  const double wanted = (kPanel / 4) / scale;
  const double power = std::pow(10, std::floor(std::log10(wanted)));
  for (const double step : {5.0, 2.0, 1.0})
    if (step * power <= wanted) return step * power;
  return power;
}

void Footer(pugi::xml_node svg, double scale, const std::string& unit, bool scored) {
  const double y = kCaption + kPanel + 18, length = BarLength(scale);
  pugi::xml_node g = svg.append_child("g");
  g.append_attribute("class") = "scale";
  Line(g, 10, y, 10 + length * scale, y, "black").append_attribute("stroke-width") = "3";
  Text(g, 16 + length * scale, y + 4, DrawingNumber(length) + " " + unit, 11);
  const std::string arrows = "arrows: normal (blue), x direction (purple)";
  double x = 10 + length * scale + 80;
  Text(g, x, y + 4, arrows, 11);
  if (!scored) return;
  x += double(arrows.size() + 2) * kFooterCharWidth;
  Text(g, x, y + 4, "image scores:", 11);
  x += 14 * kFooterCharWidth;
  for (const ScoreClass& c : kScoreClasses) {
    pugi::xml_node swatch = g.append_child("rect");
    swatch.append_attribute("class") = "swatch";
    swatch.append_attribute("x") = DrawingNumber(x).c_str();
    swatch.append_attribute("y") = DrawingNumber(y - 5).c_str();
    swatch.append_attribute("width") = "10";
    swatch.append_attribute("height") = "10";
    swatch.append_attribute("fill") = c.colour;
    swatch.append_attribute("stroke") = "black";
    Text(g, x + 14, y + 4, c.range, 11);
    x += 14 + double(std::string(c.range).size() + 2) * kFooterCharWidth;
  }
}

}  // namespace

std::string DrawingNumber(double value) {
  char text[32];  // "%.6g" of any double fits in 13
  return {text, std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6).ptr};
}

const char* ScoreColour(int score) {
  const int k = ScoreClassOf(score);
  return k < 0 ? "none" : kScoreClasses[k].colour;
}

std::string RenderSvg(const std::vector<TargetRecord>& records, const std::string& title,
                      const std::vector<int>& scores, const std::string& unit) {
  std::vector<const TargetRecord*> shown;
  std::vector<int> shownScores;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (!Finite(records[i].center)) continue;
    shown.push_back(&records[i]);
    shownScores.push_back(i < scores.size() ? scores[i] : -1);
  }
  pugi::xml_document doc;
  pugi::xml_node svg = doc.append_child("svg");
  svg.append_attribute("xmlns") = "http://www.w3.org/2000/svg";
  svg.append_attribute("width") = DrawingNumber(3 * kPanel).c_str();
  svg.append_attribute("height") = DrawingNumber(kCaption + kPanel + kFooter).c_str();
  svg.append_attribute("font-family") = "sans-serif";
  Markers(svg);
  std::string caption = SafeText(title) + ": " + std::to_string(shown.size()) + " targets";
  if (shown.size() != records.size())
    caption +=
        ", " + std::to_string(records.size() - shown.size()) + " without a finite centre left out";
  Text(svg, 6, 20, caption, 14);
  const Extent extent = ExtentOf(shown);
  const double scale = (kPanel - 2 * kMargin) / Span(extent);
  for (int i = 0; i < 3; ++i) Panel(svg, shown, shownScores, kViews[i], i * kPanel, scale, extent);
  Footer(svg, scale, unit, !scores.empty());
  std::ostringstream out;
  doc.save(out, "  ");
  return out.str();
}

}  // namespace artargets
