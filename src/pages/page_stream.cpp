// The Stream page's commands.
#include "pages/page_stream.h"

#include <cstdio>

#include "app/app_context.h"
#include "app/app_refresh.h"
#include "app/engine_params.h"
#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/orbit_from_radiant.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "pages/data_dlg.h"
#include "pages/dsid_select_dialog.h"
#include "pages/orbit_files.h"
#include "pages/stream_list.h"
#include "streams/stream_grouping.h"
#include "streams/stream_list_rows.h"
#include "streams/stream_membership.h"
#include "table/links.h"

namespace {

using S = col::Stream;
using O = col::Orbit;

constexpr int kHidden = -1;

// "linked N orbits in M streams": the orbits linked to the current list's streams (each once)
// and the streams of the list that got any.
std::string groupingSummary(const Database& db)
{
    std::vector<bool> counted(static_cast<std::size_t>(db.orbits.count()), false);
    int orbits = 0, streams = 0;
    for (int row = 0; row < db.streams.count(); ++row) {
        if (!db.streams.isLive(row) || db.streams.cell(row, S::LS)->number == 0)
            continue;
        bool any = false;
        for (const LinkNode& node : linksOf(db.streams, row, S::OLINK)) {
            if (!node.resolved())
                continue;
            any = true;
            const auto orbit = static_cast<std::size_t>(node.partnerCell.row);
            orbits += counted[orbit] ? 0 : 1;
            counted[orbit] = true;
        }
        streams += any ? 1 : 0;
    }
    return formatMessage("linked %d orbits in %d streams", orbits, streams);
}

UDEditDef scaleDef(int x, int y, const char* label, int id, int* variable, float maximum)
{
    UDEditDef def;
    def.kind = kUDKindInteger;
    def.editWidth = 36;
    def.x = x;
    def.y = y;
    def.label = label;
    def.labelWidth = 40;
    def.id = id;
    def.variable = variable;
    def.maximum = maximum;
    def.minimum = 0;
    def.step = 1;
    def.limit = UDLimit::Clamp;
    return def;
}

// Elements of an orbit from a radiant at the instant the Sun passes sol in the year.
struct RadiantOrbit {
    double jd, peri, node, incl, a, q, e;
};

std::optional<RadiantOrbit> orbitAtSol(float solDeg, int year, float raDeg, float decDeg,
                                       float vgKms)
{
    const std::optional<double> jd = SolToJD(solDeg, year);
    if (!jd)
        return std::nullopt;
    RadiantOrbit orbit{*jd, 0, 0, 0, 0, 0, 0};
    OrbitFromRadiant(*jd, raDeg * kDegToRad, decDeg * kDegToRad, vgKms, orbit.peri, orbit.node,
                     orbit.incl, orbit.a, orbit.q, orbit.e);
    return orbit;
}

void storeElements(CUTABLE& orbits, int row, const RadiantOrbit& orbit)
{
    const std::pair<int, double> values[] = {{O::peri, orbit.peri}, {O::node, orbit.node},
                                             {O::incl, orbit.incl}, {O::a, orbit.a},
                                             {O::q, orbit.q},       {O::e, orbit.e}};
    for (const auto& [column, value] : values)
        orbits.cell(row, column)->real = static_cast<float>(value);
}

} // namespace

std::vector<std::pair<CPageStream::MenuCommand, std::string>> CPageStream::menuItems()
{
    return {{MenuCommand::EditStream, "Edit this stream"},
            {MenuCommand::UpdateTypicalOrbit, "Update typical orbit"},
            {MenuCommand::RvgSingle, "R-vg single grouping"},
            {MenuCommand::DprimeSingle, "D' single grouping"},
            {MenuCommand::EraseSingle, "Erase grouping of this stream"},
            {MenuCommand::DeleteStream, "Delete this stream"}};
}

CPageStream::CPageStream(AppContext& app)
    : m_app(app), m_view(*this, app.views.streams, app.db->streams),
      m_scales{CUDEdit(scaleDef(100, -44, "R*(%)", 1101, &app.settings.ps_dr, 1000)),
               CUDEdit(scaleDef(190, -44, "dv*(%)", 1103, &app.settings.ps_dv, 1000)),
               CUDEdit(scaleDef(100, -22, "D'*(%)", 1105, &app.settings.ps_dd, 2000))}
{
}

