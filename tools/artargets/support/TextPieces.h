// A large text handed on a piece at a time (list --json, export, report's page), so that a
// million targets' output never stands in memory whole before it is written.
#pragma once

#include <array>
#include <functional>
#include <ostream>
#include <streambuf>
#include <string_view>

namespace artargets {

// Takes the next piece of a text; false once it cannot (the file is full), after which the
// writer stops.
using TextPieces = std::function<bool(std::string_view)>;
// Makes a text, handing it to `put` a piece at a time; false when `put` refused a piece.
using PiecesWriter = std::function<bool(const TextPieces& put)>;

// An output stream that hands what is written to it to `put` in pieces of 64 KB, the last
// when the stream is finished. Once `put` refuses a piece the stream is bad and takes nothing
// more.
class PiecesStream : public std::ostream {
 public:
  explicit PiecesStream(TextPieces put);
  // Hands on what is left; true when every piece was taken.
  bool Finish();

 private:
  class Buffer : public std::streambuf {
   public:
    explicit Buffer(TextPieces put);
    bool HandOn();

   protected:
    int_type overflow(int_type c) override;

   private:
    TextPieces put_;
    std::array<char, std::size_t{1} << 16> bytes_;
  };
  Buffer buffer_;
};

}  // namespace artargets
