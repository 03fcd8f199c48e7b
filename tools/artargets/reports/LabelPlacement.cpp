#include "reports/LabelPlacement.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace artargets {

namespace {

constexpr unsigned char kShaded = 1, kBlocked = 2;
constexpr double kGap = 4;  // between a label and its mark: beyond an arrow head along its edge

// The index of the cell holding `at` along an axis starting at `from`, clamped to [0, count);
// `ending` for the end of a span, which does not reach into the cell that starts where it ends.
int CellIndex(double at, double from, double cell, int count, bool ending = false) {
  const double index = ending ? std::ceil((at - from) / cell) - 1 : std::floor((at - from) / cell);
  if (!(index > 0)) return 0;  // NaN too
  return int(std::min(index, double(count - 1)));
}

struct Point {
  double x, y;
};

double SquaredDistanceToSegment(Point p, Point a, Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y, length = dx * dx + dy * dy;
  const double t =
      length > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length, 0.0, 1.0) : 0.0;
  const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
  return ex * ex + ey * ey;
}

double SquaredDistanceToBox(Point p, const Box& b) {
  const double dx = std::max({b.x0 - p.x, 0.0, p.x - b.x1});
  const double dy = std::max({b.y0 - p.y, 0.0, p.y - b.y1});
  return dx * dx + dy * dy;
}

// Whether the segment passes through the box (Liang-Barsky clipping).
bool Crosses(Point a, Point b, const Box& box) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double p[] = {-dx, dx, -dy, dy};
  const double q[] = {a.x - box.x0, box.x1 - a.x, a.y - box.y0, box.y1 - a.y};
  double t0 = 0, t1 = 1;
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
    } else if (p[i] < 0) {
      t0 = std::max(t0, q[i] / p[i]);
    } else {
      t1 = std::min(t1, q[i] / p[i]);
    }
  }
  return t0 <= t1;
}

double SquaredDistance(Point a, Point b, const Box& box) {
  if (Crosses(a, b, box)) return 0;
  double d = std::min(SquaredDistanceToBox(a, box), SquaredDistanceToBox(b, box));
  for (const Point corner :
       {Point{box.x0, box.y0}, Point{box.x1, box.y0}, Point{box.x0, box.y1}, Point{box.x1, box.y1}})
    d = std::min(d, SquaredDistanceToSegment(corner, a, b));
  return d;
}

Box Union(const Box& a, const Box& b) {
  return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

}  // namespace

double LabelWidth(const std::string& text) {
  std::size_t characters = 0;
  for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return double(characters) * kLabelCharWidth + 2 * kLabelPadding;
}

std::string MoreHere(std::size_t count) { return "+" + std::to_string(count) + " more here"; }

LabelGrid::LabelGrid(const Box& area, double cell)
    : area_(area),
      cell_(cell),
      columns_(std::max(1, int(std::ceil((area.x1 - area.x0) / cell)))),
      rows_(std::max(1, int(std::ceil((area.y1 - area.y0) / cell)))),
      state_(std::size_t(columns_) * std::size_t(rows_), 0) {}

LabelGrid::Cells LabelGrid::Touched(const Box& box) const {
  // NaN fails every comparison: such a box touches nothing.
  if (!(box.x1 >= area_.x0 && box.x0 <= area_.x1 && box.y1 >= area_.y0 && box.y0 <= area_.y1))
    return {0, 0, -1, -1};
  const int c0 = CellIndex(box.x0, area_.x0, cell_, columns_);
  const int r0 = CellIndex(box.y0, area_.y0, cell_, rows_);
  return {c0, r0, std::max(c0, CellIndex(box.x1, area_.x0, cell_, columns_, true)),
          std::max(r0, CellIndex(box.y1, area_.y0, cell_, rows_, true))};
}

void LabelGrid::Block(const Box& box) {
  const Cells t = Touched(box);
  for (int r = t.r0; r <= t.r1; ++r)
    for (int c = t.c0; c <= t.c1; ++c) state_[std::size_t(r) * columns_ + c] = kBlocked;
}

void LabelGrid::Shade(const Box& box) {
  const Cells t = Touched(box);
  for (int r = t.r0; r <= t.r1; ++r)
    for (int c = t.c0; c <= t.c1; ++c) {
      unsigned char& state = state_[std::size_t(r) * columns_ + c];
      state = std::max(state, kShaded);
    }
}

// Blocks every cell that comes within the margin of the segment.
void LabelGrid::BlockSegment(double x0, double y0, double x1, double y1, double margin) {
  const Box around{std::min(x0, x1) - margin, std::min(y0, y1) - margin, std::max(x0, x1) + margin,
                   std::max(y0, y1) + margin};
  const Cells t = Touched(around);
  for (int r = t.r0; r <= t.r1; ++r)
    for (int c = t.c0; c <= t.c1; ++c) {
      const double cx = area_.x0 + c * cell_, cy = area_.y0 + r * cell_;
      if (SquaredDistance({x0, y0}, {x1, y1}, {cx, cy, cx + cell_, cy + cell_}) <= margin * margin)
        state_[std::size_t(r) * columns_ + c] = kBlocked;
    }
}

bool LabelGrid::Free(const Box& box) const {
  const Cells t = Touched(box);
  if (t.c0 > t.c1 || t.r0 > t.r1) return true;
  // In a crowded picture nearly every place tried is taken: its corners and middle, looked at
  // first, mostly tell so without going through its every cell.
  const int midR = (t.r0 + t.r1) / 2, midC = (t.c0 + t.c1) / 2;
  for (const auto& [r, c] : {std::pair{midR, midC},
                             {t.r0, t.c0},
                             {t.r0, t.c1},
                             {t.r1, t.c0},
                             {t.r1, t.c1},
                             {midR, t.c0},
                             {midR, t.c1}})
    if (state_[std::size_t(r) * columns_ + c] == kBlocked) return false;
  for (int r = t.r0; r <= t.r1; ++r)
    for (int c = t.c0; c <= t.c1; ++c)
      if (state_[std::size_t(r) * columns_ + c] == kBlocked) return false;
  return true;
}

