// The DSID select dialog's choices and what a choice changes.
#include "pages/dsid_select_dialog.h"

#include <utility>

#include "app/app_context.h"
#include "mdb/schema.h"

namespace {

bool isItem(const std::vector<CDSIDSDlg::Item>& items, int item)
{
    return item >= 0 && item < static_cast<int>(items.size());
}

} // namespace

CDSIDSDlg::CDSIDSDlg(AppContext& app, std::string messageText, bool chooseOrbitFile)
    : m_app(app), m_message(std::move(messageText)), m_chooseOrbitFile(chooseOrbitFile)
{
}

bool CDSIDSDlg::open()
{
    if (!openDsidChoice()) {
        message("%s", kNoValidDsid);
        return false;
    }
    if (m_chooseOrbitFile && !openOrbitFileChoice()) {
        message("%s", kNoOrbitFile);
        return false;
    }
    return true;
}

bool CDSIDSDlg::exec() { return open() && ui().runModal(*this) && ok(); }

bool CDSIDSDlg::ok()
{
    ImportFilters filters;
    for (std::size_t field = 0; field < kImportFilterNames.size(); ++field) {
        const ImportFilterName& name = kImportFilterNames[field];
        if (!setImportFilter(filters, name.filter, filterTexts[field])) {
            message(kBadFilterFormat, name.label);
            return false;
        }
    }
    m_filters = filters;
    return true;
}

bool CDSIDSDlg::openDsidChoice()
{
    using C = col::Dsid;
    const CUTABLE& dsids = m_app.db->dsids;
    const int currentRow = m_app.db->sources.currentRow();
    m_dsidItems.clear();
    m_dsidSelection = -1;
    for (int row = 0; row < dsids.count(); ++row) {
        if (!dsids.isLive(row) || dsids.cell(row, C::use)->number != 1)
            continue;
        if (row == currentRow)
            m_dsidSelection = static_cast<int>(m_dsidItems.size());
        m_dsidItems.push_back({dsids.text(row, C::code), row});
    }
    if (m_dsidItems.empty())
        return false;
    if (m_dsidSelection < 0)
        makeDsidCurrent(static_cast<int>(m_dsidItems.size()) - 1);
    return true;
}

bool CDSIDSDlg::openOrbitFileChoice()
{
    using C = col::OrbitFile;
    const CUTABLE& files = m_app.db->orbitFiles;
    m_orbitFileItems.clear();
    m_orbitFileSelection = -1;
    for (int row = 0; row < files.count(); ++row) {
        if (!files.isLive(row) || files.cell(row, C::use)->number == 0)
            continue;
        const char* name = files.text(row, C::fileName);
        if (m_orbitFileSelection < 0 && m_app.settings.newofname == name)
            m_orbitFileSelection = static_cast<int>(m_orbitFileItems.size());
        m_orbitFileItems.push_back({name, row});
    }
    if (m_orbitFileItems.empty())
        return false;
    if (m_orbitFileSelection < 0)
        m_orbitFileSelection = static_cast<int>(m_orbitFileItems.size()) - 1;
    m_targetOrbitFileRow = m_orbitFileItems[m_orbitFileSelection].row;
    return true;
}

void CDSIDSDlg::makeDsidCurrent(int item)
{
    m_dsidSelection = item;
    m_app.db->sources.makeCurrent(m_dsidItems[item].row);
    m_app.settings.st_dsid = static_cast<int>(m_app.db->sources.currentDsid());
}

void CDSIDSDlg::selectDsid(int item)
{
    if (isItem(m_dsidItems, item))
        makeDsidCurrent(item);
}

void CDSIDSDlg::selectOrbitFile(int item)
{
    if (!isItem(m_orbitFileItems, item))
        return;
    m_orbitFileSelection = item;
    m_targetOrbitFileRow = m_orbitFileItems[item].row;
    m_app.settings.newofname = m_orbitFileItems[item].text;
}
