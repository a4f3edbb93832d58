// The session of the stream-list command tests.
#include "stream_list_session.h"

#include <random>

#include "mdb/schema.h"
#include "pages/dsid_select_dialog.h"
#include "table/links.h"
#include "views/edit_line_dlg.h"

int ListSession::addList(std::uint32_t lid, const char* name, const std::vector<int>& streamRows)
{
    CUTABLE& lists = db().lists;
    const int row = lists.addRow();
    lists.cell(row, col::List::LID)->number = lid;
    lists.setText(row, col::List::name, name);
    for (int stream : streamRows)
        link({&lists, row, col::List::SLINK}, {&db().streams, stream, col::Stream::LLINK});
    return row;
}

int ListSession::addStreamOf(std::uint32_t sid, const StreamValues& values)
{
    using C = col::Stream;
    const int row = addStream(sid, values.code.c_str(), 0);
    CUTABLE& streams = db().streams;
    streams.setText(row, C::name, values.name.c_str());
    const std::pair<int, float> reals[] = {
        {C::sol1, values.sol1}, {C::sol2, values.sol2}, {C::solp, values.solp}, {C::ra, values.ra},
        {C::dec, values.dec},   {C::dra, values.dra},   {C::ddec, values.ddec}, {C::vg, values.vg},
        {C::R, values.R},       {C::dv, values.dv},     {C::Dp, values.Dp}};
    for (const auto& [column, value] : reals)
        streams.cell(row, column)->real = value;
    streams.cell(row, C::type)->integer = values.type;
    streams.setText(row, C::memo, values.memo.c_str());
    streams.setInteger(row, -1, C::TOIDline);
    return row;
}

void ListSession::linkOrbit(int streamRow, int orbitRow)
{
    link({&db().streams, streamRow, col::Stream::OLINK},
         {&db().orbits, orbitRow, col::Orbit::SLINK});
}

void ListSession::chooseSource(const std::string& code)
{
    ui().answerDialog([code](DialogModel& model) {
        auto& dialog = dynamic_cast<CDSIDSDlg&>(model);
        for (std::size_t item = 0; item < dialog.dsidItems().size(); ++item)
            if (dialog.dsidItems()[item].text == code)
                dialog.selectDsid(static_cast<int>(item));
        return true;
    });
}

void ListSession::acceptEditor()
{
    ui().answerDialog(
        [](DialogModel& model) { return dynamic_cast<CEditLineDlg&>(model).accept(); });
}

std::vector<std::string> ListSession::codesOf(int listRow)
{
    std::vector<std::string> codes;
    for (const LinkNode& node : linksOf(db().lists, listRow, col::List::SLINK))
        codes.push_back(db().streams.text(node.partnerCell.row, col::Stream::code));
    return codes;
}

std::uint32_t ListSession::idNextOf(std::uint32_t dsid)
{
    for (int row = 0; row < db().dsids.count(); ++row)
        if (db().dsids.isLive(row) && db().dsids.cell(row, col::Dsid::DSID)->number == dsid)
            return db().dsids.cell(row, col::Dsid::IDnext)->number;
    return 0;
}

int ListSession::listRowNamed(const std::string& name)
{
    for (int row = 0; row < db().lists.count(); ++row)
        if (db().lists.isLive(row) && name == db().lists.text(row, col::List::name))
            return row;
    return -1;
}

int ListSession::liveLists() { return liveRowCount(db().lists); }
int ListSession::liveStreams() { return liveRowCount(db().streams); }

bool ListSession::linksEndAtLiveRows()
{
    const std::pair<CUTABLE*, int> cells[] = {{&db().lists, col::List::SLINK},
                                              {&db().streams, col::Stream::LLINK},
                                              {&db().streams, col::Stream::OLINK},
                                              {&db().orbits, col::Orbit::SLINK}};
    for (const auto& [table, column] : cells)
        for (int row = 0; row < table->count(); ++row) {
            if (!table->isLive(row)) {
                if (table->cellForWriting(row, column)->links != nullptr)
                    return false;
                continue;
            }
            for (const LinkNode& node : linksOf(*table, row, column))
                if (node.resolved() && !node.partnerCell.table->isLive(node.partnerCell.row))
                    return false;
        }
    return true;
}

std::vector<StreamValues> randomStreams(unsigned seed, int count)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> sol(0, 359.9f), ra(0, 359.9f), dec(-89, 89), drift(-2, 2),
        vg(11, 72), radius(0, 9), dprime(0, 0.3f);
    std::vector<StreamValues> streams;
    for (int i = 0; i < count; ++i) {
        StreamValues values;
        values.code = "WK_" + std::to_string(i);
        values.name = i % 3 ? "Stream " + std::to_string(i) : "";
        values.sol1 = sol(random);
        values.sol2 = sol(random);
        values.solp = sol(random);
        values.ra = ra(random);
        values.dec = dec(random);
        values.dra = drift(random);
        values.ddec = drift(random);
        values.vg = vg(random);
        values.type = i % 2;
        values.R = radius(random);
        values.dv = radius(random);
        values.Dp = dprime(random);
        values.memo = i % 2 ? "memo " + std::to_string(i) : "";
        streams.push_back(values);
    }
    return streams;
}
