#pragma once
// Saving the listed rows of a table, for a database whose table spans many files.

#include <string>
#include <vector>

class CUTABLE;
class FileTransaction;

// Writes the listed rows (live, in the order given) as CUTABLE::saveRows writes the rows it
// keeps, without looking at the others: saving each of many files that share a table costs
// its own rows, not the table's.
[[nodiscard]] bool saveRowList(const CUTABLE& table, const std::string& path,
                               const std::vector<int>& rows,
                               FileTransaction* transaction = nullptr);
