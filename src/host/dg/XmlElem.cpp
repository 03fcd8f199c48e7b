#include "dg/XmlElem.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <unordered_map>
#include <vector>

#include "dg/ChildTexts.h"
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
  ChildTexts& Texts() { return childTexts_; }
  // The tree with its child texts made nodes, for what reads it or adds to it.
  pugi::xml_node Whole(const XmlElem* element) {
    childTexts_.Realize();
    return XmlAccess::RawNode(element);
  }

 private:
  struct Deleter {
    void operator()(XmlElem* e) const { delete e; }
  };
  pugi::xml_document document_;
  ChildTexts childTexts_;
  bool withDeclaration_;
  std::unordered_map<pugi::xml_node_struct*, std::unique_ptr<XmlElem, Deleter>> handles_;
  friend class XmlElem;
};

namespace {

pugi::xml_node NodeOf(const XmlElem* e) { return XmlAccess::RawNode(e); }

// A line and a column (both from 1) in a text read piece by piece.
struct Position {
  long line = 1, column = 1;
  void Advance(std::string_view piece) {
    for (char c : piece) {
      column = c == '\n' ? 1 : column + 1;
      line += c == '\n';
    }
  }
};

constexpr std::size_t kLargeText = 16 << 20;

// The text printed into blocks of its own while its length is not known yet, then copied into
// place at memory speed: less than printing it twice, once only to count it, and never the
// string's doubling growth, which copies the text again at each step and holds up to three
// times its size at once. The blocks are mapped and unmapped directly, so that each one copied
// goes back to the system at once, wherever the allocator would have put it: the text is never
// held twice. They grow from 64 KiB to 16 MiB; one of 16 MiB has its pages mapped in on a
// helper thread while it is filled.
class BlockWriter final : public pugi::xml_writer {
 public:
  BlockWriter() = default;
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;
  ~BlockWriter() {
    ready_.reset();
    for (const Block& block : blocks_) ::munmap(block.bytes, block.capacity);
  }

  void write(const void* data, size_t size) override {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
      if (blocks_.empty() || blocks_.back().used == blocks_.back().capacity) NewBlock();
      Block& block = blocks_.back();
      const std::size_t piece = std::min(size, block.capacity - block.used);
      std::memcpy(block.bytes + block.used, bytes, piece);
      block.used += piece;
      bytes += piece;
      size -= piece;
      size_ += piece;
    }
  }
  std::size_t Size() const { return size_; }
  // Appends the text to `out` (reserved for it), each block unmapped as soon as it is copied.
  // The place of the next block in `out` is mapped in while one is copied, not the whole text
  // at once: the text stays in memory once, and a block more.
  void MoveInto(std::string& out) {
    ready_.reset();
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
      const Block& block = blocks_[i];
      std::optional<du::PrefaultPages> next;
      if (i + 1 < blocks_.size())
        next.emplace(out.data() + out.size() + block.used, blocks_[i + 1].used);
      out.append(block.bytes, block.used);
      ::munmap(block.bytes, block.capacity);
    }
    blocks_.clear();
  }

 private:
  struct Block {
    char* bytes;
    std::size_t capacity, used;
  };

  void NewBlock() {
    ready_.reset();  // the last block's helper is done long since: it maps faster than we print
    const std::size_t capacity =
        blocks_.empty() ? std::size_t{64} << 10 : std::min(2 * blocks_.back().capacity, kLargeText);
    void* bytes =
        ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (bytes == MAP_FAILED) throw std::bad_alloc();  // as the string's own growth would
    blocks_.push_back({static_cast<char*>(bytes), capacity, 0});
    if (capacity >= kLargeText) ready_ = std::make_unique<du::PrefaultPages>(bytes, capacity);
  }

  std::vector<Block> blocks_;
  std::size_t size_ = 0;
  std::unique_ptr<du::PrefaultPages> ready_;
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
  return document_->Wrap(document_->Whole(this).child(name));
}

pugi::xml_node XmlAccess::Node(const XmlElem* element) {
  return element->document_->Whole(element);
}

std::size_t XmlAccess::ChildIndent(const XmlElem* element) {
  std::size_t levels = 0;
  for (pugi::xml_node node = RawNode(element); node.type() == pugi::node_element;
       node = node.parent())
    ++levels;
  return 2 * levels;
}

void XmlAccess::AppendChildText(XmlElem* element, ChildText text) {
  element->document_->Texts().Append(RawNode(element), std::move(text));
}

