#include "reports/TargetViews.h"

#include <algorithm>
#include <cmath>
#include <pugixml.hpp>
#include <sstream>

#include "targets/PictureFrame.h"

namespace artargets {

namespace {

constexpr double kPanel = 320;                     // side of one panel, in SVG units
constexpr double kMargin = 40;                     // inside a panel, around the drawing
constexpr double kArrow = 24;                      // drawn length of a direction
constexpr double kCaption = 30;                    // height of the caption above the panels
constexpr double kFooter = 34;                     // height of the scale bar and legend below them
constexpr double kLabelSize = 10, kCharWidth = 6;  // font size and a wide character's width

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

struct Box {
  double x0, y0, x1, y1;
  double Overlap(const Box& o) const {
    return std::max(0.0, std::min(x1, o.x1) - std::max(x0, o.x0)) *
           std::max(0.0, std::min(y1, o.y1) - std::max(y0, o.y0));
  }
};

bool Finite(const Vec3& v) {
  return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

// The four corners of the target's rectangle, or none when its size or directions are unknown:
// its width along the picture's right and its height along its up, as the frame of the picture
// says (PictureFrame.h: rotation included), as the platforms' exports place it. A target with no
// frame (no normal) is drawn along its xdir and ydir as they stand.
std::vector<Vec3> Corners(const TargetRecord& r) {
  const auto frame = FrameOf(r);
  Vec3 right = frame ? frame->right : r.xdir, up = frame ? frame->up : r.ydir;
  const double x = std::hypot(right[0], right[1], right[2]);
  const double y = std::hypot(up[0], up[1], up[2]);
  const bool known = std::isfinite(r.width) && std::isfinite(r.height) && r.width > 0 &&
                     r.height > 0 && std::isfinite(x) && std::isfinite(y) && x > 0 && y > 0;
  if (!known) return {};
  std::vector<Vec3> corners;
  for (const auto& [sx, sy] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) {
    Vec3 c = r.center;
    for (int i = 0; i < 3; ++i)
      c[i] += sx * r.width / 2 * right[i] / x + sy * r.height / 2 * up[i] / y;
    corners.push_back(c);
  }
  return corners;
}

std::vector<Vec3> Points(const TargetRecord& r) {
  std::vector<Vec3> points = Corners(r);
  points.push_back(r.center);
  return points;
}

// The largest extent of the targets in any view: one scale fits it into a panel.
double Span(const std::vector<const TargetRecord*>& shown) {
  double span = 1e-12;
  for (const View& view : kViews)
    for (const int axis : {view.across, view.up}) {
      double lo = 0, hi = 0;
      bool first = true;
      for (const auto* r : shown)
        for (const Vec3& p : Points(*r)) {
          lo = first ? p[axis] : std::min(lo, p[axis]);
          hi = first ? p[axis] : std::max(hi, p[axis]);
          first = false;
        }
      span = std::max(span, hi - lo);
    }
  return span;
}

// Maps model coordinates of one view into its panel, centred on the targets, at a scale shared
// by all panels.
class PanelScale {
 public:
  PanelScale(const std::vector<const TargetRecord*>& shown, const View& view, double left,
             double scale)
      : scale_(scale), left_(left) {
    double lo[2] = {0, 0}, hi[2] = {0, 0};
    bool first = true;
    for (const auto* r : shown)
      for (const Vec3& point : Points(*r)) {
        const double p[2] = {point[view.across], point[view.up]};
        for (int i = 0; i < 2; ++i) {
          lo[i] = first ? p[i] : std::min(lo[i], p[i]);
          hi[i] = first ? p[i] : std::max(hi[i], p[i]);
        }
        first = false;
      }
    x0_ = left + kPanel / 2 - (lo[0] + hi[0]) / 2 * scale_;
    y0_ = kCaption + kPanel / 2 + (lo[1] + hi[1]) / 2 * scale_;
  }
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

// Draws a direction from (x, y); gives the box it covers, for labels to keep off.
Box Arrow(pugi::xml_node g, double x, double y, const Vec3& d, const View& view,
          const char* colour) {
  const double dx = d[view.across], dy = d[view.up];
  const double length = std::hypot(dx, dy);
  if (!std::isfinite(length) || length == 0) return {x, y, x, y};  // seen end-on, or none
  const double tx = x + dx / length * kArrow, ty = y - dy / length * kArrow;
  Line(g, x, y, tx, ty, colour).append_attribute("marker-end") =
      (std::string("url(#head-") + (colour + 1) + ")").c_str();
  return {std::min(x, tx) - 2, std::min(y, ty) - 2, std::max(x, tx) + 2, std::max(y, ty) + 2};
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

// Draws the target's shape; gives the box it covers.
Box Shape(pugi::xml_node g, const TargetRecord& r, const View& view, const PanelScale& scale,
          int score) {
  const double cx = scale.X(r.center[view.across]), cy = scale.Y(r.center[view.up]);
  const std::vector<Vec3> corners = Corners(r);
  if (corners.empty()) {
    pugi::xml_node dot = g.append_child("circle");
    dot.append_attribute("cx") = DrawingNumber(cx).c_str();
    dot.append_attribute("cy") = DrawingNumber(cy).c_str();
    dot.append_attribute("r") = "3";
    dot.append_attribute("fill") = score < 0 ? "black" : ScoreColour(score);
    return {cx - 3, cy - 3, cx + 3, cy + 3};
  }
  std::string points;
  Box box{cx, cy, cx, cy};
  for (const Vec3& c : corners) {
    const double x = scale.X(c[view.across]), y = scale.Y(c[view.up]);
    points += DrawingNumber(x) + "," + DrawingNumber(y) + " ";
    box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x), std::max(box.y1, y)};
  }
  pugi::xml_node polygon = g.append_child("polygon");
  polygon.append_attribute("points") = points.c_str();
  polygon.append_attribute("fill") = ScoreColour(score);
  polygon.append_attribute("fill-opacity") = "0.6";
  polygon.append_attribute("stroke") = "black";
  return box;
}

// Where a label of that size goes beside `near`: the first place around it that stays inside
// the panel and covers least of what is drawn already.
Box PlaceLabel(const Box& near, double width, const Box& inside, const std::vector<Box>& taken) {
  const double h = kLabelSize + 2;
  const double midY = (near.y0 + near.y1) / 2;
  const Box candidates[] = {{near.x1 + 3, midY - h / 2, near.x1 + 3 + width, midY + h / 2},
                            {near.x0 - 3 - width, midY - h / 2, near.x0 - 3, midY + h / 2},
                            {near.x0, near.y0 - 3 - h, near.x0 + width, near.y0 - 3},
                            {near.x0, near.y1 + 3, near.x0 + width, near.y1 + 3 + h},
                            {near.x1 + 3, near.y0 - 3 - h, near.x1 + 3 + width, near.y0 - 3},
                            {near.x1 + 3, near.y1 + 3, near.x1 + 3 + width, near.y1 + 3 + h}};
  Box best{};
  double bestCost = -1;
  for (Box b : candidates) {
    const double dx = std::max(0.0, inside.x0 - b.x0) - std::max(0.0, b.x1 - inside.x1);
    const double dy = std::max(0.0, inside.y0 - b.y0) - std::max(0.0, b.y1 - inside.y1);
    b = {b.x0 + dx, b.y0 + dy, b.x1 + dx, b.y1 + dy};  // moved back inside
    double cost = std::abs(dx) + std::abs(dy);
    for (const Box& t : taken) cost += t.Overlap(b);
    if (bestCost < 0 || cost < bestCost) {
      best = b;
      bestCost = cost;
    }
  }
  return best;
}

// Axis arrows in the panel's lower left corner, and the model's axes through the origin where
// they cross the panel.
void Axes(pugi::xml_node g, const View& view, const PanelScale& scale, double left) {
  const Box inside = scale.Inside();
  const double ox = scale.X(0), oy = scale.Y(0);
  if (ox > inside.x0 && ox < inside.x1)
    Line(g, ox, inside.y0, ox, inside.y1, "#cccccc").append_attribute("stroke-dasharray") = "4 3";
  if (oy > inside.y0 && oy < inside.y1)
    Line(g, inside.x0, oy, inside.x1, oy, "#cccccc").append_attribute("stroke-dasharray") = "4 3";
  const double x = left + 12, y = kCaption + kPanel - 12;
  Line(g, x, y, x + 28, y, kAxisColour).append_attribute("marker-end") = "url(#head-555555)";
  Line(g, x, y, x, y - 28, kAxisColour).append_attribute("marker-end") = "url(#head-555555)";
  Text(g, x + 31, y + 4, view.acrossName, 10);
  Text(g, x - 3, y - 31, view.upName, 10);
}

void Panel(pugi::xml_node svg, const std::vector<const TargetRecord*>& shown,
           const std::vector<int>& scores, const View& view, double left, double scale) {
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
  const PanelScale panel(shown, view, left, scale);
  Axes(g, view, panel, left);
  std::vector<Box> shapes, taken;  // the targets' own boxes; everything drawn
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const TargetRecord* r = shown[i];
    const double x = panel.X(r->center[view.across]), y = panel.Y(r->center[view.up]);
    shapes.push_back(Shape(g, *r, view, panel, scores[i]));
    taken.push_back(shapes.back());
    taken.push_back(Arrow(g, x, y, r->normal, view, kNormalColour));
    taken.push_back(Arrow(g, x, y, r->xdir, view, kXDirColour));
  }
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const std::string label =
        shown[i]->name + (scores[i] >= 0 ? " (" + std::to_string(scores[i]) + ")" : "");
    const Box at = PlaceLabel(shapes[i], double(label.size()) * kCharWidth, panel.Inside(), taken);
    taken.push_back(at);
    Text(g, at.x0, at.y1 - 2, label, kLabelSize);
  }
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
  std::string legend = "arrows: normal (blue), x direction (purple)";
  if (scored) legend += "; " + std::string(kScoreLegend);
  Text(g, 10 + length * scale + 80, y + 4, legend, 11);
}

}  // namespace

std::string DrawingNumber(double value) {
  std::ostringstream text;
  text.precision(6);
  text << value;
  return text.str();
}

const char* ScoreColour(int score) {
  if (score < 0) return "none";
  return score >= 70 ? "#009E73" : score >= 50 ? "#E69F00" : "#D55E00";
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
  std::string caption = title + ": " + std::to_string(shown.size()) + " targets";
  if (shown.size() != records.size())
    caption +=
        ", " + std::to_string(records.size() - shown.size()) + " without a finite centre left out";
  Text(svg, 6, 20, caption, 14);
  const double scale = (kPanel - 2 * kMargin) / Span(shown);
  for (int i = 0; i < 3; ++i) Panel(svg, shown, shownScores, kViews[i], i * kPanel, scale);
  Footer(svg, scale, unit, !scores.empty());
  std::ostringstream out;
  doc.save(out, "  ");
  return out.str();
}

}  // namespace artargets
