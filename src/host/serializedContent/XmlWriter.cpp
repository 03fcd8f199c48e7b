#include "serializedContent/XmlWriter.h"

#include <algorithm>
#include <charconv>
#include <concepts>
#include <initializer_list>
#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "dg/XmlAccess.h"
#include "serializedContent/ValueText.h"
#include "serializedContent/XmlForm.h"
#include "serializedContent/XmlText.h"

namespace serializedContent {

namespace {

constexpr std::size_t kRemembered = 32;                // more distinct keys than any content has
constexpr std::size_t kPiece = std::size_t{16} << 20;  // see dg::ChildText

// A number's text, formatted into a buffer on the stack.
class NumberText {
 public:
  explicit NumberText(double value) : size_(FormatDouble(value, buffer_)) {}
  explicit NumberText(float value) : size_(FormatFloat(value, buffer_)) {}
  template <std::integral Whole>
  explicit NumberText(Whole value)
      : size_(static_cast<std::size_t>(
            std::to_chars(buffer_, buffer_ + sizeof(buffer_), value).ptr - buffer_)) {}
  std::string_view view() const { return {buffer_, size_}; }

 private:
  char buffer_[kNumberTextSize];
  std::size_t size_;
};

// The order a host asked for; guarded by g_orderMutex.
std::mutex g_orderMutex;
XmlWriter::ContentKey g_contentKey;

XmlWriter::ContentKey ContentOrderInForce() {
  const std::lock_guard lock(g_orderMutex);
  return g_contentKey;
}

// The characters of an element's printed text in the order its unindented one-line form would
// give them (no line breaks, their indentation, or the space before "/>"), so that contents
// with equal keys come in the same order whatever the depth they are printed at. Attribute
// values hold no line break and no '"': what is skipped is never part of a value.
class OneLineChars {
 public:
  explicit OneLineChars(std::string_view text) : text_(text) {}
  int Next() {  // -1 at the end
    while (at_ < text_.size()) {
      if (text_[at_] == '\n') {
        at_ = std::min(text_.find_first_not_of(' ', at_ + 1), text_.size());
      } else if (text_.compare(at_, 3, " />") == 0) {
        ++at_;
      } else {
        return static_cast<unsigned char>(text_[at_++]);
      }
    }
    return -1;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

bool OneLineBefore(std::string_view a, std::string_view b) {
  OneLineChars left(a), right(b);
  for (;;) {
    const int l = left.Next(), r = right.Next();
    if (l != r || l < 0) return l < r;
  }
}

// With an order, every text printed is kept apart until the walk ends, and the text of an
// element is a list of them: its own lines and its contents' texts, linked in order. Putting
// contents in order so moves no text, and joining an element's lists costs the same whatever
// the depth below it.
class TextLists {
 public:
  struct List {
    std::size_t first, last;
  };
  // A list of one new text, with room for `length` bytes.
  List New(std::size_t length) {
    texts_.emplace_back().reserve(length);
    next_.push_back(kNone);
    return {texts_.size() - 1, texts_.size() - 1};
  }
  std::string& Last(const List& list) { return texts_[list.last]; }
  void Join(List& list, const List& tail) {
    next_[list.last] = tail.first;
    list.last = tail.last;
  }
  std::string Joined(const List& list) const {
    std::string whole;
    for (std::size_t i = list.first; i != kNone; i = next_[i]) whole += texts_[i];
    return whole;
  }
  // Moves the texts of `list` to the end of `pieces`.
  void MoveInto(const List& list, std::vector<std::string>& pieces) {
    for (std::size_t i = list.first; i != kNone; i = next_[i])
      pieces.push_back(std::move(texts_[i]));
  }
  void Clear() {
    texts_.clear();
    next_.clear();
  }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::vector<std::string> texts_;
  std::vector<std::size_t> next_;
};

// A content child written: its sort key and its text.
struct KeyedContent {
  std::string key;
  TextLists::List text;
};

// The contents of one element in the order of their keys, then of their text.
void PutInOrder(std::vector<KeyedContent>& contents, const TextLists& texts) {
  const auto before = [&texts](const KeyedContent& a, const KeyedContent& b) {
    // One comparison of the keys, not one for "differ" and another for "before".
    if (const int order = a.key.compare(b.key); order != 0) return order < 0;
    return OneLineBefore(texts.Joined(a.text), texts.Joined(b.text));  // rare: equal keys
  };
  // A file is mostly saved in the order it was read, with what an edit added at its end: the
  // ordered start stays, only the rest is sorted, and the two are merged. A million contents
  // in order take a million comparisons, not twenty million.
  const auto orderedEnd = std::is_sorted_until(contents.begin(), contents.end(), before);
  std::sort(orderedEnd, contents.end(), before);
  std::inplace_merge(contents.begin(), orderedEnd, contents.end(), before);
}

// An element entered by the walk.
struct Frame {
  std::size_t indent;  // the spaces before its own line
  bool tagOpen;        // its start tag still lacks its ">": nothing was written inside it yet
  // With an order: its text so far, its key, and its content children, to be sorted.
  TextLists::List text;
  std::string key;
  std::vector<KeyedContent> contents;
};

}  // namespace

void XmlWriter::SetContentOrder(ContentKey key) {
  const std::lock_guard lock(g_orderMutex);
  g_contentKey = std::move(key);
}

// The walk is printed as it goes, in the bytes dg::WriteXmlCloseTags prints for the same nodes
// (two spaces per level; " />" ends an element without children), and handed to the given
// element as its child text when the walk leaves it. With an order, each content element is
// printed into a text of its own, and an element's contents are put in order when it ends.
struct XmlWriter::State {
  explicit State(dg::XmlElem* parentElement)
      : parent(parentElement), contentKey(ContentOrderInForce()) {}

