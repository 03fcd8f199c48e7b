// Where the labels of a crowded picture go: beside their marks, inside their area, never over
// another label or an arrow. The area is cut into small square cells; what is drawn marks the
// cells it touches, as blocked (labels, arrows and their heads) or shaded (the targets'
// shapes, which a label may cover when nothing better is near). A label is tried at a few places
// around its mark and takes the first that covers no blocked cell and the fewest shaded ones, so
// each label costs the cells it covers, whatever the number of labels: placing n labels takes
// time in proportion to n. A label with no free place near its mark is gathered with the others
// of its neighbourhood into one "+N more here" label; when even that finds no room, it is
// counted as left out. Not thread-safe; one grid per picture.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace artargets {

// A rectangle of the picture, y down, x0 <= x1 and y0 <= y1.
struct Box {
  double x0, y0, x1, y1;
};

// A label's font size, its line's height and the width given to each character (the labels are
// drawn stretched or squeezed to exactly that width, so that the box drawn is the box placed).
inline constexpr double kLabelFont = 10, kLabelHeight = 14, kLabelCharWidth = 6;
// Where a label's baseline sits above its box's bottom edge, and the room its box leaves on
// either side of the text (glyphs may reach a little past the width they are drawn to).
inline constexpr double kLabelDescent = 3.5, kLabelPadding = 1;

// The width of `text`'s box as a label: kLabelCharWidth per character (UTF-8 counted by
// characters) and the padding.
double LabelWidth(const std::string& text);
// The text of a gathered label.
std::string MoreHere(std::size_t count);

class LabelGrid {
 public:
  // Labels stay inside `area`; the cells are `cell` wide and high.
  LabelGrid(const Box& area, double cell = 2);

  // No label may cover the segment from (x0, y0) to (x1, y1), nor anything within `margin` of it.
  void BlockSegment(double x0, double y0, double x1, double y1, double margin);
  void Block(const Box& box);
  // Labels keep off the box when they can.
  void Shade(const Box& box);

  // The place for a label `width` wide beside `near` (right, left, above, below, or diagonal
  // from it, moved back inside the area), or none when every one of those covers something
  // blocked. The place found is not taken: Block it when the label is drawn there.
  std::optional<Box> PlaceBeside(const Box& near, double width) const;
  // Any free place for a label `width` wide whose top left lies in `region`, scanning from its
  // top left cell by cell; none when there is none.
  std::optional<Box> PlaceWithin(const Box& region, double width) const;

  const Box& Area() const { return area_; }

 private:
  struct Cells {
    int c0, r0, c1, r1;  // inclusive; empty when c0 > c1 or r0 > r1
  };
  Cells Touched(const Box& box) const;
  bool Free(const Box& box) const;
  int ShadedCells(const Box& box) const;
  Box Inside(const Box& box) const;

  Box area_;
  double cell_;
  int columns_, rows_;
  std::vector<unsigned char> state_;  // per cell: 0 free, 1 shaded, 2 blocked
};

// One label to place: its text's width and the box of the mark it names.
struct LabelWanted {
  Box near;
  double width;
};

struct GatheredLabels {
  Box at;             // where the "+N more here" label goes
  std::size_t count;  // the labels it stands for
};

struct LabelLayout {
  std::vector<std::optional<Box>> placed;  // per label wanted, in order: its box, or none
  std::vector<GatheredLabels> gathered;
  std::size_t leftOut = 0;  // labels neither placed nor gathered: no room anywhere near
};

// Places the labels in order, each blocking its box for the ones after it; those with no
// room are gathered per neighbourhood (squares of `neighbourhood`), their label beside their
// marks or anywhere in the neighbourhood or those around it. Every label wanted is placed,
// gathered or left out, once.
LabelLayout LayOutLabels(LabelGrid& grid, const std::vector<LabelWanted>& wanted,
                         double neighbourhood = 64);

}  // namespace artargets
