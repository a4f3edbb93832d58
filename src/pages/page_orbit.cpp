// The Orbit page's controls and commands.
#include "pages/page_orbit.h"

#include <algorithm>
#include <cstdio>

#include "app/app_context.h"
#include "app/app_refresh.h"
#include "app/engine_params.h"
#include "astro/calendar.h"
#include "astro/frames.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "orbits/orbit_selection.h"
#include "pages/dsid_select_dialog.h"
#include "pages/orbit_edits.h"
#include "pages/orbit_export_commands.h"
#include "pages/reference_orbit.h"
#include "pages/stream_choice.h"
#include "platform/ui.h"

namespace {

using O = col::Orbit;

constexpr int kNotListed = -1;
constexpr int kCodeLength = 4;
constexpr int kCodeDigits = 36;
constexpr double kApexOffset = 90.0;
constexpr double kAntiSolarOffset = 180.0;
constexpr int kFirstConditionId = 1200;

// Refresh types the page requests.
constexpr int kDateChanged = 1;
constexpr int kIdsHandedOut = 2;
constexpr int kStreamsChanged = 5;
constexpr int kLinksChanged = 6;
constexpr int kSelectionChanged = 7;
constexpr int kStarMapCentred = 8;

UDEditDef floatEdit(float* variable, float minimum, float maximum, UDLimit limit)
{
    UDEditDef def;
    def.kind = 0;
    def.editWidth = 40;
    def.variable = variable;
    def.minimum = minimum;
    def.maximum = maximum;
    def.limit = limit;
    return def;
}

UDEditDef intEdit(int* variable, float minimum, float maximum)
{
    UDEditDef def;
    def.kind = kUDKindInteger;
    def.editWidth = 40;
    def.variable = variable;
    def.minimum = minimum;
    def.maximum = maximum;
    def.limit = UDLimit::Clamp;
    return def;
}

// A base-36 digit of the cell code; anything else is limited to 0-35.
int codeDigit(char c)
{
    int value = c - '0';
    if (c >= 'a' && c <= 'z')
        value = c - 'a' + 10;
    return std::clamp(value, 0, kCodeDigits - 1);
}

} // namespace

const std::vector<std::pair<CPageOrbit::MenuItem, const char*>>& CPageOrbit::menu()
{
    static const std::vector<std::pair<MenuItem, const char*>> items = {
        {MenuItem::ToReference, "--> Reference"},
        {MenuItem::CenterStarMap, "--> Center Starmap"},
        {MenuItem::EditOrbit, "Edit this Orbit"},
        {MenuItem::ChangeStream, "Change Stream"},
        {MenuItem::DeleteOrbit, "Delete this Orbit"},
    };
    return items;
}

CPageOrbit::CPageOrbit(AppContext& app)
    : m_app(app), m_list(*this, app.views.orbits, app.db->orbits)
{
    buildDateFields();
    buildConditions();
}

void CPageOrbit::buildDateFields()
{
    const float limits[3][2] = {{kFirstTableYear, kLastTableYear}, {1, 12}, {1, 31}};
    for (int field = Year; field <= Day; ++field)
        m_dateFields.emplace_back(
            intEdit(&m_date[static_cast<std::size_t>(field)], limits[field][0], limits[field][1]));
}

void CPageOrbit::buildConditions()
{
    Settings& s = m_app.settings;
    struct Row {
        const char* label;
        int* flag;
        UDEditDef reference;
        std::optional<UDEditDef> halfWidth;
    };
    const Row rows[kConditions] = {
        {"ra", &s.po_rC, floatEdit(&s.po_r1, 0, 360, UDLimit::Wrap),
         floatEdit(&s.po_r2, 0, 180, UDLimit::Clamp)},
        {"dec", &s.po_dC, floatEdit(&s.po_d1, -90, 90, UDLimit::Clamp),
         floatEdit(&s.po_d2, 0, 180, UDLimit::Clamp)},
        {"vg", &s.po_vC, floatEdit(&s.po_v1, 0, 100, UDLimit::Clamp),
         floatEdit(&s.po_v2, 0, 100, UDLimit::Clamp)},
        {"a", &s.po_aC, floatEdit(&s.po_a1, -1000, 1000, UDLimit::None),
         floatEdit(&s.po_a2, 0, 1000, UDLimit::Clamp)},
        {"q", &s.po_qC, floatEdit(&s.po_q1, 0, 100, UDLimit::Clamp),
         floatEdit(&s.po_q2, 0, 100, UDLimit::Clamp)},
        {"e", &s.po_eC, floatEdit(&s.po_e1, 0, 100, UDLimit::Clamp),
         floatEdit(&s.po_e2, 0, 100, UDLimit::Clamp)},
        {"peri", &s.po_pC, floatEdit(&s.po_p1, 0, 360, UDLimit::Wrap),
         floatEdit(&s.po_p2, 0, 180, UDLimit::Clamp)},
        {"node", &s.po_nC, floatEdit(&s.po_n1, 0, 360, UDLimit::Wrap),
         floatEdit(&s.po_n2, 0, 180, UDLimit::Clamp)},
        {"incl", &s.po_iC, floatEdit(&s.po_i1, 0, 180, UDLimit::Clamp),
         floatEdit(&s.po_i2, 0, 180, UDLimit::Clamp)},
        {"R", &s.po_RC, floatEdit(&s.po_R, 0, 180, UDLimit::Clamp), std::nullopt},
        {"D'", &s.po_DC, floatEdit(&s.po_D, 0, 10, UDLimit::Clamp), std::nullopt},
        {"days", &s.po_daysC, intEdit(&s.po_days, 0, 366), std::nullopt},
    };
    for (int i = 0; i < kConditions; ++i) {
        UDCheckDef def;
        def.label = rows[i].label;
        def.id = kFirstConditionId + 3 * i;
        def.flag = rows[i].flag;
        def.first = rows[i].reference;
        def.first.id = def.id + 1;
        def.second = rows[i].halfWidth;
        if (def.second)
            def.second->id = def.id + 2;
        m_conditions.emplace_back(def);
    }
}