  dg::XmlElem* parent;
  ContentKey contentKey;
  std::vector<Frame> open;
  dg::ChildText written;  // what goes under `parent`
  TextLists texts;        // with an order, of the elements below it
  // Keys and element names repeat in every element of a kind, and a Symbol's text never
  // changes: each one's attribute text is made once per distinct symbol.
  std::vector<std::pair<du::Symbol, std::string>> keys, names;
  std::string spaces;
  // With an order: the length of the last element printed at each depth, which the next one
  // reserves (a million targets of one length are printed without growing a text).
  std::vector<std::size_t> usualLength;

  // Where the innermost open element's lines go.
  std::string& Out() {
    if (contentKey && open.size() > 1) return texts.Last(open.back().text);
    if (written.pieces.empty()) return written.pieces.emplace_back();
    if (written.pieces.back().size() >= kPiece) {  // a large text: its pieces are reserved whole
      written.pieces.emplace_back().reserve(kPiece + (kPiece >> 4));
    }
    return written.pieces.back();
  }
  // Ends the start tag of the innermost open element if nothing was written inside it yet.
  void Enter() {
    if (!open.back().tagOpen) return;
    Out() += ">\n";
    open.back().tagOpen = false;
  }
  // The start of a new line inside the innermost open element.
  std::string& Line() {
    Enter();
    std::string& out = Out();
    Indent(out, open.back().indent + 2);
    return out;
  }
  void Indent(std::string& out, std::size_t count) {
    if (spaces.size() < count) spaces.assign(2 * count, ' ');
    out.append(spaces, 0, count);
  }
  static const std::string& Attribute(std::vector<std::pair<du::Symbol, std::string>>& known,
                                      const char* name, const du::Symbol& text) {
    for (const auto& [symbol, attribute] : known)
      if (symbol == text) return attribute;
    std::string attribute;
    AppendTextAttribute(attribute, name, text.view());
    if (known.size() == kRemembered) known.pop_back();
    known.emplace_back(text, std::move(attribute));
    return known.back().second;
  }
  // A property's element `type`, its key, and the attributes `values` (names and texts).
  void Property(const char* type, const du::Symbol& key,
                std::initializer_list<std::pair<const char*, std::string_view>> values) {
    std::string& out = Line();
    out += '<';
    out += type;
    out += Attribute(keys, form::kKey, key);
    for (const auto& [name, text] : values) AppendAttribute(out, name, text);
    out += " />\n";
  }
  template <class Number>
  requires std::is_arithmetic_v<Number>
  void Value(const char* type, const du::Symbol& key, Number value) {
    Property(type, key, {{form::kValue, NumberText(value).view()}});
  }
  void Triple(const char* type, const du::Symbol& key, double x, double y, double z) {
    Property(type, key,
             {{form::kX, NumberText(x).view()},
              {form::kY, NumberText(y).view()},
              {form::kZ, NumberText(z).view()}});
  }
  void Start(const du::Symbol& name, const orl::SerializedContentElement* element) {
    Enter();
    open.push_back({open.back().indent + 2, true, {}, {}, {}});
    if (contentKey) {
      open.back().key = element ? contentKey(*element) : "";
      if (usualLength.size() < open.size()) usualLength.resize(open.size());
      open.back().text = texts.New(usualLength[open.size() - 1]);
    }
    std::string& out = Out();
    Indent(out, open.back().indent);
    out += '<';
    out += form::kContent;
    out += Attribute(names, form::kName, name);
  }
  // Puts the contents of the innermost open element in order after its lines.
  void Order() {
    Frame& frame = open.back();
    Enter();
    PutInOrder(frame.contents, texts);
    for (const KeyedContent& content : frame.contents) {
      if (open.size() == 1)
        texts.MoveInto(content.text, written.pieces);
      else
        texts.Join(frame.text, content.text);
    }
    frame.contents.clear();
    if (open.size() > 1) texts.Join(frame.text, texts.New(0));  // for its end tag
  }
  void End() {
    if (!open.back().contents.empty()) Order();
    if (open.size() == 1) return Finish();
    Frame& frame = open.back();
    if (frame.tagOpen) {
      Out() += " />\n";
    } else {
      std::string& out = Out();
      Indent(out, frame.indent);
      out += "</";
      out += form::kContent;
      out += ">\n";
    }
    if (contentKey) {
      if (frame.text.first == frame.text.last)
        usualLength[open.size() - 1] = texts.Last(frame.text).size();
      open[open.size() - 2].contents.push_back({std::move(frame.key), frame.text});
    }
    open.pop_back();
  }
  void Finish() {
    written.indent = open.back().indent + 2;
    open.pop_back();
    texts.Clear();
    dg::XmlAccess::AppendChildText(parent, std::exchange(written, {}));
  }
};

XmlWriter::XmlWriter(dg::XmlElem* parent) : state_(new State(parent)) {}

XmlWriter::~XmlWriter() = default;

bool XmlWriter::StartElement(const du::Symbol& name, const orl::SerializedContentElement* element) {
  if (!state_->parent) return false;
  if (state_->open.empty()) {  // the walk's first element is the given one
    state_->open.push_back({dg::XmlAccess::ChildIndent(state_->parent) - 2, false, {}, {}, {}});
    return true;
  }
  state_->Start(name, element);
  return true;
}

bool XmlWriter::EndElement(const du::Symbol&) {
  state_->End();
  return true;
}

void XmlWriter::Visit(const du::Symbol& key, const dg::DVec3& v) {
  state_->Triple(form::kVector, key, v.x, v.y, v.z);
}

void XmlWriter::Visit(const du::Symbol& key, const dg::DPoint3D& p) {
  state_->Triple(form::kPoint, key, p.x, p.y, p.z);
}

void XmlWriter::Visit(const du::Symbol& key, const du::Symbol& value) {
  std::string& out = state_->Line();
  out += '<';
  out += form::kString;
  out += State::Attribute(state_->keys, form::kKey, key);
  AppendTextAttribute(out, form::kValue, value.view());
  out += " />\n";
}

void XmlWriter::Visit(const du::Symbol& key, int value) { state_->Value(form::kInt, key, value); }

void XmlWriter::Visit(const du::Symbol& key, unsigned char value) {
  state_->Value(form::kUInt8, key, static_cast<unsigned>(value));
}

void XmlWriter::Visit(const du::Symbol& key, double value) {
  state_->Value(form::kDouble, key, value);
}

void XmlWriter::Visit(const du::Symbol& key, float value) {
  state_->Value(form::kFloat, key, value);
}

void XmlWriter::Visit(const du::Symbol& key, bool value) {
  state_->Property(form::kBool, key, {{form::kValue, value ? "true" : "false"}});
}

}  // namespace serializedContent
