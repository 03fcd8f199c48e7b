#include "orl/PackedProperties.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>

namespace orl {

namespace {

constexpr std::uint32_t kFirstCapacity = 8;

}  // namespace

PackedProperties::~PackedProperties() {
  ForEachSymbolCell(cells_, [](Cell& cell) {
    std::launder(reinterpret_cast<du::Symbol*>(cell.symbol))->~Symbol();
  });
  ::operator delete(cells_);
}

template <class Action>
void PackedProperties::ForEachSymbolCell(Cell* cells, Action&& action) const {
  for (std::uint32_t at = 0; at < used_;) {
    const Type type = cells[at].head.type;
    action(cells[at + 1]);
    if (type == Type::kSymbol) action(cells[at + 2]);
    at += CellsOf(type);
  }
}

void PackedProperties::ReserveLike(const PackedProperties& other) {
  if (other.used_ > capacity_) Grow(other.used_);
}

void PackedProperties::Grow(std::uint32_t needed) {
  const std::size_t wanted =
      std::max<std::size_t>({needed, 2 * std::size_t{capacity_}, kFirstCapacity});
  const auto capacity = static_cast<std::uint32_t>(
      std::min<std::size_t>(wanted, std::numeric_limits<std::uint32_t>::max()));
  auto* cells = static_cast<Cell*>(::operator new(capacity * sizeof(Cell)));
  if (used_ > 0) std::memcpy(static_cast<void*>(cells), cells_, used_ * sizeof(Cell));
  // The plain cells are copied; each Symbol is moved into its new cell and its old one ended.
  ForEachSymbolCell(cells, [this, cells](Cell& moved) {
    du::Symbol& old = *std::launder(reinterpret_cast<du::Symbol*>(cells_[&moved - cells].symbol));
    new (moved.symbol) du::Symbol(std::move(old));
    old.~Symbol();
  });
  ::operator delete(cells_);
  cells_ = cells;
  capacity_ = capacity;
}

PackedProperties::Cell* PackedProperties::Append(Type type, std::uint32_t small,
                                                 const du::Symbol& key) {
  const std::uint32_t cells = CellsOf(type);
  if (cells > std::numeric_limits<std::uint32_t>::max() - used_)
    throw std::length_error("an element holds too many properties");
  if (used_ + cells > capacity_) Grow(used_ + cells);
  Cell* first = cells_ + used_;
  first[0].head = Head{type, small};
  new (first[1].symbol) du::Symbol(key);
  used_ += cells;
  ++count_;
  return first;
}

void PackedProperties::Add(const du::Symbol& key, double value) {
  Append(Type::kDouble, 0, key)[2].number = value;
}

void PackedProperties::Add(const du::Symbol& key, const du::Symbol& value) {
  new (Append(Type::kSymbol, 0, key)[2].symbol) du::Symbol(value);
}

void PackedProperties::AddTriple(Type type, const du::Symbol& key, double x, double y, double z) {
  Cell* cells = Append(type, 0, key);
  cells[2].number = x;
  cells[3].number = y;
  cells[4].number = z;
}

void PackedProperties::Add(const du::Symbol& key, const dg::DPoint3D& value) {
  AddTriple(Type::kPoint, key, value.x, value.y, value.z);
}

void PackedProperties::Add(const du::Symbol& key, const dg::DVec3& value) {
  AddTriple(Type::kVector, key, value.x, value.y, value.z);
}

}  // namespace orl
