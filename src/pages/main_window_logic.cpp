// The main window's title, placement and close guard.
#include "pages/main_window_logic.h"

#include "app/app_context.h"
#include "mdb/schema.h"
#include "platform/ui.h"
#include "table/links.h"

TitleInfo COrvanDlg::titleInfo(int selectedOrbits, int listedOrbits) const
{
    TitleInfo info;
    info.mdbFolder = m_app.settings.mdbdir;
    info.selectedOrbits = selectedOrbits;
    info.listedOrbits = listedOrbits;
    const Database* db = m_app.db.get();
    if (!db)
        return info;
    info.orbitRows = db->orbitCount;
    for (int row = 0; row < db->streams.count(); ++row)
        if (db->streams.isLive(row) &&
            db->sources.isInUse(db->streams.cell(row, col::Stream::SID)->number))
            ++info.streamsInUse;
    if (isLiveRow(db->lists, m_app.currentListRow)) {
        info.listName = db->lists.text(m_app.currentListRow, col::List::name);
        for (const LinkNode& node : linksOf(db->lists, m_app.currentListRow, col::List::SLINK))
            info.streamsInList += node.resolved() ? 1 : 0;
    }
    return info;
}

std::string COrvanDlg::title(int selectedOrbits, int listedOrbits) const
{
    return windowTitle(titleInfo(selectedOrbits, listedOrbits));
}

WindowRect COrvanDlg::placement() const
{
    const Settings& s = m_app.settings;
    return {s.dlgrect_left, s.dlgrect_top, s.dlgrect_right, s.dlgrect_bottom};
}

bool COrvanDlg::opensMaximized() const { return m_app.settings.showcmd == kShowMaximized; }

bool COrvanDlg::close(const WindowRect& normalRect, bool maximized)
{
    if (m_app.db && m_app.db->modified && !ui().askOkCancel(kAbandonQuestion, kAppCaption))
        return false;
    Settings& s = m_app.settings;
    s.dlgrect_left = normalRect.left;
    s.dlgrect_top = normalRect.top;
    s.dlgrect_right = normalRect.right;
    s.dlgrect_bottom = normalRect.bottom;
    s.showcmd = maximized ? kShowMaximized : kShowNormal;
    return true;
}