void CPageOrbit::initialise()
{
    const Settings& s = m_app.settings;
    m_app.selection.currentSol = SolarLongitude(DateToJD(s.dlg_Y, s.dlg_M, s.dlg_D, 12, 0, 0));
    recomputeDateValues();
    rebuildView();
    requestRefresh(kSelectionChanged);
    changed();
}

std::string CPageOrbit::solDisplay() const
{
    char text[32];
    std::snprintf(text, sizeof text, "(%.1f)", m_app.selection.currentSol);
    return text;
}

std::string CPageOrbit::cellCode() const
{
    const Settings& s = m_app.settings;
    return positionCode(static_cast<float>(m_app.selection.currentSol), s.po_r1, s.po_d1, s.po_v1);
}

bool CPageOrbit::streamCondition() const { return m_app.settings.po_selstream != 0; }
bool CPageOrbit::allYears() const { return m_app.settings.po_allyC != 0; }
bool CPageOrbit::selOnly() const { return m_app.settings.po_selonly != 0; }
bool CPageOrbit::useOnly() const { return m_app.settings.po_useonly != 0; }
int CPageOrbit::selectedCount() const { return m_app.selection.selected; }
int CPageOrbit::selectedOrbitRow() const { return rowOfLine(m_list.selectedLine()); }

void CPageOrbit::recomputeDateValues()
{
    const Settings& s = m_app.settings;
    m_date = {s.dlg_Y, s.dlg_M, s.dlg_D};
    EclipticPointToEquatorial(s.dlg_Y, s.dlg_M, s.dlg_D, kApexOffset, m_apex[0], m_apex[1]);
    EclipticPointToEquatorial(s.dlg_Y, s.dlg_M, s.dlg_D, kAntiSolarOffset, m_antiSolar[0],
                              m_antiSolar[1]);
}

void CPageOrbit::assignLines(bool selFilter)
{
    Database& db = *m_app.db;
    const Settings& s = m_app.settings;
    CUTABLE& orbits = db.orbits;
    for (int row = 0; row < orbits.count(); ++row) {
        if (!orbits.isLive(row))
            continue;
        const bool shown = (!selFilter || !s.po_selonly || orbits.cell(row, O::sel)->number != 0) &&
                           (!s.po_useonly || orbits.cell(row, O::use)->number != 0) &&
                           db.sources.isInUse(orbits.cell(row, O::OID)->number);
        orbits.setInteger(row, shown ? 0 : kNotListed, O::dline);
    }
    m_list.build(O::dline, kNotListed);
    m_app.selection.listed = m_list.lineCount();
}

void CPageOrbit::rebuildView()
{
    const int focusedRow = rowOfLine(m_list.selectedLine());
    // Lines first without the "sel" filter, so that an orbit hidden by the
    // filter may be selected again when a condition was widened.
    assignLines(false);
    SelectOrbits(*m_app.db, selectionConditionsOf(m_app.settings), m_app.sporadicChosen,
                 m_app.selection);
    assignLines(true);
    if (focusedRow >= 0 && m_app.db->orbits.isLive(focusedRow))
        m_list.selectLine(m_app.db->orbits.integer(focusedRow, O::dline));
    changed();
}

void CPageOrbit::selectLine(int line)
{
    m_list.selectLine(line);
    selectedLineChanged();
}