void CPageStream::initialise()
{
    m_initializing = true;
    fillCombo();
    m_initializing = false;
    requestRefresh(m_app, 5);
    changed();
}

void CPageStream::fillCombo()
{
    Database& db = *m_app.db;
    m_items.clear();
    m_comboSelection = -1;
    for (int row = 0; row < db.lists.count(); ++row) {
        if (!db.lists.isLive(row))
            continue;
        const std::uint32_t lid = db.lists.cell(row, col::List::LID)->number;
        if (!db.sources.isInUse(lid))
            continue;
        if (lid == static_cast<std::uint32_t>(m_app.settings.ps_lid))
            m_comboSelection = static_cast<int>(m_items.size());
        m_items.push_back({db.lists.text(row, col::List::name), row});
    }
    if (m_comboSelection < 0 && !m_items.empty())
        m_comboSelection = static_cast<int>(m_items.size()) - 1;
    const int listRow = m_comboSelection < 0 ? -1 : m_items[m_comboSelection].row;
    m_app.currentListRow = listRow;
    m_app.currentLid = listRow < 0 ? 0 : db.lists.cell(listRow, col::List::LID)->number;
    if (listRow >= 0)
        m_app.settings.ps_lid = static_cast<int>(m_app.currentLid);
    rebuildView();
    recomputeMembership();
    recountStreams(db);
    changed();
}

void CPageStream::rebuildView()
{
    m_streamsInUse = markValidStreams(*m_app.db);
    m_view.build(S::valid, kHidden);
}

void CPageStream::chooseList(int item)
{
    if (item < 0 || item >= static_cast<int>(m_items.size()))
        return;
    m_comboSelection = item;
    const int row = m_items[item].row;
    m_app.currentListRow = row;
    m_app.currentLid = m_app.db->lists.cell(row, col::List::LID)->number;
    m_app.settings.ps_lid = static_cast<int>(m_app.currentLid);
    recomputeMembership();
    requestRefresh(m_app, 5);
    changed();
}

void CPageStream::recomputeMembership()
{
    m_streamsInList = markListMembers(*m_app.db, m_app.currentListRow);
    for (int line = 0; line < m_view.lineCount(); ++line)
        m_view.redrawLine(line);
    changed();
}

bool CPageStream::hasList() const
{
    if (m_app.currentListRow >= 0 && m_app.currentListRow < m_app.db->lists.count() &&
        m_app.db->lists.isLive(m_app.currentListRow))
        return true;
    message("%s", kSelectList);
    return false;
}

int CPageStream::selectedRow() const
{
    const int line = m_view.selectedLine();
    if (line < 0 || line >= m_view.lineCount())
        return -1;
    return m_view.rowOfLine(line);
}

void CPageStream::markModified()
{
    m_app.db->modified = true;
    changed();
}

void CPageStream::newStream()
{
    Database& db = *m_app.db;
    m_initializing = true;
    const std::optional<std::uint32_t> sid = db.sources.nextId();
    if (!sid) {
        m_initializing = false;
        return;
    }
    const int line = m_view.addRow();
    const int row = m_view.rowOfLine(line);
    db.streams.cell(row, S::SID)->number = *sid;
    db.streams.cell(row, S::use)->number = 1;
    db.streams.cell(row, S::valid)->integer = line;
    db.streams.cell(row, S::TypicalOID)->number = 0;
    db.streams.cell(row, S::TOIDline)->integer = -1;
    m_view.redrawLine(line);
    if (m_view.editRecord(line, false) == 1) {
        computeStreamMonthDays(db.streams, row, m_app.settings.dlg_Y);
        requestRefresh(m_app, 2);
        rebuildView();
        markModified();
        requestRefresh(m_app, 5);
    } else {
        db.sources.giveBackId(*sid);
        m_view.deleteLine(line, false);
        rebuildView();
    }
    m_initializing = false;
    changed();
}

