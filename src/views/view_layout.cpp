// The default layouts of the five list views.
#include "views/view_layout.h"

#include "mdb/schema.h"

namespace {

constexpr bool kOn = true;
constexpr bool kOff = false;
constexpr bool kRo = true;
constexpr bool kRw = false;

UViewColumn viewColumn(int column, bool shown, bool readOnly, int width, const char* format,
                       int doubleClick = 0)
{
    UViewColumn result;
    result.column = column;
    result.shown = shown;
    result.readOnly = readOnly;
    result.width = width;
    result.format = format;
    result.doubleClick = doubleClick;
    return result;
}

} // namespace

UViewDef defaultDataSourceView()
{
    using C = col::Dsid;
    UViewDef view{{47, 168, 2, -2}, {}, true, C::dline, C::itemdata, {}};
    view.notify.changed = 1324;
    view.notify.deleteItem = 1325;
    view.columns = {
        viewColumn(C::use, kOn, kRw, 32, "%u"),   viewColumn(C::DSID, kOn, kRo, 45, "%u"),
        viewColumn(C::code, kOn, kRw, 40, "%s"),  viewColumn(C::IDnext, kOn, kRo, 75, "%u"),
        viewColumn(C::memo, kOn, kRw, 160, "%s"),
    };
    return view;
}

UViewDef defaultStreamListView()
{
    using C = col::List;
    UViewDef view{{192, 296, 2, -2}, {}, true, C::dline, C::itemdata, {}};
    view.notify.changed = 1326;
    view.notify.rightClick = 1327;
    view.notify.deleteItem = 1328;
    view.columns = {
        viewColumn(C::LID, kOn, kRo, 75, "%u"),
        viewColumn(C::name, kOn, kRw, 110, "%s"),
        viewColumn(C::ver, kOn, kRw, 50, "%s"),
        viewColumn(C::memo, kOn, kRw, 115, "%s"),
    };
    return view;
}

UViewDef defaultOrbitFileView()
{
    using C = col::OrbitFile;
    UViewDef view{{322, -20, 2, -2}, {}, true, C::dline, C::itemdata, {}};
    view.notify.changed = 1329;
    view.notify.deleteItem = 1330;
    view.columns = {
        viewColumn(C::use, kOn, kRw, 32, "%u"),
        viewColumn(C::fileName, kOn, kRw, 130, "%s"),
        viewColumn(C::memo, kOn, kRw, 130, "%s"),
        viewColumn(C::loaded, kOn, kRo, 60, "%u"),
    };
    return view;
}

UViewDef defaultStreamView()
{
    using C = col::Stream;
    // A double click on a date or on its solar longitude posts one
    // notification per end of the activity: first, last, peak.
    constexpr int kFirst = 1354, kLast = 1355, kPeak = 1356;
    UViewDef view{{22, -46, 0, -1}, {}, true, C::valid, C::itemdata, {}};
    view.notify = {1334, 1335, 1336, 1337, 1338};
    view.columns = {
        viewColumn(C::LS, kOn, kRw, 32, "%u"),
        viewColumn(C::use, kOff, kRw, 32, "%u"),
        viewColumn(C::SID, kOff, kRo, 80, "%u"),
        viewColumn(C::code, kOn, kRw, 60, "%s"),
        viewColumn(C::name, kOff, kRw, 110, "%s"),
        viewColumn(C::SO, kOn, kRo, 38, "%d"),
        viewColumn(C::MD1, kOn, kRo, 44, "%s", kFirst),
        viewColumn(C::MD2, kOn, kRo, 44, "%s", kLast),
        viewColumn(C::MDp, kOn, kRo, 44, "%s", kPeak),
        viewColumn(C::sol1, kOff, kRw, 40, "%.1f", kFirst),
        viewColumn(C::sol2, kOff, kRw, 40, "%.1f", kLast),
        viewColumn(C::solp, kOn, kRw, 40, "%.1f", kPeak),
        viewColumn(C::ra, kOn, kRw, 40, "%.1f"),
        viewColumn(C::dec, kOn, kRw, 40, "%.1f"),
        viewColumn(C::dra, kOn, kRw, 40, "%.2f"),
        viewColumn(C::ddec, kOn, kRw, 40, "%.2f"),
        viewColumn(C::vg, kOn, kRw, 40, "%.1f"),
        viewColumn(C::type, kOff, kRw, 40, "%d"),
        viewColumn(C::R, kOn, kRw, 40, "%.1f"),
        viewColumn(C::dv, kOn, kRw, 40, "%.1f"),
        viewColumn(C::Dp, kOn, kRw, 40, "%.1f"),
        viewColumn(C::TypicalOID, kOn, kRo, 70, "%u"),
        viewColumn(C::memo, kOn, kRw, 200, "%s"),
    };
    return view;
}

