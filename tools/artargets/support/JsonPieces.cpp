#include "support/JsonPieces.h"

#include <string>
#include <string_view>

#include "support/SafeText.h"

namespace artargets {

namespace {

constexpr int kIndent = 2;  // as every JSON output of the tool is dumped

std::string Pad(int depth) { return std::string(std::size_t(depth * kIndent), ' '); }

}  // namespace

void WriteJson(std::ostream& out, const Json& value, int depth) {
  const std::string text =
      SafeJson(value.dump(kIndent, ' ', false, Json::error_handler_t::replace));
  const std::string pad = Pad(depth);
  const std::string_view view(text);
  std::size_t from = 0;
  for (std::size_t end; (end = view.find('\n', from)) != std::string_view::npos; from = end + 1)
    out << view.substr(from, end + 1 - from) << pad;
  out << view.substr(from);
}

void WriteJsonArray(std::ostream& out, std::size_t count, int depth,
                    const std::function<Json(std::size_t)>& each) {
  if (count == 0) {
    out << "[]";
    return;
  }
  const std::string pad = Pad(depth + 1);
  out << "[";
  for (std::size_t i = 0; i < count; ++i) {
    out << (i ? ",\n" : "\n") << pad;
    WriteJson(out, each(i), depth + 1);
  }
  out << "\n" << Pad(depth) << "]";
}

void WriteJsonKey(std::ostream& out, const char* key, int depth, bool first) {
  out << (first ? "\n" : ",\n") << Pad(depth + 1) << '"' << key << "\": ";
}

}  // namespace artargets