void CPageStream::deleteStream(int row)
{
    Database& db = *m_app.db;
    if (!isLiveRow(db.streams, row)) {
        message("%s", kSelectStream);
        return;
    }
    if (!ui().askOkCancel(kDeleteQuestion, kAppCaption))
        return;
    if (m_app.currentStreamRow == row)
        m_app.currentStreamRow = -1;
    deleteStreamRow(db, row);
    afterDeletion();
}

void CPageStream::deleteAll()
{
    if (!hasList() || !ui().askOkCancel(kDeleteAllQuestion, kAppCaption))
        return;
    Database& db = *m_app.db;
    for (int row = 0; row < db.streams.count(); ++row) {
        if (!db.streams.isLive(row) || db.streams.cell(row, S::LS)->number == 0)
            continue;
        if (m_app.currentStreamRow == row)
            m_app.currentStreamRow = -1;
        deleteStreamRow(db, row);
    }
    afterDeletion();
}

void CPageStream::afterDeletion()
{
    // The orbits' stream codes are recomputed after "Delete all" too: otherwise they would
    // keep naming the deleted streams until the next load.
    rebuildView();
    requestRefresh(m_app, 2);
    markModified();
    computeAllStreamCodes(*m_app.db);
    recomputeMembership();
    requestRefresh(m_app, 5);
}

void CPageStream::exportList()
{
    if (!hasList())
        return;
    // The streams of the list as the view shows them.
    std::vector<int> rows;
    for (int line = 0; line < m_view.lineCount(); ++line) {
        const int row = m_view.rowOfLine(line);
        if (m_app.db->streams.cell(row, S::LS)->number != 0)
            rows.push_back(row);
    }
    (void)exportStreamListCsv(m_app, m_app.db->lists.text(m_app.currentListRow, col::List::name),
                              rows);
}

void CPageStream::groupingEnded()
{
    requestRefresh(m_app, 6);
    for (int line = 0; line < m_view.lineCount(); ++line)
        m_view.redrawLine(line);
    changed();
}

void CPageStream::rvgGrouping(Feedback& feedback)
{
    if (!hasList())
        return;
    WaitCursor wait;
    if (groupRvgAll(*m_app.db, groupingOptions(m_app.settings), feedback) != GroupingOutcome::Done)
        return;
    const std::string folder = m_app.startupFolder.empty() ? "." : m_app.startupFolder;
    const std::string counts = folder + "/" + kStreamCountFileName;
    const bool countsWritten = writeStreamCounts(*m_app.db, counts);
    groupingEnded();
    status("R-vg grouping %s; stream counts %s %s", groupingSummary(*m_app.db).c_str(),
           countsWritten ? "written to" : "could not be written to", counts.c_str());
}

void CPageStream::dprimeGrouping(Feedback& feedback)
{
    if (!hasList())
        return;
    WaitCursor wait;
    if (groupDprimeAll(*m_app.db, groupingOptions(m_app.settings), feedback) !=
        GroupingOutcome::Done)
        return;
    groupingEnded();
    status("D' grouping %s", groupingSummary(*m_app.db).c_str());
}

void CPageStream::eraseGrouping()
{
    if (!hasList())
        return;
    WaitCursor wait;
    eraseGroupingAll(*m_app.db);
    recountStreams(*m_app.db);
    groupingEnded();
    status("grouping erased");
}

bool CPageStream::dAndR() const { return m_app.settings.ps_ddr != 0; }
bool CPageStream::exclusive() const { return m_app.settings.ps_ex != 0; }
bool CPageStream::pri() const { return m_app.settings.ps_pri != 0; }
void CPageStream::setDAndR(bool on) { m_app.settings.ps_ddr = on ? 1 : 0; }
void CPageStream::setExclusive(bool on) { m_app.settings.ps_ex = on ? 1 : 0; }
void CPageStream::setPri(bool on) { m_app.settings.ps_pri = on ? 1 : 0; }

void CPageStream::singleGroupingEnded(int row)
{
    const int line = m_app.db->streams.cell(row, S::valid)->integer;
    if (line >= 0 && line < m_view.lineCount())
        m_view.redrawLine(line);
    requestRefresh(m_app, 6);
    chooseStream(row, false);
}

void CPageStream::openMenu(int line)
{
    if (line < 0 || line >= m_view.lineCount())
        return;
    m_view.setSelectedLine(line);
    menuRequested();
}