int LabelGrid::ShadedCells(const Box& box) const {
  const Cells t = Touched(box);
  int shaded = 0;
  for (int r = t.r0; r <= t.r1; ++r)
    for (int c = t.c0; c <= t.c1; ++c) shaded += state_[std::size_t(r) * columns_ + c] != 0;
  return shaded;
}

// The box moved back inside the area; one wider than the area starts at its left edge.
Box LabelGrid::Inside(const Box& b) const {
  double dx = std::max(0.0, area_.x0 - b.x0) - std::max(0.0, b.x1 - area_.x1);
  double dy = std::max(0.0, area_.y0 - b.y0) - std::max(0.0, b.y1 - area_.y1);
  if (b.x1 - b.x0 > area_.x1 - area_.x0) dx = area_.x0 - b.x0;
  if (b.y1 - b.y0 > area_.y1 - area_.y0) dy = area_.y0 - b.y0;
  return {b.x0 + dx, b.y0 + dy, b.x1 + dx, b.y1 + dy};
}

std::optional<Box> LabelGrid::PlaceBeside(const Box& near, double width) const {
  const double h = kLabelHeight, midY = (near.y0 + near.y1) / 2;
  const Box candidates[] = {
      {near.x1 + kGap, midY - h / 2, near.x1 + kGap + width, midY + h / 2},
      {near.x0 - kGap - width, midY - h / 2, near.x0 - kGap, midY + h / 2},
      {near.x0, near.y0 - kGap - h, near.x0 + width, near.y0 - kGap},
      {near.x0, near.y1 + kGap, near.x0 + width, near.y1 + kGap + h},
      {near.x1 + kGap, near.y0 - kGap - h, near.x1 + kGap + width, near.y0 - kGap},
      {near.x1 + kGap, near.y1 + kGap, near.x1 + kGap + width, near.y1 + kGap + h},
      {near.x0 - kGap - width, near.y0 - kGap - h, near.x0 - kGap, near.y0 - kGap},
      {near.x0 - kGap - width, near.y1 + kGap, near.x0 - kGap, near.y1 + kGap + h}};
  std::optional<Box> best;
  int bestShaded = 0;
  for (const Box& candidate : candidates) {
    const Box b = Inside(candidate);
    if (!std::isfinite(b.x0 + b.x1 + b.y0 + b.y1) || !Free(b)) continue;  // beside a huge mark
    const int shaded = ShadedCells(b);
    if (!best || shaded < bestShaded) {
      best = b;
      bestShaded = shaded;
    }
    if (shaded == 0) break;
  }
  return best;
}

std::optional<Box> LabelGrid::PlaceWithin(const Box& region, double width) const {
  const Cells t = Touched(region);
  for (int r = t.r0; r <= t.r1; ++r)
    for (int c = t.c0; c <= t.c1; ++c) {
      const double x = area_.x0 + c * cell_, y = area_.y0 + r * cell_;
      const Box b{x, y, x + width, y + kLabelHeight};
      if (b.x1 > area_.x1 || b.y1 > area_.y1) continue;
      if (Free(b)) return b;
    }
  return std::nullopt;
}

LabelLayout LayOutLabels(LabelGrid& grid, const std::vector<LabelWanted>& wanted,
                         double neighbourhood) {
  const Box& area = grid.Area();
  const int columns = std::max(1, int(std::ceil((area.x1 - area.x0) / neighbourhood)));
  const int rows = std::max(1, int(std::ceil((area.y1 - area.y0) / neighbourhood)));
  struct Waiting {
    std::size_t count = 0;
    Box marks{};  // of the labels waiting
  };
  std::vector<Waiting> waiting(std::size_t(columns) * std::size_t(rows));
  LabelLayout layout;
  layout.placed.reserve(wanted.size());
  for (const LabelWanted& label : wanted) {
    layout.placed.push_back(grid.PlaceBeside(label.near, label.width));
    if (layout.placed.back()) {
      grid.Block(*layout.placed.back());
      continue;
    }
    const int c = CellIndex((label.near.x0 + label.near.x1) / 2, area.x0, neighbourhood, columns);
    const int r = CellIndex((label.near.y0 + label.near.y1) / 2, area.y0, neighbourhood, rows);
    Waiting& w = waiting[std::size_t(r) * columns + c];
    w.marks = w.count == 0 ? label.near : Union(w.marks, label.near);
    ++w.count;
  }
  for (std::size_t i = 0; i < waiting.size(); ++i) {
    const Waiting& w = waiting[i];
    if (w.count == 0) continue;
    const double width = LabelWidth(MoreHere(w.count));
    const double x0 = area.x0 + double(i % columns) * neighbourhood;
    const double y0 = area.y0 + double(i / columns) * neighbourhood;
    std::optional<Box> at = grid.PlaceBeside(w.marks, width);
    if (!at) at = grid.PlaceWithin({x0, y0, x0 + neighbourhood, y0 + neighbourhood}, width);
    if (!at)  // anywhere in the neighbourhoods around
      at = grid.PlaceWithin(
          {x0 - neighbourhood, y0 - neighbourhood, x0 + 2 * neighbourhood, y0 + 2 * neighbourhood},
          width);
    if (!at) {
      layout.leftOut += w.count;
      continue;
    }
    grid.Block(*at);
    layout.gathered.push_back({*at, w.count});
  }
  return layout;
}

}  // namespace artargets
