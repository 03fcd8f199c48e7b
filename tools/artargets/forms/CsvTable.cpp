#include "forms/CsvTable.h"

#include <string_view>

#include "support/UsageError.h"

namespace artargets {

namespace {

// Reads the text cell by cell; `row` counts the rows begun, from 1.
class CsvReader {
 public:
  CsvReader(std::string_view text, char separator) : text_(text), separator_(separator) {}

  std::vector<std::vector<std::string>> Rows() {
    std::vector<std::vector<std::string>> rows;
    while (at_ < text_.size()) {
      ++row_;
      rows.push_back(Row());
    }
    return rows;
  }

 private:
  std::vector<std::string> Row() {
    std::vector<std::string> cells;
    for (;;) {
      cells.push_back(Cell(cells.size() + 1));
      if (at_ >= text_.size()) return cells;
      const char separator = text_[at_++];
      if (separator == separator_) continue;
      if (separator == '\r' && at_ < text_.size() && text_[at_] == '\n') ++at_;
      return cells;  // '\n', or "\r\n"
    }
  }

  std::string Cell(std::size_t column) {
    std::string cell;
    if (at_ < text_.size() && text_[at_] == '"') return Quoted(column);
    while (at_ < text_.size() && !Ends(text_[at_])) {
      if (text_[at_] == '"') Refuse(column, "a quote inside a cell that does not start with one");
      cell += text_[at_++];
    }
    return cell;
  }

  std::string Quoted(std::size_t column) {
    std::string cell;
    for (++at_; at_ < text_.size(); ++at_) {
      if (text_[at_] != '"') {
        cell += text_[at_];
      } else if (at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
        cell += text_[++at_];
      } else {
        ++at_;
        if (at_ < text_.size() && !Ends(text_[at_]))
          Refuse(column, "text after the closing quote of a cell");
        return cell;
      }
    }
    Refuse(column, "a quote that is never closed");
  }

  bool Ends(char c) const { return c == separator_ || c == '\n' || c == '\r'; }

  [[noreturn]] void Refuse(std::size_t column, const std::string& what) const {
    throw UsageError("row " + std::to_string(row_) + ", cell " + std::to_string(column) + ": " +
                     what);
  }

  std::string_view text_;
  char separator_;
  std::size_t at_ = 0, row_ = 0;
};

// The separator the header row uses, outside quotes: of a comma, a semicolon (a spreadsheet's
// choice where the comma is the decimal sign) and a tab, the one it holds most of; a comma for
// a header of one column.
char SeparatorOf(std::string_view text) {
  std::size_t commas = 0, semicolons = 0, tabs = 0;
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n' || c == '\r') break;
    commas += c == ',';
    semicolons += c == ';';
    tabs += c == '\t';
  }
  if (semicolons > commas && semicolons >= tabs) return ';';
  if (tabs > commas && tabs > semicolons) return '\t';
  return ',';
}

std::string SeparatorName(char separator) {
  return separator == '\t' ? "tabs" : separator == ';' ? "semicolons" : "commas";
}

}  // namespace

CsvTable ReadCsv(const std::string& text) {
  // Line breaks at the very end end the last row, however many an editor or `echo` left there.
  std::string_view body = text;
  // A spreadsheet may start its UTF-8 with a byte-order mark; it is no part of the first name.
  if (body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);
  while (!body.empty() && (body.back() == '\n' || body.back() == '\r')) body.remove_suffix(1);
  const char separator = SeparatorOf(body);
  std::vector<std::vector<std::string>> rows = CsvReader(body, separator).Rows();
  if (rows.empty()) throw UsageError("row 1: there is no header row naming the columns");
  CsvTable table{.header = std::move(rows.front()), .rows = {}};
  for (std::size_t i = 1; i < rows.size(); ++i) {
    if (rows[i].size() != table.header.size())
      throw UsageError("row " + std::to_string(i + 1) + " has " + std::to_string(rows[i].size()) +
                       " cells; the header names " + std::to_string(table.header.size()) +
                       " columns (separated by " + SeparatorName(separator) + ")");
    table.rows.push_back(std::move(rows[i]));
  }
  return table;
}

}  // namespace artargets