void CPageStream::menuCommand(MenuCommand command)
{
    const int row = selectedRow();
    if (row < 0) {
        message("%s", kSelectStream);
        return;
    }
    Database& db = *m_app.db;
    const GroupingOptions options = groupingOptions(m_app.settings);
    switch (command) {
    case MenuCommand::EditStream:
        (void)m_view.editRecord(-1, true);
        break;
    case MenuCommand::UpdateTypicalOrbit:
        updateTypicalOrbit(row);
        break;
    case MenuCommand::RvgSingle:
        (void)groupRvgSingle(db, row, options);
        singleGroupingEnded(row);
        break;
    case MenuCommand::DprimeSingle:
        if (groupDprimeSingle(db, row, options))
            singleGroupingEnded(row);
        break;
    case MenuCommand::EraseSingle:
        eraseGroupingOfStream(db, row);
        singleGroupingEnded(row);
        break;
    case MenuCommand::DeleteStream:
        deleteStream(row);
        break;
    }
    changed();
}

void CPageStream::notify(int code, int wParam, int lParam)
{
    switch (code) {
    case kCellEdited:
        cellEdited(wParam, lParam);
        break;
    case kMenu:
        openMenu(lParam);
        break;
    case kRowSelected:
        rowSelected();
        break;
    case kDeleteRequest:
        deleteStream(wParam);
        break;
    case kAllOn:
    case kAllOff:
        wholeViewMembership(code == kAllOn);
        break;
    case kDateFirst:
        editDate(lParam, S::sol1, "%s SOL1");
        break;
    case kDateLast:
        editDate(lParam, S::sol2, "%s SOL");
        break;
    case kDatePeak:
        editDate(lParam, S::solp, "%s SOLp");
        break;
    default:
        break;
    }
}

void CPageStream::cellEdited(int listColumn, int line)
{
    if (m_initializing || line < 0 || line >= m_view.lineCount())
        return;
    const int row = m_view.rowOfLine(line);
    const bool membership =
        listColumn >= 0 &&
        m_view.layout().columns[m_view.layoutColumnOf(listColumn)].column == S::LS;
    if (membership) {
        setMembership(row, m_app.db->streams.cell(row, S::LS)->number != 0);
        return;
    }
    recomputeTypicalOrbit(row);
    computeStreamMonthDays(m_app.db->streams, row, m_app.settings.dlg_Y);
    m_view.redrawLine(line);
    markModified();
    requestRefresh(m_app, 5);
}

void CPageStream::setMembership(int row, bool member)
{
    Database& db = *m_app.db;
    if (!hasList()) {
        db.streams.cell(row, S::LS)->number = 0;
        recomputeMembership();
        return;
    }
    const CellRef list{&db.lists, m_app.currentListRow, col::List::SLINK};
    const CellRef stream{&db.streams, row, S::LLINK};
    if (member)
        link(list, stream);
    else
        unlink(list, stream);
    markModified();
    requestRefresh(m_app, 5);
}

void CPageStream::wholeViewMembership(bool member)
{
    if (!hasList())
        return;
    Database& db = *m_app.db;
    const CellRef list{&db.lists, m_app.currentListRow, col::List::SLINK};
    for (int line = 0; line < m_view.lineCount(); ++line) {
        const CellRef stream{&db.streams, m_view.rowOfLine(line), S::LLINK};
        if (member)
            link(list, stream);
        else
            unlink(list, stream);
    }
    markModified();
    requestRefresh(m_app, 5);
}

void CPageStream::rowSelected()
{
    const int row = selectedRow();
    if (row >= 0)
        chooseStream(row, ui().ctrlDown());
}

void CPageStream::chooseStream(int row, bool ctrl)
{
    selectOnlyStream(*m_app.db, row);
    m_app.currentStreamRow = row;
    if (!ctrl)
        m_app.sporadicChosen = false;
    streamChosen(row, ctrl);
    requestRefresh(m_app, 9);
    changed();
}

