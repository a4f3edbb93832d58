#pragma once
// A small table with a column of every cell type, and helpers shared by the table tests.

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/resource.h>

#include "platform/ui.h"
#include "table/cutable.h"

// Test table "T.csv", number 7, 100 rows per block.
namespace tcol {
enum : int { exist, id, count, flag, sel, real, name, code, links, note, itemdata, columnCount };
}

inline constexpr UColumnDef kTestColumns[] = {
    {kTypeUnsigned, 0, "exist"}, {kTypeUnsigned, 1, "id"},  {kTypeInt, 1, "count"},
    {kTypeFlag, 1, "flag"},      {kTypeSelState, 1, "sel"}, {kTypeFloat, 1, "real"},
    {kTypeText, 1, "name"},      {kTypeCode, 1, "code"},    {kTypeLink, 0, "links"},
    {kTypeText, 0, "note"},      {kTypeInt, 0, "itemdata"},
};
inline constexpr UTableDef kTestDef{"T.csv", 7, 100, tcol::columnCount, kTestColumns};
inline constexpr const char* kTestHeader = "_Version,_id,_count,_flag,_sel,_real,_name,_code\r\n";

// Pools and one initialised table of a definition.
struct PooledTable {
    explicit PooledTable(const UTableDef& definition = kTestDef)
    {
        table.initialise(definition, pools);
    }
    TablePools pools;
    CUTABLE table;
};

inline const auto kFatalExit =
    ::testing::ExitedWithCode(static_cast<unsigned char>(kFatalExitStatus));

// AddressSanitizer reserves far more address space than a limit leaves, and
// reports an exhausted allocator itself: allocation failures are tested in
// the plain build only.
#if defined(__SANITIZE_ADDRESS__)
#define ORVANTELLA_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVANTELLA_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef ORVANTELLA_ADDRESS_SANITIZER
#define SKIP_UNDER_ADDRESS_SANITIZER()                                                             \
    GTEST_SKIP() << "address space limits do not hold under AddressSanitizer"
#else
#define SKIP_UNDER_ADDRESS_SANITIZER() static_cast<void>(0)
#endif

// In a death test's child: lets the process map only `extra` more bytes, so
// that the next large allocation fails.
inline void limitAddressSpace(std::size_t extra)
{
    long pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm || std::fscanf(statm, "%ld", &pages) != 1)
        std::abort();
    std::fclose(statm);
    const rlim_t limit = static_cast<rlim_t>(pages) * 4096 + extra;
    const rlimit cap{limit, limit};
    setrlimit(RLIMIT_AS, &cap);
}
