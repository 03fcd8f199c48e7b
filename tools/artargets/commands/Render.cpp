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
      const double p[2] = {r->center[view.across], r->center[view.up]};
      for (int i = 0; i < 2; ++i) {
        lo[i] = first ? p[i] : std::min(lo[i], p[i]);
        hi[i] = first ? p[i] : std::max(hi[i], p[i]);
      }
      first = false;
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

void Panel(pugi::xml_node svg, const std::vector<const TargetRecord*>& shown, const View& view,
           double left) {
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
  for (const auto* r : shown) {
    const double x = scale.X(r->center[view.across]), y = scale.Y(r->center[view.up]);
    pugi::xml_node dot = g.append_child("circle");
    dot.append_attribute("cx") = Num(x).c_str();
    dot.append_attribute("cy") = Num(y).c_str();
    dot.append_attribute("r") = "3";
    Arrow(g, x, y, r->normal, view, "red");
    Arrow(g, x, y, r->xdir, view, "blue");
    Text(g, x + 5, y - 5, r->name, "10");
  }
}

}  // namespace

std::string RenderSvg(const std::vector<TargetRecord>& records, const std::string& title) {
  std::vector<const TargetRecord*> shown;
  for (const auto& r : records)
    if (Finite(r.center)) shown.push_back(&r);
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
  Text(svg, 6, 20, caption, "14");
  for (int i = 0; i < 3; ++i) Panel(svg, shown, kViews[i], i * kPanel);
  std::ostringstream out;
  doc.save(out, "  ");
  return out.str();
}

}  // namespace artargets
