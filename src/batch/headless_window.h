#pragma once
// The application as start-up and the opening window leave it, without a window: the settings
// of the current folder's settings file, the MDB loaded, the Stream page's current list and
// the Orbit page's listing as the pages set them when they open.

#include <functional>
#include <optional>
#include <string>

#include "app/app_context.h"
#include "pages/headless_pages.h"

class HeadlessWindow {
public:
    HeadlessWindow() = default;
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    // False, after lines on standard error led by the command's name, when the MDB cannot be
    // loaded for that access (see loadMdb). The command's options change the settings read
    // before the MDB is loaded.
    [[nodiscard]] bool open(const std::string& command, const std::string& mdb, MdbAccess access,
                            const std::function<void(Settings&)>& options = {});

    AppContext& app() { return m_app; }
    HeadlessPages& pages() { return *m_pages; }
    CPageStream& streamPage() { return m_pages->streamPage(); }
    CPageOrbit& orbitPage() { return m_pages->orbitPage(); }

private:
    AppContext m_app;
    std::optional<HeadlessPages> m_pages;
};