void CPageStream::editDate(int line, int solColumn, const char* titleFormat)
{
    if (line < 0 || line >= m_view.lineCount())
        return;
    CUTABLE& streams = m_app.db->streams;
    const int row = m_view.rowOfLine(line);
    char title[300];
    std::snprintf(title, sizeof title, titleFormat, streams.text(row, S::code));
    CDataDlg dialog(title, 0.0, streams.cell(row, solColumn)->real, true, m_app.settings.dlg_Y);
    if (!ui().runModal(dialog))
        return;
    streams.cell(row, solColumn)->real = static_cast<float>(dialog.sol());
    computeStreamMonthDays(streams, row, m_app.settings.dlg_Y);
    m_view.redrawLine(line);
    markModified();
    requestRefresh(m_app, 5);
}

void CPageStream::recomputeTypicalOrbit(int row)
{
    Database& db = *m_app.db;
    const int typical = typicalOrbitRow(db, row);
    if (typical < 0)
        return;
    CUTABLE& orbits = db.orbits;
    const std::optional<RadiantOrbit> orbit = orbitAtSol(
        orbits.cell(typical, O::sol)->real, m_app.settings.dlg_Y, orbits.cell(typical, O::ra)->real,
        orbits.cell(typical, O::dec)->real, orbits.cell(typical, O::vg)->real);
    if (orbit)
        storeElements(orbits, typical, *orbit);
}

void CPageStream::updateTypicalOrbit(int row)
{
    Database& db = *m_app.db;
    CUTABLE& streams = db.streams;
    const float vg = streams.cell(row, S::vg)->real;
    if (!(vg >= 0.01f)) {
        message("%s", kNoVelocity);
        return;
    }
    const std::optional<RadiantOrbit> orbit =
        orbitAtSol(streams.cell(row, S::solp)->real, m_app.settings.dlg_Y,
                   streams.cell(row, S::ra)->real, streams.cell(row, S::dec)->real, vg);
    if (!orbit)
        return;
    int typical = streams.cell(row, S::TypicalOID)->number != 0 ? typicalOrbitRow(db, row) : -1;
    if (typical < 0 && (typical = createTypicalOrbit(row)) < 0)
        return;
    CUTABLE& orbits = db.orbits;
    orbits.cell(typical, O::mjd)->real64 = orbit->jd - kMjdToJd;
    orbits.cell(typical, O::sol)->real = streams.cell(row, S::solp)->real;
    orbits.cell(typical, O::ra)->real = streams.cell(row, S::ra)->real;
    orbits.cell(typical, O::dec)->real = streams.cell(row, S::dec)->real;
    orbits.cell(typical, O::vg)->real = vg;
    orbits.cell(typical, O::type)->integer = 0;
    storeElements(orbits, typical, *orbit);
    for (int column : {O::r_sd, O::v_sd, O::Hb, O::He, O::zr, O::mag, O::mass})
        orbits.cell(typical, column)->real = 0.0f;
    computeOrbitDerived(orbits, typical);
    markModified();
    requestRefresh(m_app, 5);
}

int CPageStream::createTypicalOrbit(int row)
{
    Database& db = *m_app.db;
    CDSIDSDlg dialog(m_app, kNewTypicalText, true);
    if (!dialog.exec())
        return -1;
    const int file = dialog.targetOrbitFileRow();
    // A new orbit goes to disk only with a loaded file: refuse before an OID is taken.
    if (file < 0 || !db.orbitFiles.isLive(file) ||
        db.orbitFiles.cell(file, col::OrbitFile::loaded)->number == 0) {
        message("%s", kNoFileSelected);
        return -1;
    }
    const std::optional<std::uint32_t> oid = db.sources.nextId();
    if (!oid)
        return -1;
    const int typical = db.orbits.addRow();
    db.orbits.cell(typical, O::OID)->number = *oid;
    db.orbits.cell(typical, O::use)->number = 1;
    db.orbits.cell(typical, O::dline)->integer = -1;
    const std::string name = std::string("TO_") + db.streams.text(row, S::code);
    db.orbits.setText(typical, O::name, name.substr(0, 255).c_str());
    db.orbits.setInteger(typical, file, O::OFILE);
    db.streams.cell(row, S::TypicalOID)->number = *oid;
    db.streams.cell(row, S::TOIDline)->integer = typical;
    ++db.orbitCount;
    requestRefresh(m_app, 2);
    return typical;
}
