#include "dg/XmlElem.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "dg/XmlAccess.h"
#include "du/PrefaultPages.h"

namespace dg {

// One tree: the pugixml document and the XmlElem handles given out for its nodes.
class XmlDocument {
 public:
  explicit XmlDocument(bool withDeclaration) : withDeclaration_(withDeclaration) {}

  XmlElem* Wrap(pugi::xml_node node) {
    if (!node) return nullptr;
    auto& handle = handles_[node.internal_object()];
    if (!handle) handle.reset(new XmlElem(this, node.internal_object()));
    return handle.get();
  }
  XmlElem* Root() { return Wrap(document_.document_element()); }
  pugi::xml_document& Document() { return document_; }
  bool WithDeclaration() const { return withDeclaration_; }

 private:
  struct Deleter {
    void operator()(XmlElem* e) const { delete e; }
  };
  pugi::xml_document document_;
  bool withDeclaration_;
  std::unordered_map<pugi::xml_node_struct*, std::unique_ptr<XmlElem, Deleter>> handles_;
  friend class XmlElem;
};

namespace {

pugi::xml_node NodeOf(const XmlElem* e) { return XmlAccess::Node(e); }

// Line and column (both from 1) of byte `offset` in `text`.
std::pair<long, long> LineAndColumn(std::string_view text, std::ptrdiff_t offset) {
  long line = 1, column = 1;
  for (std::ptrdiff_t i = 0; i < offset && i < static_cast<std::ptrdiff_t>(text.size()); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return {line, column};
}

class StringWriter final : public pugi::xml_writer {
 public:
  explicit StringWriter(std::string& out) : out_(out) {}
  void write(const void* data, size_t size) override {
    out_.append(static_cast<const char*>(data), size);
  }

 private:
  std::string& out_;
};

constexpr std::size_t kLargeText = 16 << 20;

class CountingWriter final : public pugi::xml_writer {
 public:
  void write(const void*, size_t size) override { bytes += size; }
  std::size_t bytes = 0;
};

}  // namespace

const char* XmlElem::GetName() const { return NodeOf(this).name(); }

void XmlElem::SetIntAttribute(const char* name, int value) {
  pugi::xml_node node = NodeOf(this);
  pugi::xml_attribute a = node.attribute(name);
  if (!a) a = node.append_attribute(name);
  a.set_value(value);
}

void XmlElem::SetAttribute(const char* name, const char* value) {
  pugi::xml_node node = NodeOf(this);
  pugi::xml_attribute a = node.attribute(name);
  if (!a) a = node.append_attribute(name);
  a.set_value(value);
}

const char* XmlElem::FindAttribute(const char* name) const {
  pugi::xml_attribute a = NodeOf(this).attribute(name);
  return a ? a.value() : nullptr;
}

bool XmlElem::GetIntAttribute(const char* name, int& value) const {
  value = INT_MAX;
  const char* text = FindAttribute(name);
  if (!text) return false;
  std::string_view s(text);
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  int parsed = 0;
  auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), parsed);
  if (s.empty() || error != std::errc() || end != s.data() + s.size()) return false;
  value = parsed;
  return true;
}

XmlElem* XmlElem::FindChild(const char* name) const {
  return document_->Wrap(NodeOf(this).child(name));
}

