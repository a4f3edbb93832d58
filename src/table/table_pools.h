#pragma once
// The two pools every table of one database shares: texts and link nodes.

#include "table/link_pool.h"
#include "table/string_pool.h"

struct TablePools {
    UCBUF strings;
    CellBuf nodes;
};
