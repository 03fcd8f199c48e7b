// Targets as JSON and CSV (list --json, export, import) and the bulk edits read from
// them (import --update, import --csv).
//
// Where things are:
//   JsonForm.h  the JSON form of targets, written and read
//   CsvTable.h  a table read from CSV
//   BulkEdit.h  partial targets from CSV, laid over a file's targets
#pragma once