bool CPageOrbit::isSelColumn(int listColumn) const
{
    if (listColumn < 0 || listColumn >= m_list.listColumnCount())
        return false;
    const int layoutColumn = m_list.layoutColumnOf(listColumn);
    return m_list.layout().columns[static_cast<std::size_t>(layoutColumn)].column == O::sel;
}

int CPageOrbit::rowOfLine(int line) const
{
    return line >= 0 && line < m_list.lineCount() ? m_list.rowOfLine(line) : -1;
}

void CPageOrbit::requestRefresh(int changeType)
{
    m_requesting = true;
    ::requestRefresh(m_app, changeType);
    m_requesting = false;
}

void CPageOrbit::refreshRebuildView()
{
    if (!m_requesting)
        rebuildView();
}

void CPageOrbit::refreshDateValues()
{
    if (m_requesting)
        return;
    recomputeDateValues();
    changed();
}

void CPageOrbit::refreshRedrawListedRows()
{
    if (!m_requesting)
        m_list.redrawAllLines();
}

// The reference, SC or the date moved: displays, selection, other pages.
void CPageOrbit::referenceMoved(int changeType)
{
    recomputeDateValues();
    rebuildView();
    requestRefresh(changeType);
}

// A change of the tables: marked modified, the other pages follow.
void CPageOrbit::dataChanged()
{
    rebuildView();
    requestRefresh(kLinksChanged);
}

void CPageOrbit::dateEdited(DateField field, const std::string& text)
{
    if (m_dateFields[field].readText(text))
        dateSpun(field, 0);
}

void CPageOrbit::dateSpun(DateField field, int direction)
{
    if (direction > 0)
        m_dateFields[field].spinUp();
    else if (direction < 0)
        m_dateFields[field].spinDown();
    Settings& s = m_app.settings;
    if (m_date[Year] < kFirstTableYear || m_date[Year] > kLastTableYear || m_date[Month] < 1 ||
        m_date[Month] > 12 || m_date[Day] < 1) {
        m_date = {s.dlg_Y, s.dlg_M, s.dlg_D};
        changed();
        return;
    }
    s.dlg_Y = m_date[Year];
    s.dlg_M = m_date[Month];
    s.dlg_D = std::min(m_date[Day], DaysInMonth(s.dlg_Y, s.dlg_M));
    m_app.selection.currentSol = SolarLongitude(DateToJD(s.dlg_Y, s.dlg_M, s.dlg_D, 12, 0, 0));
    referenceMoved(kDateChanged);
}

void CPageOrbit::conditionChanged()
{
    rebuildView();
    requestRefresh(kSelectionChanged);
}

void CPageOrbit::setStreamCondition(bool on)
{
    m_app.settings.po_selstream = on ? 1 : 0;
    conditionChanged();
}

void CPageOrbit::setAllYears(bool on)
{
    m_app.settings.po_allyC = on ? 1 : 0;
    conditionChanged();
}

void CPageOrbit::setSelOnly(bool on)
{
    m_app.settings.po_selonly = on ? 1 : 0;
    conditionChanged();
}

void CPageOrbit::setUseOnly(bool on)
{
    m_app.settings.po_useonly = on ? 1 : 0;
    conditionChanged();
}

void CPageOrbit::typeCellCode(const std::string& text)
{
    if (text.size() < kCodeLength)
        return;
    Settings& s = m_app.settings;
    m_app.selection.currentSol = 10.0 * codeDigit(text[0]);
    s.po_r1 = 10.0f * static_cast<float>(codeDigit(text[1]));
    s.po_d1 = 90.0f - 5.0f * static_cast<float>(codeDigit(text[2]));
    s.po_v1 = 2.0f * static_cast<float>(codeDigit(text[3]));
    setPageMonthDayFromSol(s, static_cast<float>(m_app.selection.currentSol));
    referenceMoved(kSelectionChanged);
}

void CPageOrbit::averagesToReference()
{
    if (::averagesToReference(m_app))
        referenceMoved(kDateChanged);
}

void CPageOrbit::streamToReference()
{
    const std::optional<int> stream = chooseStream(m_app);
    if (!stream) {
        conditionChanged();
        return;
    }
    ::streamToReference(m_app, *stream);
    referenceMoved(kDateChanged);
}

void CPageOrbit::referenceToNewStream()
{
    if (!::referenceToNewStream(m_app))
        return;
    requestRefresh(kIdsHandedOut);
    rebuildView();
    requestRefresh(kStreamsChanged);
}

void CPageOrbit::referenceToStream()
{
    if (m_app.selection.averages.totalWeight <= 0.0)
        return;
    const std::optional<int> stream = chooseStream(m_app);
    if (!stream || !::referenceToStream(m_app, *stream))
        return;
    requestRefresh(kIdsHandedOut);
    rebuildView();
    requestRefresh(kStreamsChanged);
}

