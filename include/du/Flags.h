// du::Flags: a set of up to 32 option bits passed to host operations. A default-built Flags
// has no bit set.
#pragma once

#include <cstdint>

namespace du {

class Flags {
 public:
  constexpr Flags() noexcept = default;
  constexpr explicit Flags(std::uint32_t bits) noexcept : bits_(bits) {}

  constexpr bool IsSet(std::uint32_t mask) const noexcept { return (bits_ & mask) == mask; }
  constexpr bool IsAnySet(std::uint32_t mask) const noexcept { return (bits_ & mask) != 0; }
  constexpr void Set(std::uint32_t mask) noexcept { bits_ |= mask; }
  constexpr void Clear(std::uint32_t mask) noexcept { bits_ &= ~mask; }
  constexpr std::uint32_t GetValue() const noexcept { return bits_; }

  friend constexpr bool operator==(Flags a, Flags b) noexcept { return a.bits_ == b.bits_; }

 private:
  std::uint32_t bits_ = 0;
};

}  // namespace du
