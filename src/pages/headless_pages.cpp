// The pages without a window.
#include "pages/headless_pages.h"

#include "app/app_context.h"
#include "mdb/schema.h"

namespace {

// The row of the first line of the Stream page that shows the code; -1 when none does.
int streamRowOfCode(const CUTABLE& streams, const std::string& code)
{
    int found = -1;
    int foundLine = 0;
    for (int row = 0; row < streams.count(); ++row) {
        if (!streams.isLive(row) || code != streams.text(row, col::Stream::code))
            continue;
        const int line = streams.integer(row, col::Stream::valid);
        if (line >= 0 && (found < 0 || line < foundLine)) {
            found = row;
            foundLine = line;
        }
    }
    return found;
}

} // namespace

HeadlessPages::HeadlessPages(AppContext& app)
    : m_app(app), m_stream(std::make_unique<CPageStream>(app)),
      m_orbit(std::make_unique<CPageOrbit>(app))
{
    m_stream->initialise();
    m_orbit->initialise();
    m_stream->streamChosen = [this](int row, bool ctrl) { m_orbit->showStream(row, ctrl); };
}

bool HeadlessPages::chooseList(const std::string& name)
{
    const std::vector<CPageStream::ListItem>& items = m_stream->listItems();
    for (std::size_t item = 0; item < items.size(); ++item)
        if (items[item].name == name) {
            m_stream->chooseList(static_cast<int>(item));
            return true;
        }
    return false;
}

bool HeadlessPages::ctrlClickStream(const std::string& code)
{
    const int row = streamRowOfCode(m_app.db->streams, code);
    if (row < 0)
        return false;
    m_stream->chooseStream(row, true);
    return true;
}
