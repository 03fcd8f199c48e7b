// JSON appended to a text a value at a time, byte for byte as Json::dump(2) writes the same
// values in a tree and SafeJson makes them safe, without building the tree: a million findings
// are written without a million objects made, dumped and freed. Strings of plain ASCII are
// escaped here; any other string goes through the JSON library, so that every string comes
// out exactly as the library writes it.
#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace artargets {

// A string with its quotes.
void AppendJsonText(std::string& out, std::string_view text);
// A number in the shortest form that reads back the same ("2.5", "1.0", "1e-05"); "null" when
// it is not finite.
void AppendJsonReal(std::string& out, double value);
void AppendJsonWhole(std::string& out, long long value);
// An array of `count` elements at `depth`, each appended by `each(out, i)`.
void AppendJsonArray(std::string& out, std::size_t count, int depth,
                     const std::function<void(std::string&, std::size_t)>& each);
template <class Whole>
void AppendJsonWholes(std::string& out, const std::vector<Whole>& values, int depth) {
  AppendJsonArray(out, values.size(), depth,
                  [&](std::string& text, std::size_t i) { AppendJsonWhole(text, values[i]); });
}
// The same array written to `out`, its text handed over a large piece at a time.
void WriteJsonElements(std::ostream& out, std::size_t count, int depth,
                       const std::function<void(std::string&, std::size_t)>& each);

// An object at `depth`, its members appended in the order they are given; End closes it.
class JsonObjectOut {
 public:
  JsonObjectOut(std::string& out, int depth);
  // The member's separator and key: its value is the caller's to append, at depth + 1.
  std::string& Key(const char* key);
  void Text(const char* key, std::string_view value) { AppendJsonText(Key(key), value); }
  void Real(const char* key, double value) { AppendJsonReal(Key(key), value); }
  void Whole(const char* key, long long value) { AppendJsonWhole(Key(key), value); }
  void Flag(const char* key, bool value) { Key(key) += value ? "true" : "false"; }
  void Null(const char* key) { Key(key) += "null"; }
  int ValueDepth() const { return depth_ + 1; }
  void End();

 private:
  std::string& out_;
  int depth_;
  bool empty_ = true;
};

}  // namespace artargets
