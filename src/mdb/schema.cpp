// The definitions of the seven database tables.
#include "mdb/schema.h"

namespace {

constexpr UColumnDef kExist{kTypeUnsigned, 0, "exist"};

constexpr UColumnDef kDsidColumns[] = {
    kExist,
    {kTypeUnsigned, 1, "DSID"},
    {kTypeFlag, 1, "use"},
    {kTypeCode, 1, "code"},
    {kTypeUnsigned, 1, "IDnext"},
    {kTypeText, 1, "memo"},
    {kTypeInt, 0, "dline"},
    {kTypeInt, 0, "itemdata"},
};

constexpr UColumnDef kListColumns[] = {
    kExist,
    {kTypeUnsigned, 1, "LID"},
    {kTypeText, 1, "name"},
    {kTypeText, 1, "ver"},
    {kTypeText, 1, "memo"},
    {kTypeLink, 0, "SLINK"},
    {kTypeInt, 0, "dline"},
    {kTypeInt, 0, "itemdata"},
};

constexpr UColumnDef kListStreamLinkColumns[] = {
    kExist,
    {kTypeUnsigned, 1, "LID"},
    {kTypeUnsigned, 1, "SID"},
    {kTypeInt, 0, "itemdata"},
};

constexpr UColumnDef kStreamColumns[] = {
    kExist,
    {kTypeUnsigned, 1, "SID"},
    {kTypeFlag, 1, "use"},
    {kTypeCode, 1, "code"},
    {kTypeText, 1, "name"},
    {kTypeFloat, 1, "sol1"},
    {kTypeFloat, 1, "sol2"},
    {kTypeFloat, 1, "solp"},
    {kTypeFloat, 1, "ra"},
    {kTypeFloat, 1, "dec"},
    {kTypeFloat, 1, "dra"},
    {kTypeFloat, 1, "ddec"},
    {kTypeFloat, 1, "vg"},
    {kTypeInt, 1, "type"},
    {kTypeFloat, 1, "R"},
    {kTypeFloat, 1, "dv"},
    {kTypeFloat, 1, "D'"},
    {kTypeUnsigned, 1, "TypicalOID"},
    {kTypeText, 1, "memo"},
    {kTypeCode, 0, "M/D1"},
    {kTypeCode, 0, "M/D2"},
    {kTypeCode, 0, "M/Dp"},
    {kTypeFlag, 0, "L-S"},
    {kTypeInt, 0, "valid"},
    {kTypeInt, 0, "S-O"},
    {kTypeFlag, 0, "ssel"},
    {kTypeLink, 0, "LLINK"},
    {kTypeLink, 0, "OLINK"},
    {kTypeInt, 0, "TOIDline"},
    {kTypeInt, 0, "itemdata"},
};

constexpr UColumnDef kStreamOrbitLinkColumns[] = {
    kExist,
    {kTypeUnsigned, 1, "SID"},
    {kTypeUnsigned, 1, "OID"},
    {kTypeInt, 0, "itemdata"},
};

constexpr UColumnDef kOrbitColumns[] = {
    kExist,
    {kTypeUnsigned, 1, "OID"},
    {kTypeFlag, 1, "use"},
    {kTypeText, 1, "name"},
    {kTypeDouble, 1, "mjd"},
    {kTypeFloat, 1, "sol"},
    {kTypeFloat, 1, "ra"},
    {kTypeFloat, 1, "dec"},
    {kTypeFloat, 1, "vg"},
    {kTypeInt, 1, "type"},
    {kTypeFloat, 1, "a"},
    {kTypeFloat, 1, "q"},
    {kTypeFloat, 1, "e"},
    {kTypeFloat, 1, "peri"},
    {kTypeFloat, 1, "node"},
    {kTypeFloat, 1, "incl"},
    {kTypeFloat, 1, "M"},
    {kTypeFloat, 1, "T/e"},
    {kTypeFloat, 1, "r_sd"},
    {kTypeFloat, 1, "v_sd"},
    {kTypeFloat, 1, "Hb"},
    {kTypeFloat, 1, "He"},
    {kTypeFloat, 1, "zr"},
    {kTypeFloat, 1, "mag"},
    {kTypeFloat, 1, "mass"},
    {kTypeText, 1, "memo"},
    {kTypeSelState, 0, "sel"},
    {kTypeText, 0, "stream"},
    {kTypeFloat, 0, "sR"},
    {kTypeFloat, 0, "mR"},
    {kTypeFloat, 0, "DD"},
    {kTypeCode, 0, "M/D"},
    {kTypeCode, 0, "code"},
    {kTypeFloat, 0, "vs"},
    {kTypeInt, 0, "dline"},
    {kTypeLink, 0, "SLINK"},
    {kTypeLink, 0, "ALINK"},
    {kTypeLink, 0, "OLINK"},
    {kTypeLink, 0, "OFILE"},
    {kTypeInt, 0, "itemdata"},
};

constexpr UColumnDef kOrbitFileColumns[] = {
    kExist,
    {kTypeFlag, 1, "use"},
    {kTypeText, 1, "orbit file name"},
    {kTypeText, 1, "memo"},
    {kTypeFlag, 0, "loaded"},
    {kTypeInt, 0, "dline"},
    {kTypeInt, 0, "itemdata"},
};

template <std::size_t N> constexpr std::int32_t countOf(const UColumnDef (&)[N])
{
    return static_cast<std::int32_t>(N);
}

static_assert(countOf(kDsidColumns) == col::Dsid::count);
static_assert(countOf(kListColumns) == col::List::count);
static_assert(countOf(kListStreamLinkColumns) == col::Link::count);
static_assert(countOf(kStreamColumns) == col::Stream::count);
static_assert(countOf(kStreamOrbitLinkColumns) == col::Link::count);
static_assert(countOf(kOrbitColumns) == col::Orbit::count);
static_assert(countOf(kOrbitFileColumns) == col::OrbitFile::count);

} // namespace

const UTableDef kDsidTableDef{"UDSID.csv", 1, 1000, countOf(kDsidColumns), kDsidColumns};
const UTableDef kListTableDef{"UList.csv", 101, 100, countOf(kListColumns), kListColumns};
const UTableDef kListStreamLinkDef{"ULSlink.csv", 201, 1000, countOf(kListStreamLinkColumns),
                                   kListStreamLinkColumns};
const UTableDef kStreamTableDef{"UStream.csv", 301, 1000, countOf(kStreamColumns), kStreamColumns};
const UTableDef kStreamOrbitLinkDef{"USOlink.csv", 401, 100000, countOf(kStreamOrbitLinkColumns),
                                    kStreamOrbitLinkColumns};
const UTableDef kOrbitTableDef{"Orbit Edit", 501, 100000, countOf(kOrbitColumns), kOrbitColumns};
const UTableDef kOrbitFileTableDef{"UOFile.csv", 901, 10000, countOf(kOrbitFileColumns),
                                   kOrbitFileColumns};
