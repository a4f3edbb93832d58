// Linking the pages' hooks to the pages they act on.
#include "app/page_links.h"

#include "maps/page_smap.h"
#include "orbits/page_orbit.h"
#include "streams/page_stream.h"

void linkPages(const LinkedPages& pages, std::function<void()> orbitMapHighlightMoved)
{
    CPageOrbit& orbit = pages.orbit;
    CPageStream& stream = pages.stream;
    stream.streamChosen = [&orbit](int streamRow, bool ctrl) { orbit.showStream(streamRow, ctrl); };
    orbit.streamLinksChanged = [&stream] { stream.fillCombo(); };
    pages.mapInputs.setHighlightSource([&orbit] { return orbit.selectedOrbitRow(); });
    orbit.selectedLineChanged = std::move(orbitMapHighlightMoved);
    pages.skyMap.setReferenceHook([&orbit](int orbitRow) { orbit.selectAsReference(orbitRow); });
}
