// Deleting an orbit, its date through the date dialog, and moving orbits to a stream.
#include "pages/orbit_edits.h"

#include <string>

#include "app/app_context.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "pages/data_dlg.h"
#include "platform/ui.h"
#include "table/links.h"

namespace {

using O = col::Orbit;

} // namespace

bool deleteOrbit(AppContext& app, int orbitRow)
{
    Database& db = *app.db;
    if (!isLiveRow(db.orbits, orbitRow) || !ui().askOkCancel(kDeleteOrbitQuestion, kAppCaption))
        return false;
    const std::uint32_t oid = db.orbits.cell(orbitRow, O::OID)->number;
    clearLinks(db.orbits, orbitRow, O::SLINK);
    for (int stream = 0; stream < db.streams.count(); ++stream) {
        if (!db.streams.isLive(stream) ||
            db.streams.cell(stream, col::Stream::TypicalOID)->number != oid)
            continue;
        db.streams.cell(stream, col::Stream::TypicalOID)->number = 0;
        db.streams.cell(stream, col::Stream::TOIDline)->integer = -1;
    }
    db.orbits.deleteRow(orbitRow);
    --db.orbitCount;
    return true;
}

bool changeSolMjd(AppContext& app, int orbitRow)
{
    Database& db = *app.db;
    if (!isLiveRow(db.orbits, orbitRow))
        return false;
    const std::string name = db.orbits.text(orbitRow, O::name);
    const std::string title =
        name.empty() ? kChangeSolMjdTitle : formatMessage(kSolMjdTitleFormat, name.c_str());
    CDataDlg dialog(title, db.orbits.cell(orbitRow, O::mjd)->real64,
                    db.orbits.cell(orbitRow, O::sol)->real, false, app.settings.dlg_Y);
    if (!ui().runModal(dialog))
        return false;
    db.orbits.cell(orbitRow, O::sol)->real = static_cast<float>(dialog.sol());
    db.orbits.cell(orbitRow, O::mjd)->real64 = dialog.mjd();
    computeOrbitDerived(db.orbits, orbitRow);
    return true;
}

void moveOrbitsToStream(Database& db, const std::vector<int>& orbitRows, int streamRow)
{
    for (int row : orbitRows) {
        clearLinks(db.orbits, row, O::SLINK);
        link({&db.streams, streamRow, col::Stream::OLINK}, {&db.orbits, row, O::SLINK});
    }
}
