#pragma once
// The seven tables of the meteor database: their definitions and column indexes.

#include "table/table_def.h"

extern const UTableDef kDsidTableDef;       // UDSID.csv, data sources
extern const UTableDef kListTableDef;       // UList.csv, stream lists
extern const UTableDef kListStreamLinkDef;  // ULSlink.csv, (LID, SID)
extern const UTableDef kStreamTableDef;     // UStream.csv, streams
extern const UTableDef kStreamOrbitLinkDef; // USOlink.csv, (SID, OID)
extern const UTableDef kOrbitTableDef;      // rows of the orbit files, "Orbit Edit"
extern const UTableDef kOrbitFileTableDef;  // UOFile.csv, orbit files

// Column indexes, named after the columns ("M/D" is MD, "T/e" Te, "D'" Dp,
// "L-S" LS, "S-O" SO); count is the column count.
namespace col {
struct Dsid {
    enum : int { exist, DSID, use, code, IDnext, memo, dline, itemdata, count };
};
struct List {
    enum : int { exist, LID, name, ver, memo, SLINK, dline, itemdata, count };
};
// Both link tables: column 1 the owner ID, column 2 the target ID.
struct Link {
    enum : int { exist, ownerId, targetId, itemdata, count };
};
struct Stream {
    enum : int {
        exist,
        SID,
        use,
        code,
        name,
        sol1,
        sol2,
        solp,
        ra,
        dec,
        dra,
        ddec,
        vg,
        type,
        R,
        dv,
        Dp,
        TypicalOID,
        memo,
        MD1,
        MD2,
        MDp,
        LS,
        valid,
        SO,
        ssel,
        LLINK,
        OLINK,
        TOIDline,
        itemdata,
        count
    };
};
struct Orbit {
    enum : int {
        exist,
        OID,
        use,
        name,
        mjd,
        sol,
        ra,
        dec,
        vg,
        type,
        a,
        q,
        e,
        peri,
        node,
        incl,
        M,
        Te,
        r_sd,
        v_sd,
        Hb,
        He,
        zr,
        mag,
        mass,
        memo,
        sel,
        stream,
        sR,
        mR,
        DD,
        MD,
        code,
        vs,
        dline,
        SLINK,
        ALINK,
        OLINK,
        OFILE,
        itemdata,
        count
    };
};
struct OrbitFile {
    enum : int { exist, use, fileName, memo, loaded, dline, itemdata, count };
};
} // namespace col
