#include "support/JsonOut.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "support/Json.h"
#include "support/SafeText.h"

namespace artargets {

namespace {

constexpr std::size_t kPiece = 1 << 16;  // bytes handed to the stream at once

void AppendPad(std::string& out, int depth) { out.append(std::size_t(depth) * 2, ' '); }

// Whether the library would write `text` as it is but for `"` and `\`: printable ASCII only.
bool PlainAscii(std::string_view text) {
  for (const char c : text)
    if (const auto byte = static_cast<unsigned char>(c); byte < 0x20 || byte > 0x7e) return false;
  return true;
}

}  // namespace

void AppendJsonText(std::string& out, std::string_view text) {
  if (!PlainAscii(text)) {  // controls, DEL and all beyond ASCII: as the library escapes them
    out += SafeJson(Json(std::string(text)).dump(-1, ' ', false, Json::error_handler_t::replace));
    return;
  }
  out += '"';
  // The runs between the characters to escape go in whole: a million messages are long runs.
  const auto special = [](char c) { return c == '"' || c == '\\'; };
  for (auto at = text.begin(), end = text.end();;) {
    const auto next = std::find_if(at, end, special);
    out.append(at, next);
    if (next == end) break;
    out += '\\';
    out += *next;
    at = next + 1;
  }
  out += '"';
}

void AppendJsonReal(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  std::array<char, 64> buffer{};  // as large as the library's own
  char* end = nlohmann::detail::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  out.append(buffer.data(), std::size_t(end - buffer.data()));
}

void AppendJsonWhole(std::string& out, long long value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void AppendJsonArray(std::string& out, std::size_t count, int depth,
                     const std::function<void(std::string&, std::size_t)>& each) {
  if (count == 0) {
    out += "[]";
    return;
  }
  out += '[';
  for (std::size_t i = 0; i < count; ++i) {
    out += i ? ",\n" : "\n";
    AppendPad(out, depth + 1);
    each(out, i);
  }
  out += '\n';
  AppendPad(out, depth);
  out += ']';
}

void WriteJsonElements(std::ostream& out, std::size_t count, int depth,
                       const std::function<void(std::string&, std::size_t)>& each) {
  std::string text;
  text.reserve(2 * kPiece);
  AppendJsonArray(text, count, depth, [&](std::string& piece, std::size_t i) {
    each(piece, i);
    if (piece.size() < kPiece) return;
    out.write(piece.data(), std::streamsize(piece.size()));
    piece.clear();
  });
  out.write(text.data(), std::streamsize(text.size()));
}

JsonObjectOut::JsonObjectOut(std::string& out, int depth) : out_(out), depth_(depth) {
  out_ += '{';
}

std::string& JsonObjectOut::Key(const char* key) {
  out_ += empty_ ? "\n" : ",\n";
  empty_ = false;
  AppendPad(out_, depth_ + 1);
  out_ += '"';
  out_ += key;
  out_ += "\": ";
  return out_;
}

void JsonObjectOut::End() {
  if (!empty_) {
    out_ += '\n';
    AppendPad(out_, depth_);
  }
  out_ += '}';
}

}  // namespace artargets
