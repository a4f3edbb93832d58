#pragma once
// The order of a list's rows by the keys of one column.

#include <vector>

class CUTABLE;

// The rows in ascending order of their keys in the column: type 1 signed,
// 2-4 unsigned, 6 float, 8 and 9 texts compared byte by byte (the empty
// text first); link columns have no key. Rows with equal keys keep their
// order among themselves.
std::vector<int> sortRowsAscending(const CUTABLE& table, int column, const std::vector<int>& rows);