UViewDef defaultOrbitView()
{
    using C = col::Orbit;
    constexpr int kDate = 1357;
    UViewDef view{{140, -24, 0, -1}, {}, true, C::dline, C::itemdata, {}};
    view.notify = {1344, 1345, 1346, 1347, kHeaderResetOnly};
    UViewColumn stream = viewColumn(C::stream, kOn, kRo, 70, "%s");
    stream.headerMenu = 1348;
    stream.headerMenuText = "Set Stream for all";
    view.columns = {
        viewColumn(C::sel, kOn, kRw, 32, "%u"),
        viewColumn(C::use, kOff, kRw, 32, "%u"),
        viewColumn(C::code, kOn, kRo, 40, "%s"),
        stream,
        viewColumn(C::OID, kOff, kRo, 80, "%u"),
        viewColumn(C::name, kOn, kRw, 110, "%s"),
        viewColumn(C::MD, kOn, kRo, 44, "%s", kDate),
        viewColumn(C::mjd, kOff, kRw, 60, "%.1f", kDate),
        viewColumn(C::sol, kOff, kRw, 40, "%.1f", kDate),
        viewColumn(C::ra, kOn, kRw, 40, "%.1f"),
        viewColumn(C::dec, kOn, kRw, 40, "%.1f"),
        viewColumn(C::vg, kOn, kRw, 40, "%.1f"),
        viewColumn(C::vs, kOn, kRw, 40, "%.1f"),
        viewColumn(C::type, kOff, kRw, 40, "%d"),
        viewColumn(C::a, kOn, kRw, 40, "%.2f"),
        viewColumn(C::q, kOn, kRw, 40, "%.2f"),
        viewColumn(C::e, kOn, kRw, 40, "%.2f"),
        viewColumn(C::peri, kOn, kRw, 40, "%.1f"),
        viewColumn(C::node, kOn, kRw, 40, "%.1f"),
        viewColumn(C::incl, kOn, kRw, 40, "%.1f"),
        viewColumn(C::M, kOff, kRw, 60, "%.1f"),
        viewColumn(C::Te, kOff, kRw, 60, "%.1f"),
        viewColumn(C::r_sd, kOn, kRw, 40, "%.2f"),
        viewColumn(C::v_sd, kOn, kRw, 40, "%.2f"),
        viewColumn(C::Hb, kOff, kRw, 40, "%.1f"),
        viewColumn(C::He, kOff, kRw, 40, "%.1f"),
        viewColumn(C::zr, kOff, kRw, 40, "%.1f"),
        viewColumn(C::mag, kOn, kRw, 40, "%.1f"),
        viewColumn(C::mass, kOff, kRw, 40, "%.1f"),
        viewColumn(C::memo, kOn, kRw, 200, "%s"),
        viewColumn(C::sR, kOn, kRo, 40, "%.1f"),
        viewColumn(C::mR, kOn, kRo, 40, "%.1f"),
    };
    return view;
}

int defaultColumnWidth(const UViewDef& view, int tableColumn)
{
    for (const UViewDef& def : {defaultDataSourceView(), defaultStreamListView(),
                                defaultOrbitFileView(), defaultStreamView(), defaultOrbitView()}) {
        if (def.notify.changed != view.notify.changed)
            continue;
        for (const UViewColumn& column : def.columns)
            if (column.column == tableColumn)
                return column.width;
    }
    return 0;
}
