// What each control does, in a sentence, for the pages' tooltips.
#include "gui/tool_tips.h"

#include <QAbstractButton>
#include <QWidget>
#include <map>
#include <utility>

namespace {

using Key = std::pair<QString, QString>; // page kind ("" any), control text

const std::map<Key, QString>& tips()
{
    static const std::map<Key, QString> table = {
        // Set Up
        {{"setup", "..."}, "Choose the MDB folder (File > Open MDB Folder, Ctrl+O)"},
        {{"setup", "create new DSID"}, "Add a data source ID and make it current"},
        {{"setup", "Save Tables"},
         "Write every table to the MDB folder (File > Save Tables, Ctrl+S)"},
        {{"setup", "BackUp"}, "Write every table into a backup folder (File > BackUp)"},
        {{"setup", "BW"}, "Draw the maps in black and white"},
        {{"setup", "create new List"}, "Add an empty stream list of the current data source"},
        {{"setup", "import list"},
         "Import a stream list: ULE_*.csv, a fixed-width *.txt list or an IAU MDC .psv list"},
        {{"setup", "create new orbit file"}, "Add an empty orbit file to MDB/orbits"},
        {{"setup", "import orbit file"},
         "Import an external orbit file: choose the file, its data source and the target file; "
         "Cancel during the conversion leaves the database as it was"},
        {{"setup", "reload"}, "Load the orbit files again after their rows were edited"},
        // Stream
        {{"stream", "new stream"}, "Add a stream (not put into the current list)"},
        {{"stream", "delete all"}, "Delete every stream of the current list"},
        {{"stream", "export"}, "Write the current list's streams to a ULE_*.csv file"},
        {{"stream", "R-vg grouping"},
         "Link each orbit to the nearest stream of the list whose drifting radiant and velocity "
         "window it fits; writes StramCnt.csv (Analysis > R-vg Grouping, Ctrl+G)"},
        {{"stream", "D' grouping"},
         "Link orbits to the list's streams whose typical orbit is within D' (Analysis > D' "
         "Grouping)"},
        {{"stream", "erase\ngrouping"}, "Remove every link between orbits and the list's streams"},
        {{"stream", "D' && R"}, "D' grouping also requires the radiant test"},
        {{"stream", "exclusive"}, "Each orbit is linked to one stream only, the nearest"},
        {{"stream", "pri"}, "Link to the first qualifying stream in list order, not the nearest"},
        {{"stream", "R*(%)"}, "Scale of every stream's radiant radius R, percent"},
        {{"stream", "dv*(%)"}, "Scale of every stream's velocity window dv, percent"},
        {{"stream", "D'*(%)"}, "Scale of every stream's D' limit, percent"},
        // Orbit
        {{"orbit", ""}, "Stream condition: only orbits of the chosen streams are selected"},
        {{"orbit", "stream"}, "Take a stream's radiant and typical orbit as the reference"},
        {{"orbit", "..."},
         "Choose the streams (and \"Spo\", the sporadic orbits) of the stream condition; OK "
         "switches the condition on"},
        {{"orbit", "avr->ref"}, "Make the averages of the selection the reference (Ctrl+R)"},
        {{"orbit", "avr->orbit"}, "Store the averages as a new orbit"},
        {{"orbit", "ref->new stream"},
         "Make a new stream of the current list, with its typical orbit, from the reference"},
        {{"orbit", "ref->stream"}, "Overwrite a chosen stream from the reference and averages"},
        {{"orbit", "clustering"},
         "Cluster the listed orbits into new streams of the current list (Ctrl+K)"},
        {{"orbit", "all Y"}, "The date condition holds in every year (by sol)"},
        {{"orbit", "sel"}, "List only the selected orbits"},
        {{"orbit", "use"}, "List only the orbits in use"},
        {{"orbit", "export"}, "Write the selected orbits to O_select.csv"},
        {{"orbit", "count"}, "Write the selected orbits per degree of sol and stream"},
        {{"orbit", "SC"},
         "Cell code: sol/10, ra/10, (90-dec)/5 and vg/2 as base-36 digits; typing one moves the "
         "reference"},
        // Maps
        {{"", "Save Map"}, "Write the map as shown to a PNG or BMP file (Ctrl+M)"},
        {{"", "save"}, "Write the map as shown to a PNG or BMP file (Ctrl+M)"},
        {{"field", "ra"}, "Right ascension of the map centre, degrees"},
        {{"field", "dec"}, "Declination of the map centre, degrees"},
        {{"field", "elg"}, "Longitude of the map centre, degrees"},
        {{"field", "elt"}, "Latitude of the map centre, degrees"},
        {{"field", "rot"}, "Rotation of the map, degrees"},
        {{"field", "scl"}, "Scale of the map"},
        {{"field", "scale"}, "Scale of the map"},
        {{"field", "mag"}, "Faintest star magnitude drawn"},
        {{"field", "clr"}, "Colour offset: shifts the velocity colour scale"},
        {{"field", "mk"}, "Size of the radiant markers"},
        {{"field", "max lines"}, "Most orbits drawn"},
        {{"", "ax"}, "Draw the axes"},
        {{"", "axis"}, "Draw the axes"},
        {{"", "ap"}, "Mark the apex"},
        {{"", "s"}, "Draw the stars"},
        {{"", "star"}, "Draw the stars"},
        {{"", "avr"}, "Draw the average of the selection"},
        {{"", "txt"}, "Write the texts"},
        {{"", "ob"}, "Draw the selected orbits' radiants"},
        {{"", "ob-"}, "Draw every orbit's radiant"},
        {{"", "st"}, "Draw the current list's streams"},
        {{"", "st-"}, "Draw every stream"},
        {{"", "stp"}, "Draw the streams' radiants at their peak"},
        {{"", "strm"}, "Draw the streams"},
        {{"", "clr"}, "Colour the radiants by velocity"},
        {{"", "R"}, "Equatorial frame"},
        {{"", "L"}, "Ecliptic frame"},
        {{"", "L-Ls"}, "Ecliptic frame relative to the Sun"},
        {{"", "Vg"}, "Colour by geocentric velocity"},
        {{"", "Vs"}, "Colour by heliocentric velocity"},
        {{"", "tv"}, "Top view"},
        {{"", "sv"}, "Side view"},
        {{"", "mv"}, "The remembered view"},
        {{"", ">m"}, "Remember this view"},
    };
    return table;
}

} // namespace

QString toolTipFor(const QString& page, const QString& controlText)
{
    for (const QString& kind : {page, QString()}) {
        const auto found = tips().find({kind, controlText});
        if (found != tips().end())
            return found->second;
    }
    return {};
}

void applyToolTips(QWidget* page, const QString& pageKind)
{
    for (QAbstractButton* button : page->findChildren<QAbstractButton*>()) {
        const QString tip = toolTipFor(pageKind, button->text());
        if (!tip.isEmpty() && button->toolTip().isEmpty())
            button->setToolTip(tip);
    }
}
