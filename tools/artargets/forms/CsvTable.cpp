#include "forms/CsvTable.h"

#include <string_view>

#include "support/UsageError.h"

namespace artargets {

namespace {

// Reads the text cell by cell; `row` counts the rows begun, from 1.
class CsvReader {
 public:
  explicit CsvReader(std::string_view text) : text_(text) {}

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
      if (separator == ',') continue;
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

  static bool Ends(char c) { return c == ',' || c == '\n' || c == '\r'; }

  [[noreturn]] void Refuse(std::size_t column, const std::string& what) const {
    throw UsageError("row " + std::to_string(row_) + ", cell " + std::to_string(column) + ": " +
                     what);
  }

  std::string_view text_;
  std::size_t at_ = 0, row_ = 0;
};

}  // namespace

CsvTable ReadCsv(const std::string& text) {
  // Line breaks at the very end end the last row, however many an editor or `echo` left there.
  std::string_view body = text;
  while (!body.empty() && (body.back() == '\n' || body.back() == '\r')) body.remove_suffix(1);
  std::vector<std::vector<std::string>> rows = CsvReader(body).Rows();
  if (rows.empty()) throw UsageError("row 1: there is no header row naming the columns");
  CsvTable table{.header = std::move(rows.front()), .rows = {}};
  for (std::size_t i = 1; i < rows.size(); ++i) {
    if (rows[i].size() != table.header.size())
      throw UsageError("row " + std::to_string(i + 1) + " has " + std::to_string(rows[i].size()) +
                       " cells; the header names " + std::to_string(table.header.size()) +
                       " columns");
    table.rows.push_back(std::move(rows[i]));
  }
  return table;
}

}  // namespace artargets
