#pragma once
// The calls between pages that no refresh type carries: a stream chosen on
// the Stream page, stream links changed on the Orbit page, the Orbit page's
// selected line as the orbit map's highlight, and the sky map's
// "--> Reference". The main window links its pages once; tests link them
// without a window.

#include <functional>

class CPageOrbit;
class CPageSMap;
class CPageStream;
class MapInputsCache;

struct LinkedPages {
    CPageStream& stream;
    CPageOrbit& orbit;
    MapInputsCache& mapInputs;
    CPageSMap& skyMap;
};

// orbitMapHighlightMoved shows the orbit map's new highlight on the picture
// last drawn (CPageOMap::highlightChanged on the canvas the window holds).
void linkPages(const LinkedPages& pages, std::function<void()> orbitMapHighlightMoved);