void CPageOrbit::averagesToOrbit()
{
    if (!averagesToNewOrbit(m_app))
        return;
    requestRefresh(kIdsHandedOut);
    dataChanged();
}

void CPageOrbit::exportSelection() { exportSelectedOrbits(m_app); }

void CPageOrbit::countByStream() { exportStreamCount(m_app); }

void CPageOrbit::clustering()
{
    const Database& db = *m_app.db;
    const int list = m_app.currentListRow;
    if (!isLiveRow(db.lists, list)) {
        message("%s", kNoStreamList);
        return;
    }
    CDSIDSDlg dialog(m_app, kClusteringQuestion, false);
    if (dialog.exec())
        runClusteringDialog();
}

void CPageOrbit::menuCommand(MenuItem item, int line)
{
    const int row = rowOfLine(line);
    if (row < 0)
        return;
    switch (item) {
    case MenuItem::ToReference:
        orbitToReference(m_app, row);
        referenceMoved(kDateChanged);
        break;
    case MenuItem::CenterStarMap:
        m_app.settings.sm_ra = m_app.db->orbits.cell(row, O::ra)->real;
        m_app.settings.sm_dec = m_app.db->orbits.cell(row, O::dec)->real;
        requestRefresh(kStarMapCentred);
        break;
    case MenuItem::EditOrbit:
        // OK comes back as the list's change notification.
        m_list.editRecord(line, true);
        break;
    case MenuItem::ChangeStream:
        if (changeOrbitStreams(m_app, row)) {
            m_list.redrawLine(line);
            streamLinksChanged();
            requestRefresh(kSelectionChanged);
        }
        break;
    case MenuItem::DeleteOrbit:
        deleteOrbitRow(row);
        break;
    }
}

void CPageOrbit::selectAsReference(int orbitRow)
{
    const CUTABLE& orbits = m_app.db->orbits;
    if (!isLiveRow(orbits, orbitRow))
        return;
    const int line = orbits.integer(orbitRow, O::dline);
    if (rowOfLine(line) != orbitRow)
        return;
    selectLine(line);
    menuCommand(MenuItem::ToReference, line);
}

void CPageOrbit::orbitEdited(int line)
{
    const int row = rowOfLine(line);
    if (row < 0)
        return;
    computeOrbitDerived(m_app.db->orbits, row);
    dataChanged();
}

void CPageOrbit::deleteOrbitRow(int row)
{
    // The list is rebuilt either way, so that no line shows a deleted row.
    if (deleteOrbit(m_app, row))
        dataChanged();
}

void CPageOrbit::changeStreamForAll()
{
    const std::optional<int> stream = chooseStream(m_app);
    if (!stream)
        return;
    Database& db = *m_app.db;
    if (*stream < 0 || *stream >= db.streams.count())
        fatal("changeStreamAll: panic");
    std::vector<int> rows;
    for (int line = 0; line < m_list.lineCount(); ++line) {
        const int row = m_list.rowOfLine(line);
        if ((db.orbits.cell(row, O::sel)->number & 5) != 0)
            rows.push_back(row);
    }
    moveOrbitsToStream(db, rows, *stream);
    rebuildView();
    streamLinksChanged();
    requestRefresh(kLinksChanged);
}

void CPageOrbit::presetStreamCondition()
{
    for (CUDCheck& condition : m_conditions)
        condition.click(false);
    m_app.settings.po_selstream = 1;
    changed();
}

void CPageOrbit::presetDateCondition()
{
    for (CUDCheck& condition : m_conditions)
        condition.click(false);
    m_conditions[Days].click(true);
    m_app.settings.po_selstream = 0;
    changed();
}

void CPageOrbit::showStream(int streamRow, bool ctrl)
{
    selectLine(-1);
    if (!ctrl)
        presetDateCondition();
    ::streamToReference(m_app, streamRow);
    if (ctrl)
        presetStreamCondition();
    recomputeDateValues();
    rebuildView();
}

void CPageOrbit::notify(int code, int wParam, int lParam)
{
    switch (code) {
    case kOrbitEdited:
        if (isSelColumn(wParam))
            conditionChanged(); // a sel mark: not saved, only the selection changes
        else
            orbitEdited(lParam);
        break;
    case kOrbitClicked:
        selectedLineChanged();
        break;
    case kOrbitMenu:
        // The right click selected the line under it.
        selectedLineChanged();
        menuRequested(lParam);
        break;
    case kOrbitDelete:
        deleteOrbitRow(wParam);
        break;
    case kStreamForAll:
        changeStreamForAll();
        break;
    case kDateEdit:
        if (changeSolMjd(m_app, rowOfLine(lParam)))
            dataChanged();
        break;
    default:
        break;
    }
}
