#include "support/TextPieces.h"

#include <utility>

namespace artargets {

PiecesStream::Buffer::Buffer(TextPieces put) : put_(std::move(put)) {
  setp(bytes_.data(), bytes_.data() + bytes_.size());
}

bool PiecesStream::Buffer::HandOn() {
  const std::string_view piece(pbase(), std::size_t(pptr() - pbase()));
  if (!piece.empty() && !put_(piece)) return false;
  setp(bytes_.data(), bytes_.data() + bytes_.size());
  return true;
}

PiecesStream::Buffer::int_type PiecesStream::Buffer::overflow(int_type c) {
  if (!HandOn()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

PiecesStream::PiecesStream(TextPieces put) : std::ostream(nullptr), buffer_(std::move(put)) {
  rdbuf(&buffer_);
}

bool PiecesStream::Finish() {
  if (good() && !buffer_.HandOn()) setstate(std::ios::badbit);
  return good();
}

}  // namespace artargets