namespace {

unsigned ParseFlags(bool keepWhitespaceText) {
  return keepWhitespaceText ? pugi::parse_default | pugi::parse_ws_pcdata : pugi::parse_default;
}

// "not well-formed XML at line L, column C: REASON" for a parse that failed at `at`.
std::string NotWellFormed(const Position& at, const pugi::xml_parse_result& result) {
  return "not well-formed XML at line " + std::to_string(at.line) + ", column " +
         std::to_string(at.column) + ": " + (result ? "no root element" : result.description());
}

std::string WhereParsingFailed(std::string_view text, const pugi::xml_parse_result& result) {
  Position at;
  at.Advance(text.substr(0, result ? 0 : std::min<std::size_t>(result.offset, text.size())));
  return NotWellFormed(at, result);
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

// What is at a path that is not a regular file, for the reason a read is refused.
const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "not a regular file";
}

// The open file's bytes in a block from pugixml's allocator, which a document can take over.
// Null, with the reason in `why`, when it cannot be read. Only a regular file is read: a FIFO
// or a device could block or never end.
char* ReadForParsing(int fd, const std::string& path, std::size_t& size, std::string& why) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    why = "cannot read " + path + ": " + std::strerror(errno);
    return nullptr;
  }
  if (!S_ISREG(status.st_mode)) {
    why = "cannot read " + path + ": it is " + KindOf(status.st_mode) + ", not a regular file";
    return nullptr;
  }
  size = static_cast<std::size_t>(status.st_size);
  auto* bytes = static_cast<char*>(pugi::get_memory_allocation_function()(size + 1));
  if (!bytes) errno = ENOMEM;
  if (!bytes || !ReadAll(fd, bytes, size)) {
    why = "cannot read " + path + ": " + std::strerror(errno);
    if (bytes) pugi::get_memory_deallocation_function()(bytes);
    return nullptr;
  }
  return bytes;
}

// Where a parse of the open file failed. pugixml has changed the parsed copy in place, so the
// lines are counted in the file itself, up to the failure only and a piece at a time.
std::string WhereParsingFailed(int fd, const pugi::xml_parse_result& result) {
  Position at;
  const auto end = static_cast<off_t>(result ? 0 : result.offset);
  char piece[1 << 16];
  for (off_t done = 0; done < end;) {
    const auto wanted = static_cast<std::size_t>(std::min<off_t>(end - done, sizeof piece));
    const ssize_t n = ::pread(fd, piece, wanted, done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    at.Advance(std::string_view(piece, static_cast<std::size_t>(n)));
    done += n;
  }
  return NotWellFormed(at, result);
}

// The watcher of file parses; guarded by g_watcherMutex.
std::mutex g_watcherMutex;
FileParseWatcher g_watcher;

void Tell(const std::string& path, const XmlElem* root, const std::string& failure) {
  FileParseWatcher watcher;
  {
    std::lock_guard lock(g_watcherMutex);
    watcher = g_watcher;
  }
  if (watcher) watcher(path, root, failure);
}

bool Watched() {
  std::lock_guard lock(g_watcherMutex);
  return static_cast<bool>(g_watcher);
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

void WatchFileParses(FileParseWatcher watcher) {
  std::lock_guard lock(g_watcherMutex);
  g_watcher = std::move(watcher);
}

XmlElem* ParseXmlFromFile(const std::string& path, bool keepWhitespaceText,
                          std::string* errorText) {
  // Opened without waiting: a FIFO would otherwise block here until a writer came.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  std::string why = fd < 0 ? "cannot read " + path + ": " + std::strerror(errno) : std::string();
  XmlElem* root = nullptr;
  std::size_t size = 0;
  // The file is read straight into a buffer the document then owns and parses in place.
  if (char* bytes = fd < 0 ? nullptr : ReadForParsing(fd, path, size, why)) {
    auto document = std::make_unique<XmlDocument>(false);
    const pugi::xml_parse_result result = document->Document().load_buffer_inplace_own(
        bytes, size, ParseFlags(keepWhitespaceText), pugi::encoding_utf8);
    if (result && document->Document().document_element())
      root = document.release()->Root();
    else if (errorText || Watched())
      why = WhereParsingFailed(fd, result);
  }
  if (fd >= 0) ::close(fd);
  if (!root && errorText) *errorText = why;
  Tell(path, root, why);
  return root;
}

XmlElem* NewXmlElem(const char* name, bool withDeclaration) {
  auto* document = new XmlDocument(withDeclaration);
  document->Document().append_child(name);
  return document->Root();
}

XmlElem* NewXmlElem(const char* name, XmlElem* parent) {
  if (!parent) return nullptr;
  XmlDocument* document = XmlAccess::Document(parent);
  return document->Wrap(document->Whole(parent).append_child(name));
}

void WriteXmlCloseTags(const XmlElem* element, std::string& out, int indentLevel) {
  if (!element) return;
  XmlDocument* document = XmlAccess::Document(element);
  if (document->WithDeclaration() && element == document->Root())
    out += "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
  const unsigned level = indentLevel < 0 ? 0 : static_cast<unsigned>(indentLevel);
  if (!document->Texts().Empty()) {
    if (document->Texts().Size() >= kLargeText) ::malloc_trim(0);  // as below
    if (document->Texts().Print(NodeOf(element), level, out)) return;
    document->Texts().Realize();
  }
  BlockWriter printed;
  NodeOf(element).print(printed, "  ", pugi::format_indent, pugi::encoding_utf8, level);
  // What a save freed just before (its serialized tree) lies in small blocks the text cannot
  // reuse: hand it back first, so that a large text does not come on top of it.
  if (printed.Size() >= kLargeText) ::malloc_trim(0);
  out.reserve(out.size() + printed.Size());
  printed.MoveInto(out);
}

void FreeXml(XmlElem* root) {
  if (!root) return;
  XmlDocument* document = XmlAccess::Document(root);
  if (root == document->Root()) delete document;
}

}  // namespace dg
