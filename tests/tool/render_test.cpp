// The picture render and report draw, read back as XML: one scale for the three views, labels
// inside their view and off each other and the arrows however crowded, and the palette.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "reports/LabelPlacement.h"
#include "reports/TargetViews.h"

namespace {

using artargets::TargetRecord;
using artargets::Vec3;

// A target facing -y at (x, 0, z), of that size.
TargetRecord Standing(const std::string& name, double x, double z, double width, double height) {
  // name, image, size, type, id, centre, normal, xdir, ydir, shape
  return {name, "", width, height, 0, 0, {x, 0, z}, {0, -1, 0}, {1, 0, 0}, {0, 0, 1}, ""};
}

// A point of the picture.
struct Point {
  double x, y;
};

// What one view drew: its frame, its labels' boxes, its arrows, and how many labels each kind of
// text stands for.
struct DrawnView {
  artargets::Box frame;
  std::vector<artargets::Box> labels;  // placed and gathered alike
  std::vector<std::pair<Point, Point>> arrows;
  std::size_t placed = 0, gathered = 0, leftOut = 0, shapes = 0;
};

double Number(const pugi::xml_node& node, const char* name) {
  return node.attribute(name).as_double();
}

DrawnView Read(const pugi::xml_node& g) {
  using artargets::kLabelDescent, artargets::kLabelHeight, artargets::kLabelPadding;
  DrawnView view;
  const pugi::xml_node frame = g.child("rect");
  view.frame = {Number(frame, "x"), Number(frame, "y"), Number(frame, "x") + Number(frame, "width"),
                Number(frame, "y") + Number(frame, "height")};
  for (const pugi::xml_node node : g.children()) {
    const std::string kind = node.attribute("class").value(), name = node.name();
    const std::size_t count = node.attribute("data-count").as_ullong();
    if (name == "polygon" || name == "circle") ++view.shapes;
    if (kind == "arrow")
      view.arrows.push_back(
          {{Number(node, "x1"), Number(node, "y1")}, {Number(node, "x2"), Number(node, "y2")}});
    if (kind == "left-out") view.leftOut += count;
    if (kind != "label" && kind != "label more") continue;
    (kind == "label" ? view.placed : view.gathered) += kind == "label" ? 1 : count;
    const double x = Number(node, "x"), bottom = Number(node, "y") + kLabelDescent;
    view.labels.push_back({x - kLabelPadding, bottom - kLabelHeight,
                           x + Number(node, "textLength") + kLabelPadding, bottom});
  }
  return view;
}

std::vector<DrawnView> Views(const std::string& svg) {
  pugi::xml_document doc;
  EXPECT_TRUE(doc.load_string(svg.c_str()));
  std::vector<DrawnView> views;
  for (const pugi::xml_node g : doc.child("svg").children("g"))
    if (g.child("rect") && std::string(g.attribute("class").value()) != "scale")
      views.push_back(Read(g));
  return views;
}

bool Intersect(const artargets::Box& a, const artargets::Box& b) {
  return std::min(a.x1, b.x1) > std::max(a.x0, b.x0) && std::min(a.y1, b.y1) > std::max(a.y0, b.y0);
}

// Whether the segment passes through the box (Liang-Barsky clipping).
bool Crosses(const std::pair<Point, Point>& s, const artargets::Box& b) {
  const double dx = s.second.x - s.first.x, dy = s.second.y - s.first.y;
  const double p[] = {-dx, dx, -dy, dy};
  const double q[] = {s.first.x - b.x0, b.x1 - s.first.x, s.first.y - b.y0, b.y1 - s.first.y};
  double t0 = 0, t1 = 1;
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    if (p[i] > 0) t1 = std::min(t1, t);
  }
  return t0 <= t1;
}

artargets::Box Grown(const artargets::Box& b, double by) {
  return {b.x0 - by, b.y0 - by, b.x1 + by, b.y1 + by};
}

// The last 6 units of an arrow, where its head is drawn (as wide as 6).
std::pair<Point, Point> Head(const std::pair<Point, Point>& arrow) {
  const auto& [from, to] = arrow;
  const double back = std::min(1.0, 6 / std::hypot(to.x - from.x, to.y - from.y));
  return {{to.x - (to.x - from.x) * back, to.y - (to.y - from.y) * back}, to};
}

// A target at (x, y, z) facing `normal`, its x direction `xdir`.
TargetRecord Facing(const std::string& name, Vec3 center, Vec3 normal, Vec3 xdir) {
  TargetRecord r = Standing(name, 0, 0, 0.4, 0.3);
  r.center = center;
  r.normal = normal;
  r.xdir = xdir;
  r.ydir = {normal[1] * xdir[2] - normal[2] * xdir[1], normal[2] * xdir[0] - normal[0] * xdir[2],
            normal[0] * xdir[1] - normal[1] * xdir[0]};
  return r;
}

// `count` targets, the i-th made by `make` from i and its number as text.
std::vector<TargetRecord> Many(int count, TargetRecord (*make)(int, const std::string&)) {
  std::vector<TargetRecord> targets;
  for (int i = 0; i < count; ++i) targets.push_back(make(i, std::to_string(i)));
  return targets;
}

// One of 24 targets on a circle, facing its centre: their normals cross there.
TargetRecord Ring(int i, const std::string& n) {
  const double a = 2 * std::acos(-1.0) * i / 24, c = std::cos(a), s = std::sin(a);
  return Facing("ring " + n, {c, s, 0.1 * i}, {-c, -s, 0}, {-s, c, 0});
}

