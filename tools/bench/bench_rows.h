#pragma once
// The account lists of the benchmarks, and the baseline they are measured
// against: the list view's own fill of the same rows while it is not shown.

#include <string>

#include "stored_list.h"

// Row `row` (from 0): account text "138" and eight digits; sequence text the
// row's number from 1, or counting down to 1 when `countingDown`.
launcher_test::Rows BenchRows(int rows, bool countingDown = false);
Bytes ContentOfRows(const launcher_test::Rows& rows);

// Milliseconds to fill a report list of two columns with the rows, in a
// window of this process that has not been shown.
double TimeHiddenFill(const launcher_test::Rows& rows);
