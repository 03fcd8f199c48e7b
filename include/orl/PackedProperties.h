// orl::PackedProperties: the typed properties of one serialized-content element, in the order
// they were added, packed into one block of 8-byte cells. A property takes a head cell (its
// type, and the value itself when it fits in four bytes), a key cell, and the cells its value
// needs beyond that: none for a byte, an int, a float or a bool, one for a double or a Symbol,
// three for a point or a vector. A target's thirteen properties take 352 bytes so, against 520
// as a list of variants, and a large file's tree is mostly such properties.
// Thread rules: filled by one thread; any number may read a list nobody changes.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

#include "dg/Geometry.h"
#include "du/Symbol.h"

namespace orl {

class PackedProperties {
 public:
  PackedProperties() = default;
  PackedProperties(const PackedProperties&) = delete;
  PackedProperties& operator=(const PackedProperties&) = delete;
  ~PackedProperties();

  // Room for as many cells as `other` holds: siblings usually carry the same properties, and
  // the room is then taken once instead of growing step by step.
  void ReserveLike(const PackedProperties& other);

  void Add(const du::Symbol& key, unsigned char value) { Append(Type::kByte, value, key); }
  void Add(const du::Symbol& key, int value) {
    Append(Type::kInt, std::bit_cast<std::uint32_t>(value), key);
  }
  void Add(const du::Symbol& key, float value) {
    Append(Type::kFloat, std::bit_cast<std::uint32_t>(value), key);
  }
  void Add(const du::Symbol& key, bool value) { Append(Type::kBool, value ? 1 : 0, key); }
  void Add(const du::Symbol& key, double value);
  void Add(const du::Symbol& key, const du::Symbol& value);
  void Add(const du::Symbol& key, const dg::DPoint3D& value);
  void Add(const du::Symbol& key, const dg::DVec3& value);

  std::size_t size() const { return count_; }

  // Calls visit(key, value) for each property in order, with the value's type as it was added.
  template <class Visitor>
  void ForEach(Visitor&& visit) const;

 private:
  enum class Type : std::uint8_t { kByte, kInt, kFloat, kBool, kDouble, kSymbol, kPoint, kVector };
  struct Head {
    Type type;
    std::uint32_t small;  // a byte, int, float or bool value
  };
  union Cell {
    Head head;
    double number;
    alignas(du::Symbol) unsigned char symbol[sizeof(du::Symbol)];
  };
  static_assert(sizeof(Cell) == 8 && sizeof(du::Symbol) == 8);

  // Cells a property of `type` takes, its head and key included.
  static constexpr std::uint32_t CellsOf(Type type) {
    switch (type) {
      case Type::kDouble:
      case Type::kSymbol:
        return 3;
      case Type::kPoint:
      case Type::kVector:
        return 5;
      default:
        return 2;
    }
  }
  static const du::Symbol& SymbolIn(const Cell& cell) {
    return *std::launder(reinterpret_cast<const du::Symbol*>(cell.symbol));
  }

  // Appends the head and the key of a property of `type`, with room for its value; returns
  // its first cell.
  Cell* Append(Type type, std::uint32_t small, const du::Symbol& key);
  void AddSmall(Type type, const du::Symbol& key, std::uint32_t small) { Append(type, small, key); }
  void AddTriple(Type type, const du::Symbol& key, double x, double y, double z);
  void Grow(std::uint32_t needed);
  // Runs `action` on every cell that holds a Symbol.
  template <class Action>
  void ForEachSymbolCell(Cell* cells, Action&& action) const;

  Cell* cells_ = nullptr;
  std::uint32_t used_ = 0;
  std::uint32_t capacity_ = 0;
  std::uint32_t count_ = 0;
};

template <class Visitor>
void PackedProperties::ForEach(Visitor&& visit) const {
  for (std::uint32_t at = 0; at < used_;) {
    const Cell* cell = cells_ + at;
    const Head head = cell[0].head;
    const du::Symbol& key = SymbolIn(cell[1]);
    switch (head.type) {
      case Type::kByte:
        visit(key, static_cast<unsigned char>(head.small));
        break;
      case Type::kInt:
        visit(key, std::bit_cast<int>(head.small));
        break;
      case Type::kFloat:
        visit(key, std::bit_cast<float>(head.small));
        break;
      case Type::kBool:
        visit(key, head.small != 0);
        break;
      case Type::kDouble:
        visit(key, cell[2].number);
        break;
      case Type::kSymbol:
        visit(key, SymbolIn(cell[2]));
        break;
      case Type::kPoint:
        visit(key, dg::DPoint3D{cell[2].number, cell[3].number, cell[4].number});
        break;
      case Type::kVector:
        visit(key, dg::DVec3{cell[2].number, cell[3].number, cell[4].number});
        break;
    }
    at += CellsOf(head.type);
  }
}

}  // namespace orl