// The polygons the views drew, each as its extents across and up and its fill.
struct Extent {
  double across, up;
  std::string fill;
};
std::vector<Extent> Polygons(const std::string& svg) {
  pugi::xml_document doc;
  EXPECT_TRUE(doc.load_string(svg.c_str()));
  std::vector<Extent> extents;
  for (const pugi::xml_node g : doc.child("svg").children("g")) {
    const pugi::xml_node polygon = g.child("polygon");
    if (!polygon) continue;
    double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9, x = 0, y = 0;
    std::string points = polygon.attribute("points").value();
    for (char& c : points) c = c == ',' ? ' ' : c;
    std::istringstream in(points);
    while (in >> x >> y) {
      x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
    extents.push_back({x1 - x0, y1 - y0, polygon.attribute("fill").value()});
  }
  return extents;
}

// However crowded the views, no label covers another or crosses an arrow, every label stays in
// its view, and every target is labelled, gathered into a "+N more here" or counted as left out,
// once.
TEST(RenderSvg, CrowdedLabelsNeverOverlapAndAddUp) {
  struct Row {
    const char* layout;
    std::vector<TargetRecord> targets;
    std::size_t mostShapes;  // in any view
    bool everyLabelPlaced;   // in the top and front views
  };
  const Row rows[] = {
      {"a row of close neighbours",
       {Standing("first door", 0, 0, 1, 2), Standing("second door", 1.2, 0, 1, 2),
        Standing("third door", 2.4, 0, 1, 2)},
       3,
       true},
      {"a long name at the edge",
       {Standing("a name long enough to leave the view", 10, 0, 1, 1), Standing("Bee", 0, 0, 1, 1)},
       2,
       true},
      {"one target", {Standing("alone", 0, 0, 0.5, 0.5)}, 1, true},
      {"many at one spot",
       Many(300, [](int, const std::string& n) { return Standing("t" + n, 2, 1, 1, 1); }), 1,
       false},
      {"a row of close ones",
       Many(60,
            [](int i, const std::string& n) {
              return Standing("sign " + n, i * 0.05, 0, 0.025, 0.025);
            }),
       60, false},
      {"arrows crossing", Many(24, Ring), 24, false},
      {"a dense field",
       Many(1600,
            [](int i, const std::string& n) {
              return Standing("field " + n, i % 40, i / 40, 0.5, 0.5);
            }),
       1600, false},
      {"a target too large to draw",
       {Standing("huge", 1.7e308, 0, 1e308, 1), Standing("small", 1, 0, 1, 1)},
       2,
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.layout);
    const std::vector<DrawnView> views = Views(artargets::RenderSvg(row.targets, "t.xml"));
    ASSERT_EQ(views.size(), 3u);
    for (std::size_t v = 0; v < views.size(); ++v) {
      SCOPED_TRACE("view " + std::to_string(v));
      const DrawnView& view = views[v];
      EXPECT_EQ(view.placed + view.gathered + view.leftOut, row.targets.size());
      EXPECT_LE(view.shapes, row.mostShapes);
      EXPECT_GE(view.shapes, 1u);
      if (row.everyLabelPlaced && v < 2) {
        EXPECT_EQ(view.placed, row.targets.size());
      }
      for (std::size_t i = 0; i < view.labels.size(); ++i) {
        const artargets::Box& label = view.labels[i];
        EXPECT_GE(label.x0, view.frame.x0);
        EXPECT_GE(label.y0, view.frame.y0);
        EXPECT_LE(label.y1, view.frame.y1);
        if (label.x1 - label.x0 < view.frame.x1 - view.frame.x0 - 8) {
          EXPECT_LE(label.x1, view.frame.x1);
        }
        for (std::size_t j = 0; j < i; ++j)
          EXPECT_FALSE(Intersect(label, view.labels[j])) << i << " over " << j;
        for (const auto& arrow : view.arrows) {
          EXPECT_FALSE(Crosses(arrow, Grown(label, 0.5))) << "label " << i << " on an arrow";
          EXPECT_FALSE(Crosses(Head(arrow), Grown(label, 3))) << "label " << i << " on its head";
        }
      }
    }
  }
}

// The same target is as large in each view it is seen flat in, and the scale bar is a round
// length of the unit given.
TEST(RenderSvg, OneScaleForAllViews) {
  const std::vector<TargetRecord> targets = {Standing("wide", 0, 0, 4, 1),
                                             Standing("far", 0, 10, 1, 1)};
  const std::vector<Extent> polygons =
      Polygons(artargets::RenderSvg(targets, "t.xml", {80, 10}, "mm"));
  ASSERT_EQ(polygons.size(), 3u);
  for (const Extent& p : polygons) EXPECT_EQ(p.fill, "#009E73") << "80: bluish green";
  EXPECT_NEAR(polygons[0].across, polygons[1].across, 1e-6) << "top and front, one scale";
  const std::string svg = artargets::RenderSvg(targets, "t.xml", {}, "mm");
  EXPECT_NE(svg.find(" mm</text>"), std::string::npos);
  EXPECT_EQ(svg.find("#D55E00"), std::string::npos) << "no scores, no score colours";
}

// The rotation turns the picture about its normal, as the exports place it: a quarter turn
// stands a wide target on its end in the front view, which sees it flat.
TEST(RenderSvg, TheRotationTurnsTheRectangleInItsPlane) {
  for (const double turn : {0.0, std::acos(0.0), -std::acos(0.0)}) {
    TargetRecord wide = Standing("wide", 0, 0, 4, 1);
    wide.rotation = turn;
    const std::vector<Extent> polygons = Polygons(artargets::RenderSvg({wide}, "t.xml"));
    ASSERT_EQ(polygons.size(), 3u);
    const auto [across, up, fill] = polygons[1];  // the front view (x, z)
    EXPECT_NEAR(turn == 0 ? across / up : up / across, 4, 1e-6) << "turn " << turn;
  }
}

}  // namespace
