#pragma once
// The application as start-up and the opening window leave it, without a window: the settings
// of the current folder's settings file, the MDB loaded, the Stream page's current list and
// the Orbit page's listing as the pages set them when they open.

#include <functional>
#include <memory>
#include <string>

#include "app/app_context.h"
#include "pages/page_orbit.h"
#include "pages/page_stream.h"

class HeadlessWindow {
public:
    HeadlessWindow() = default;
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    // False, after a line on standard error led by the command's name, when the MDB folder is
    // missing. The command's options change the settings read before the MDB is loaded.
    [[nodiscard]] bool open(const std::string& command, const std::string& mdb,
                            const std::function<void(Settings&)>& options = {});

    AppContext& app() { return m_app; }
    CPageStream& streamPage() { return *m_stream; }
    CPageOrbit& orbitPage() { return *m_orbit; }

private:
    AppContext m_app;
    std::unique_ptr<CPageStream> m_stream;
    std::unique_ptr<CPageOrbit> m_orbit;
};
