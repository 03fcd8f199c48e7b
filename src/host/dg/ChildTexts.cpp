#include "dg/ChildTexts.h"

#include <charconv>
#include <cstdio>
#include <new>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "du/PrefaultPages.h"

namespace dg {

namespace {

// The start of a processing instruction that marks where a child text goes in the printed
// tree, followed by the text's number. It is new at every print, so that no comment or
// instruction of the tree's own can pass for it.
std::string MarkerStart() {
  std::random_device random;
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "dg-children-%08x%08x-", random(), random());
  return buffer;
}

// Appends `text` to `out`. Within the room reserved in `out`, the pages of the next 16 MiB are
// mapped in on another thread while those before them are filled.
void AppendAsItIs(std::string& out, const ChildText& text) {
  constexpr std::size_t kWindow = du::PrefaultPages::kSmallest;
  std::optional<du::PrefaultPages> ahead;
  std::size_t next = out.size();  // where the window after the one being filled starts
  for (const std::string& piece : text.pieces) {
    if (out.size() >= next && out.capacity() > out.size() + kWindow) {
      next = out.size() + kWindow;
      ahead.reset();  // it has mapped the window now reached
      ahead.emplace(out.data() + next, std::min(kWindow, out.capacity() - next));
    }
    out.append(piece);
  }
}

// Appends `text` to `out` with `indent` spaces in front of each line instead of text.indent.
void AppendIndented(std::string& out, const ChildText& text, std::size_t indent) {
  if (indent == text.indent) return AppendAsItIs(out, text);
  bool lineStart = true;
  std::size_t toDrop = 0;  // of the line's own spaces; a piece may end among them
  for (std::string_view piece : text.pieces) {
    while (!piece.empty()) {
      if (lineStart) {
        out.append(indent, ' ');
        toDrop = text.indent;
        lineStart = false;
      }
      const std::size_t dropped = std::min(toDrop, piece.size());
      piece.remove_prefix(dropped);
      toDrop -= dropped;
      const std::size_t end = piece.find('\n');
      const std::size_t length = end == std::string_view::npos ? piece.size() : end + 1;
      out.append(piece.substr(0, length));
      piece.remove_prefix(length);
      lineStart = end != std::string_view::npos;
    }
  }
}

}  // namespace

std::size_t ChildText::Size() const {
  std::size_t size = 0;
  for (const std::string& piece : pieces) size += piece.size();
  return size;
}

std::size_t ChildTexts::Size() const {
  std::size_t size = 0;
  for (const auto& [parent, text] : texts_) size += text.Size();
  return size;
}

void ChildTexts::Append(pugi::xml_node parent, ChildText text) {
  if (text.Size() == 0) return;
  for (auto& [node, held] : texts_) {
    if (node != parent) continue;
    for (std::string& piece : text.pieces) held.pieces.push_back(std::move(piece));
    return;
  }
  texts_.emplace_back(parent, std::move(text));
}

void ChildTexts::Realize() {
  while (!texts_.empty()) {  // what is done leaves the list at once: a throw repeats nothing
    auto& [parent, text] = texts_.front();
    std::string whole;
    whole.reserve(text.Size());
    for (const std::string& piece : text.pieces) whole += piece;
    const pugi::xml_parse_result result =
        parent.append_buffer(whole.data(), whole.size(), pugi::parse_default, pugi::encoding_utf8);
    if (result.status == pugi::status_out_of_memory) throw std::bad_alloc();
    if (!result)
      throw std::logic_error(std::string("a child text is not XML: ") + result.description());
    texts_.erase(texts_.begin());
  }
}

bool ChildTexts::Print(pugi::xml_node node, unsigned level, std::string& out) {
  const std::string start = MarkerStart();
  for (std::size_t i = 0; i < texts_.size(); ++i)
    texts_[i].first.append_child(pugi::node_pi).set_name((start + std::to_string(i)).c_str());
  std::ostringstream printed;
  node.print(printed, "  ", pugi::format_indent, pugi::encoding_utf8, level);
  for (auto& [parent, text] : texts_) parent.remove_child(parent.last_child());

  // Each marker stands alone on its line, as every child of an element without text does:
  // the line is replaced by the child text, indented as the marker was.
  const std::string printedText = printed.str();
  const std::string_view skeleton = printedText;
  const std::string tag = "<?" + start;
  const std::size_t before = out.size();
  out.reserve(before + skeleton.size() + Size());
  std::vector<bool> placed(texts_.size());
  std::size_t at = 0;
  for (std::size_t found; (found = skeleton.find(tag, at)) != std::string_view::npos;) {
    const std::size_t newline = skeleton.rfind('\n', found);
    const std::size_t lineStart = newline == std::string_view::npos ? 0 : newline + 1;
    std::size_t index = texts_.size();
    const char* number = skeleton.data() + found + tag.size();
    const char* end = std::from_chars(number, skeleton.data() + skeleton.size(), index).ptr;
    const bool alone = lineStart >= at && skeleton.find_first_not_of(' ', lineStart) == found &&
                       std::string_view(end, skeleton.data() + skeleton.size()).starts_with("?>\n");
    if (!alone || index >= texts_.size() || placed[index]) {
      out.resize(before);
      return false;
    }
    placed[index] = true;
    out.append(skeleton.substr(at, lineStart - at));
    AppendIndented(out, texts_[index].second, found - lineStart);
    at = static_cast<std::size_t>(end - skeleton.data()) + 3;
  }
  out.append(skeleton.substr(at));
  return true;
}

}  // namespace dg
