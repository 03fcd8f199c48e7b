// du::Symbol: an interned, immutable string. Equal texts share one stored copy, so equality is
// a pointer comparison and copying a Symbol costs one atomic increment. A stored text lives as
// long as some Symbol refers to it; the empty text needs no storage (Symbol::EMPTY).
// Thread rules: Symbols may be built, copied and destroyed on any thread at once.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "ArHostExport.h"

namespace du {

class ARHOST_API Symbol {
 public:
  static const Symbol EMPTY;

  Symbol() noexcept = default;
  Symbol(const char* text);         // NOLINT: C strings convert; null gives the empty Symbol
  Symbol(const std::string& text);  // NOLINT: strings convert
  explicit Symbol(std::string_view text);
  Symbol(const Symbol& other) noexcept;
  Symbol(Symbol&& other) noexcept;
  Symbol& operator=(const Symbol& other) noexcept;
  Symbol& operator=(Symbol&& other) noexcept;
  ~Symbol();

  std::size_t length() const noexcept;
  bool empty() const noexcept { return entry_ == nullptr; }
  // The text from `pos`, at most `count` characters; empty when `pos` is past the end.
  Symbol substr(std::size_t pos, std::size_t count = std::string::npos) const;
  // Never null: the empty Symbol gives "".
  const char* safe_c_str() const noexcept;
  std::string_view view() const noexcept;
  std::string str() const { return std::string(view()); }
  operator std::string() const { return str(); }  // NOLINT: converts like the host's strings

  friend bool operator==(const Symbol& a, const Symbol& b) noexcept { return a.entry_ == b.entry_; }
  // Text order, for sorted output; not needed for equality.
  friend bool operator<(const Symbol& a, const Symbol& b) noexcept { return a.view() < b.view(); }

  std::size_t Hash() const noexcept { return std::hash<const void*>()(entry_); }

  struct Entry;

 private:
  void Release() noexcept;

  Entry* entry_ = nullptr;
};

}  // namespace du

template <>
struct std::hash<du::Symbol> {
  std::size_t operator()(const du::Symbol& s) const noexcept { return s.Hash(); }
};
