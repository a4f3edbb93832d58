// Typical orbits of the streams of a list.
#include "pages/typical_orbits.h"

#include <cmath>
#include <filesystem>
#include <vector>

#include "app/app_context.h"
#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/orbit_from_radiant.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "orbits/orbit_converters.h"
#include "pages/dsid_select_dialog.h"
#include "pages/orbit_files.h"
#include "pages/stream_list.h"
#include "platform/ui.h"
#include "table/text_file.h"

namespace {

using S = col::Stream;

constexpr float kMinimumVg = 0.01f;

struct TypicalOrbit {
    int streamRow;
    std::uint32_t oid;
};

std::string number(double value) { return formatMessage(",%f", value); }

// The orbit-file line of a stream's typical orbit; nothing when its peak has no date in the year.
std::optional<std::string> orbitLine(const CUTABLE& streams, int row, std::uint32_t oid, int year)
{
    const auto real = [&](int column) {
        return static_cast<double>(streams.cell(row, column)->real);
    };
    const std::optional<double> jd = SolToJD(real(S::solp), year);
    if (!jd)
        return std::nullopt;
    double peri = 0, node = 0, incl = 0, a = 0, q = 0, e = 0;
    OrbitFromRadiant(*jd, real(S::ra) * kDegToRad, real(S::dec) * kDegToRad, real(S::vg), peri,
                     node, incl, a, q, e);
    std::string line = formatMessage("501,%u,1,_TO_%s", oid, streams.text(row, S::code));
    for (double value : {*jd - kMjdToJd, real(S::solp), real(S::ra), real(S::dec), real(S::vg)})
        line += number(value);
    line += ",0";
    for (double value : {a, q, e, peri, node, incl, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0})
        line += number(value);
    return line + ",_\r\n";
}

// Everything the command changed, to take back after a failed save.
class TypicalOrbitsUndo {
public:
    TypicalOrbitsUndo(Database& db) : m_db(db), m_idNext(db.sources.currentIdNext()) {}
    void rememberStream(int row)
    {
        m_streams.push_back({row, m_db.streams.cell(row, S::TypicalOID)->number});
    }
    void restore() const
    {
        for (const auto& [row, oid] : m_streams)
            m_db.streams.cell(row, S::TypicalOID)->number = oid;
        const int source = m_db.sources.currentRow();
        if (source >= 0)
            m_db.dsids.cell(source, col::Dsid::IDnext)->number = m_idNext;
    }

private:
    Database& m_db;
    std::uint32_t m_idNext;
    std::vector<std::pair<int, std::uint32_t>> m_streams;
};

} // namespace

std::string typicalOrbitsFileName(const std::string& listName)
{
    return "O_" + fileNamePart(listName) + ".csv";
}

bool makeTypicalOrbits(AppContext& app, int listRow)
{
    if (!isLiveRow(app.db->lists, listRow)) {
        message("%s", kSelectListMessage);
        return false;
    }
    const std::string listName = app.db->lists.text(listRow, col::List::name);
    CDSIDSDlg dialog(app, formatMessage(kTypicalOrbitsFormat, listName.c_str()), false);
    if (!dialog.exec())
        return false;
    const std::optional<std::string> path =
        chooseOrbitFileTarget(app, kTypicalOrbitsTitle, true, typicalOrbitsFileName(listName));
    return path && makeTypicalOrbitsFile(app, listRow, *path);
}

std::optional<int> makeTypicalOrbitsFile(AppContext& app, int listRow, const std::string& path)
{
    WaitCursor wait;
    Database& db = *app.db;
    TypicalOrbitsUndo undo(db);
    std::vector<TypicalOrbit> made;
    AtomicFileWriter out(path);
    if (!out.open()) {
        message(kCannotOpenFormat, path.c_str());
        return std::nullopt;
    }
    out.append(orbitFileHeader());
    for (int row : streamsOfList(app, listRow)) {
        if (!(db.streams.cell(row, S::vg)->real >= kMinimumVg))
            continue;
        const std::optional<std::uint32_t> oid = db.sources.nextId();
        if (!oid) {
            undo.restore();
            return std::nullopt;
        }
        const std::optional<std::string> line =
            orbitLine(db.streams, row, *oid, app.settings.dlg_Y);
        if (!line) {
            db.sources.giveBackId(*oid);
            continue;
        }
        out.append(*line);
        made.push_back({row, *oid});
    }
    if (!out.commit()) {
        undo.restore();
        message(kCannotOpenFormat, path.c_str());
        return std::nullopt;
    }
    for (const TypicalOrbit& orbit : made) {
        undo.rememberStream(orbit.streamRow);
        db.streams.cell(orbit.streamRow, S::TypicalOID)->number = orbit.oid;
    }
    const OrbitFileRegistration registration = registerOrbitFile(db, fileNameOf(path));
    if (!saveAll(db, app.settings.mdbdir)) {
        undo.restore();
        unregisterOrbitFile(db, registration);
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        return std::nullopt;
    }
    reloadAllTables(app);
    return static_cast<int>(made.size());
}
