// A table's row that names its own source line: a failing row is reported at that line (as Wine's tests do
// with ok_(__FILE__, __LINE__)), not as "case N" of the loop.
#pragma once

#include <gtest/gtest.h>

// The row's first member is its line: struct { int line; ... } rows[] = {ROW(...), ...}.
#define ROW(...) \
  { __LINE__, __VA_ARGS__ }
// Inside the loop over rows: every failure below names the row's line.
#define TRACE_ROW(row) const ::testing::ScopedTrace row_trace(__FILE__, (row).line, "the row")
