// The picture render and report draw, read back as XML: one scale for the three views, labels
// inside their view and off each other, and the palette.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "reports/TargetViews.h"

namespace {

using artargets::TargetRecord;

// A target facing -y at (x, 0, z), of that size.
TargetRecord Standing(const std::string& name, double x, double z, double width, double height) {
  TargetRecord r;
  r.name = name;
  r.width = width;
  r.height = height;
  r.center = {x, 0, z};
  r.normal = {0, -1, 0};
  r.xdir = {1, 0, 0};
  r.ydir = {0, 0, 1};
  return r;
}

struct Label {
  double x, y, width;
};

// The targets' labels of one view (the panel's group), as the boxes the renderer gave them.
std::vector<Label> Labels(const pugi::xml_node& panel) {
  std::vector<Label> labels;
  for (const pugi::xml_node text : panel.children("text"))
    if (std::string(text.attribute("font-size").value()) == "10" &&
        std::string(text.text().get()).size() > 1)  // not the axes' names
      labels.push_back({text.attribute("x").as_double(), text.attribute("y").as_double(),
                        6.0 * std::string(text.text().get()).size()});
  return labels;
}

TEST(RenderSvg, LabelsStayInsideTheirViewAndOffEachOther) {
  struct Row {
    const char* layout;
    std::vector<TargetRecord> targets;
  };
  const Row rows[] = {
      {"a row of close neighbours",
       {Standing("first door", 0, 0, 1, 2), Standing("second door", 1.2, 0, 1, 2),
        Standing("third door", 2.4, 0, 1, 2)}},
      {"a long name at the edge",
       {Standing("a name long enough to leave the view", 10, 0, 1, 1),
        Standing("Bee", 0, 0, 1, 1)}},
      {"one target", {Standing("alone", 0, 0, 0.5, 0.5)}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.layout);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(artargets::RenderSvg(row.targets, "t.xml").c_str()));
    int panel = 0;
    for (const pugi::xml_node g : doc.child("svg").children("g")) {
      const pugi::xml_node frame = g.child("rect");
      if (!frame) continue;  // the scale bar
      const double left = frame.attribute("x").as_double();
      const double right = left + frame.attribute("width").as_double();
      const std::vector<Label> labels = Labels(g);
      EXPECT_EQ(labels.size(), row.targets.size()) << "panel " << panel;
      for (std::size_t i = 0; i < labels.size(); ++i) {
        EXPECT_GE(labels[i].x, left) << "panel " << panel;
        if (labels[i].width < right - left - 8) {
          EXPECT_LE(labels[i].x + labels[i].width, right) << "panel " << panel;
        }
        for (std::size_t j = 0; j < i; ++j) {
          const bool apart = labels[i].x >= labels[j].x + labels[j].width ||
                             labels[j].x >= labels[i].x + labels[i].width ||
                             std::abs(labels[i].y - labels[j].y) >= 10;
          if (panel != 2) {  // the side view sees these targets one behind the other
            EXPECT_TRUE(apart) << i << " over " << j << " in panel " << panel;
          }
        }
      }
      ++panel;
    }
    EXPECT_EQ(panel, 3);
  }
}

// The same target is as large in each view it is seen flat in, and the scale bar is a round
// length of the unit given.
TEST(RenderSvg, OneScaleForAllViews) {
  const std::vector<TargetRecord> targets = {Standing("wide", 0, 0, 4, 1),
                                             Standing("far", 0, 10, 1, 1)};
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(artargets::RenderSvg(targets, "t.xml", {80, 10}, "mm").c_str()));
  std::vector<double> widths;  // of the polygons' extents across, per view
  for (const pugi::xml_node g : doc.child("svg").children("g")) {
    const pugi::xml_node polygon = g.child("polygon");
    if (!polygon) continue;
    double lo = 1e9, hi = -1e9, x = 0, y = 0;
    std::string points = polygon.attribute("points").value();
    for (char& c : points) c = c == ',' ? ' ' : c;
    std::istringstream in(points);
    while (in >> x >> y) {
      lo = std::min(lo, x);
      hi = std::max(hi, x);
    }
    widths.push_back(hi - lo);
    EXPECT_EQ(std::string(polygon.attribute("fill").value()), "#009E73") << "80: bluish green";
  }
  ASSERT_EQ(widths.size(), 3u);
  EXPECT_NEAR(widths[0], widths[1], 1e-6) << "top and front show the width at one scale";
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
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(artargets::RenderSvg({wide}, "t.xml").c_str()));
    std::vector<std::pair<double, double>> extents;  // across and up, per view
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
      extents.push_back({x1 - x0, y1 - y0});
    }
    ASSERT_EQ(extents.size(), 3u);
    const auto [across, up] = extents[1];  // the front view (x, z)
    EXPECT_NEAR(turn == 0 ? across / up : up / across, 4, 1e-6) << "turn " << turn;
  }
}

}  // namespace