namespace {

unsigned ParseFlags(bool keepWhitespaceText) {
  return keepWhitespaceText ? pugi::parse_default | pugi::parse_ws_pcdata : pugi::parse_default;
}

// "not well-formed XML at line L, column C: REASON" for a failed parse of `text`.
std::string WhereParsingFailed(std::string_view text, const pugi::xml_parse_result& result) {
  const auto [line, column] = LineAndColumn(text, result ? 0 : result.offset);
  return "not well-formed XML at line " + std::to_string(line) + ", column " +
         std::to_string(column) + ": " + (result ? "no root element" : result.description());
}

// Reads `size` bytes of `fd` into `bytes`, its pages mapped in on another thread meanwhile.
bool ReadAll(int fd, char* bytes, std::size_t size) {
  const du::PrefaultPages ready(bytes, size);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, bytes + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {  // the file shrank while it was read
      errno = EIO;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The whole file in a block from pugixml's allocator, which a document can take over. Null,
// with errno saying why, when it cannot be read.
char* ReadForParsing(const std::string& path, std::size_t& size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  char* bytes = nullptr;
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    // errno says why
  } else if (!S_ISREG(status.st_mode)) {
    errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
  } else {
    size = static_cast<std::size_t>(status.st_size);
    bytes = static_cast<char*>(pugi::get_memory_allocation_function()(size + 1));
    if (!bytes) {
      errno = ENOMEM;
    } else if (!ReadAll(fd, bytes, size)) {
      pugi::get_memory_deallocation_function()(bytes);
      bytes = nullptr;
    }
  }
  const int error = errno;
  ::close(fd);
  errno = error;
  return bytes;
}

}  // namespace

XmlElem* ParseXmlFromString(std::string_view text, bool keepWhitespaceText,
                            std::string* errorText) {
  auto document = std::make_unique<XmlDocument>(false);
  const pugi::xml_parse_result result = document->Document().load_buffer(
      text.data(), text.size(), ParseFlags(keepWhitespaceText), pugi::encoding_utf8);
  if (!result || !document->Document().document_element()) {
    if (errorText) *errorText = WhereParsingFailed(text, result);
    return nullptr;
  }
  return document.release()->Root();
}

XmlElem* ParseXmlFromFile(const std::string& path, bool keepWhitespaceText,
                          std::string* errorText) {
  // The file is read straight into a buffer the document then owns and parses in place; the
  // text is read again only to say where a parse failed.
  std::size_t size = 0;
  if (char* bytes = ReadForParsing(path, size)) {
    auto document = std::make_unique<XmlDocument>(false);
    const pugi::xml_parse_result result = document->Document().load_buffer_inplace_own(
        bytes, size, ParseFlags(keepWhitespaceText), pugi::encoding_utf8);
    if (result && document->Document().document_element()) return document.release()->Root();
    if (!errorText) return nullptr;
    if (char* again = ReadForParsing(path, size)) {  // pugixml has changed the first copy
      *errorText = WhereParsingFailed(std::string_view(again, size), result);
      pugi::get_memory_deallocation_function()(again);
      return nullptr;
    }
  }
  if (errorText)
    *errorText = "cannot read " + path + (errno ? std::string(": ") + std::strerror(errno) : "");
  return nullptr;
}

XmlElem* NewXmlElem(const char* name, bool withDeclaration) {
  auto* document = new XmlDocument(withDeclaration);
  document->Document().append_child(name);
  return document->Root();
}

XmlElem* NewXmlElem(const char* name, XmlElem* parent) {
  if (!parent) return nullptr;
  return XmlAccess::Document(parent)->Wrap(NodeOf(parent).append_child(name));
}

void WriteXmlCloseTags(const XmlElem* element, std::string& out, int indentLevel) {
  if (!element) return;
  XmlDocument* document = XmlAccess::Document(element);
  if (document->WithDeclaration() && element == document->Root())
    out += "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
  const auto print = [&](pugi::xml_writer& writer) {
    NodeOf(element).print(writer, "  ", pugi::format_indent, pugi::encoding_utf8,
                          indentLevel < 0 ? 0 : static_cast<unsigned>(indentLevel));
  };
  // Printing twice, first only to count, costs less than the string's doubling growth, which
  // copies the text again at each step and holds up to three times its size at once.
  CountingWriter counter;
  print(counter);
  // What a save freed just before (its serialized tree) lies in small blocks the text cannot
  // reuse: hand it back first, so that a large text does not come on top of it.
  if (counter.bytes >= kLargeText) ::malloc_trim(0);
  out.reserve(out.size() + counter.bytes);
  const du::PrefaultPages ready(out.data() + out.size(), counter.bytes);
  StringWriter writer(out);
  print(writer);
}

void FreeXml(XmlElem* root) {
  if (!root) return;
  XmlDocument* document = XmlAccess::Document(root);
  if (root == document->Root()) delete document;
}

}  // namespace dg
