// Linking the pages' hooks to the pages they act on.
#include "pages/page_links.h"

#include "pages/page_orbit.h"
#include "pages/page_smap.h"
#include "pages/page_stream.h"

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
