// The stream selection dialog in the two modes the Orbit page uses.
#include "pages/stream_choice.h"

#include "pages/ssel_dlg.h"
#include "platform/ui.h"

std::optional<int> chooseStream(AppContext& app)
{
    CSSELDlg dialog(app, CSSELDlg::kSelect);
    if (!dialog.exec())
        return std::nullopt;
    for (int line = 0; line < dialog.rowCount(); ++line)
        if (dialog.mark(line) == CSSELDlg::kMarked)
            return dialog.streamRowOf(line);
    return std::nullopt;
}

bool chooseListedStreams(AppContext& app)
{
    CSSELDlg dialog(app, CSSELDlg::kListUp);
    if (!dialog.exec())
        return false;
    int streams = 0;
    bool sporadic = false;
    for (int line = 0; line < dialog.rowCount(); ++line) {
        if (dialog.mark(line) != CSSELDlg::kMarked)
            continue;
        if (dialog.streamRowOf(line) < 0)
            sporadic = true;
        else
            ++streams;
    }
    status("stream condition: %d stream%s%s", streams, streams == 1 ? "" : "s",
           sporadic ? " and sporadic orbits" : "");
    return true;
}

bool changeOrbitStreams(AppContext& app, int orbitRow)
{
    CSSELDlg dialog(app, CSSELDlg::kChange, orbitRow);
    return dialog.exec();
}
