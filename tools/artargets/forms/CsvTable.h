// A table read from CSV text as RFC 4180 writes it: a header row naming the columns, then rows
// of exactly as many cells; cells separated by commas, rows by CRLF or LF; a cell in double
// quotes may hold commas, line breaks and doubled quotes. The reader is strict: a quote inside
// an unquoted cell, text after a closing quote, an unclosed quote or a row of another width is
// refused, naming the row (the header is row 1, as a spreadsheet counts). What spreadsheets
// save besides is read too: a UTF-8 byte-order mark is skipped, and cells separated by
// semicolons or tabs are read when the header row is (the separator it holds most of).
#pragma once

#include <string>
#include <vector>

namespace artargets {

struct CsvTable {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;  // rows[0] is the spreadsheet's row 2
};

// `text` as a table; throws UsageError naming the row (and the cell) for text that is not
// strict CSV, and for a row whose width differs from the header's.
CsvTable ReadCsv(const std::string& text);

}  // namespace artargets
