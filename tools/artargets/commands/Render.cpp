#include "Render.h"

#include <algorithm>
#include <cmath>
#include <pugixml.hpp>
#include <sstream>

namespace artargets {

namespace {

constexpr double kPanel = 320;   // side of one panel, in SVG units
constexpr double kMargin = 40;   // inside a panel, around the drawing
constexpr double kArrow = 24;    // drawn length of a direction
constexpr double kCaption = 30;  // height of the caption above the panels

struct View {
  const char* title;
  int across, up;  // which coordinates go right and up
};
constexpr View kViews[] = {{"top (x, y)", 0, 1}, {"front (x, z)", 0, 2}, {"side (y, z)", 1, 2}};

bool Finite(const Vec3& v) {
  return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

// The four corners of the target's rectangle, or none when its size or directions are unknown.
std::vector<Vec3> Corners(const TargetRecord& r) {
  const double x = std::hypot(r.xdir[0], r.xdir[1], r.xdir[2]);
  const double y = std::hypot(r.ydir[0], r.ydir[1], r.ydir[2]);
  const bool known = std::isfinite(r.width) && std::isfinite(r.height) && r.width > 0 &&
                     r.height > 0 && std::isfinite(x) && std::isfinite(y) && x > 0 && y > 0;
  if (!known) return {};
  std::vector<Vec3> corners;
  for (const auto& [sx, sy] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) {
    Vec3 c = r.center;
    for (int i = 0; i < 3; ++i)
      c[i] += sx * r.width / 2 * r.xdir[i] / x + sy * r.height / 2 * r.ydir[i] / y;
    corners.push_back(c);
  }
  return corners;
}

const char* ScoreColour(int score) {
  if (score < 0) return "none";
  return score >= 70 ? "#4caf50" : score >= 50 ? "#ff9800" : "#e53935";
}

std::string Num(double value) {
  std::ostringstream text;
  text.precision(6);
  text << value;
  return text.str();
}

// Maps model coordinates of one view into its panel, keeping the aspect ratio.
class PanelScale {
 public:
  PanelScale(const std::vector<const TargetRecord*>& shown, const View& view, double left) {
    double lo[2] = {0, 0}, hi[2] = {0, 0};
    bool first = true;
    for (const auto* r : shown) {
      std::vector<Vec3> points = Corners(*r);
      points.push_back(r->center);
      for (const Vec3& point : points) {
        const double p[2] = {point[view.across], point[view.up]};
        for (int i = 0; i < 2; ++i) {
          lo[i] = first ? p[i] : std::min(lo[i], p[i]);
          hi[i] = first ? p[i] : std::max(hi[i], p[i]);
        }
        first = false;
      }
    }
    const double span = std::max({hi[0] - lo[0], hi[1] - lo[1], 1e-12});
    scale_ = (kPanel - 2 * kMargin) / span;
    x0_ = left + kPanel / 2 - (lo[0] + hi[0]) / 2 * scale_;
    y0_ = kCaption + kPanel / 2 + (lo[1] + hi[1]) / 2 * scale_;
  }
  double X(double across) const { return x0_ + across * scale_; }
  double Y(double up) const { return y0_ - up * scale_; }

 private:
  double scale_, x0_, y0_;
};

void Arrow(pugi::xml_node g, double x, double y, const Vec3& d, const View& view,
           const char* colour) {
  const double dx = d[view.across], dy = d[view.up];
  const double length = std::hypot(dx, dy);
  if (!std::isfinite(length) || length == 0) return;  // seen end-on, or not a direction
  pugi::xml_node line = g.append_child("line");
  line.append_attribute("x1") = Num(x).c_str();
  line.append_attribute("y1") = Num(y).c_str();
  line.append_attribute("x2") = Num(x + dx / length * kArrow).c_str();
  line.append_attribute("y2") = Num(y - dy / length * kArrow).c_str();
  line.append_attribute("stroke") = colour;
  line.append_attribute("marker-end") = (std::string("url(#head-") + colour + ")").c_str();
}

void Text(pugi::xml_node parent, double x, double y, const std::string& text, const char* size) {
  pugi::xml_node node = parent.append_child("text");
  node.append_attribute("x") = Num(x).c_str();
  node.append_attribute("y") = Num(y).c_str();
  node.append_attribute("font-size") = size;
  node.append_child(pugi::node_pcdata).set_value(text.c_str());
}

void Markers(pugi::xml_node svg) {
  pugi::xml_node defs = svg.append_child("defs");
  for (const char* colour : {"red", "blue"}) {
    pugi::xml_node marker = defs.append_child("marker");
    marker.append_attribute("id") = (std::string("head-") + colour).c_str();
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

void Shape(pugi::xml_node g, const TargetRecord& r, const View& view, const PanelScale& scale,
           int score) {
  const std::vector<Vec3> corners = Corners(r);
  if (corners.empty()) {
    pugi::xml_node dot = g.append_child("circle");
    dot.append_attribute("cx") = Num(scale.X(r.center[view.across])).c_str();
    dot.append_attribute("cy") = Num(scale.Y(r.center[view.up])).c_str();
    dot.append_attribute("r") = "3";
    dot.append_attribute("fill") = score < 0 ? "black" : ScoreColour(score);
    return;
  }
  std::string points;
  for (const Vec3& c : corners)
    points += Num(scale.X(c[view.across])) + "," + Num(scale.Y(c[view.up])) + " ";
  pugi::xml_node polygon = g.append_child("polygon");
  polygon.append_attribute("points") = points.c_str();
  polygon.append_attribute("fill") = ScoreColour(score);
  polygon.append_attribute("fill-opacity") = "0.6";
  polygon.append_attribute("stroke") = "black";
}

void Panel(pugi::xml_node svg, const std::vector<const TargetRecord*>& shown,
           const std::vector<int>& scores, const View& view, double left) {
  pugi::xml_node g = svg.append_child("g");
  pugi::xml_node frame = g.append_child("rect");
  frame.append_attribute("x") = Num(left).c_str();
  frame.append_attribute("y") = Num(kCaption).c_str();
  frame.append_attribute("width") = Num(kPanel).c_str();
  frame.append_attribute("height") = Num(kPanel).c_str();
  frame.append_attribute("fill") = "none";
  frame.append_attribute("stroke") = "#999";
  Text(g, left + 6, kCaption + 16, view.title, "12");
  const PanelScale scale(shown, view, left);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const TargetRecord* r = shown[i];
    const double x = scale.X(r->center[view.across]), y = scale.Y(r->center[view.up]);
    Shape(g, *r, view, scale, i < scores.size() ? scores[i] : -1);
    Arrow(g, x, y, r->normal, view, "red");
    Arrow(g, x, y, r->xdir, view, "blue");
    Text(g, x + 5, y - 5, r->name, "10");
  }
}

}  // namespace

std::string RenderSvg(const std::vector<TargetRecord>& records, const std::string& title,
                      const std::vector<int>& scores) {
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
  svg.append_attribute("width") = Num(3 * kPanel).c_str();
  svg.append_attribute("height") = Num(kCaption + kPanel).c_str();
  svg.append_attribute("font-family") = "sans-serif";
  Markers(svg);
  std::string caption = title + ": " + std::to_string(shown.size()) + " targets";
  if (shown.size() != records.size())
    caption +=
        ", " + std::to_string(records.size() - shown.size()) + " without a finite centre left out";
  if (!scores.empty()) caption += "; image scores: green from 70, orange from 50, red below";
  Text(svg, 6, 20, caption, "14");
  for (int i = 0; i < 3; ++i) Panel(svg, shown, shownScores, kViews[i], i * kPanel);
  std::ostringstream out;
  doc.save(out, "  ");
  return out.str();
}

}  // namespace artargets
