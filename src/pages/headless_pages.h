#pragma once
// The Stream and Orbit pages over an application without a window, opened as the window opens
// them, and the user's Ctrl-click on a stream of the Stream page.

#include <memory>
#include <string>

#include "pages/page_orbit.h"
#include "pages/page_stream.h"

struct AppContext;

class HeadlessPages {
public:
    // The application's settings and database are in place: the Stream page's list (the
    // settings' one) is current before the Orbit page runs the selection of the settings'
    // conditions, and a stream chosen on the Stream page is shown by the Orbit page.
    explicit HeadlessPages(AppContext& app);
    HeadlessPages(const HeadlessPages&) = delete;
    HeadlessPages& operator=(const HeadlessPages&) = delete;

    CPageStream& streamPage() { return *m_stream; }
    CPageOrbit& orbitPage() { return *m_orbit; }

    // The list in use of this name chosen on the Stream page; false when there is none.
    bool chooseList(const std::string& name);
    // A Ctrl-click on the first line of the Stream page that shows the code: the stream is the
    // reference, its date the page's, and its orbits the selection. False when no line shows
    // it.
    bool ctrlClickStream(const std::string& code);

private:
    AppContext& m_app;
    std::unique_ptr<CPageStream> m_stream;
    std::unique_ptr<CPageOrbit> m_orbit;
};
