#include "support/JsonPieces.h"

#include <string>
#include <string_view>

#include "support/JsonOut.h"
#include "support/SafeText.h"

namespace artargets {

namespace {

constexpr int kIndent = 2;  // as every JSON output of the tool is dumped

std::string Pad(int depth) { return std::string(std::size_t(depth * kIndent), ' '); }

// `value` dumped, each line after the first indented `depth` levels.
void AppendJson(std::string& out, const Json& value, int depth) {
  const std::string text =
      SafeJson(value.dump(kIndent, ' ', false, Json::error_handler_t::replace));
  const std::string pad = Pad(depth);
  const std::string_view view(text);
  std::size_t from = 0;
  for (std::size_t end; (end = view.find('\n', from)) != std::string_view::npos; from = end + 1)
    out.append(view.substr(from, end + 1 - from)).append(pad);
  out.append(view.substr(from));
}

}  // namespace

void WriteJson(std::ostream& out, const Json& value, int depth) {
  std::string text;
  AppendJson(text, value, depth);
  out << text;
}

void WriteJsonKey(std::ostream& out, const char* key, int depth, bool first) {
  out << (first ? "\n" : ",\n") << Pad(depth + 1) << '"' << key << "\": ";
}

}  // namespace artargets
