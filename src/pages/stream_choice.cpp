// The stream selection dialog in the two modes the Orbit page uses.
#include "pages/stream_choice.h"

#include "pages/ssel_dlg.h"

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

bool changeOrbitStreams(AppContext& app, int orbitRow)
{
    CSSELDlg dialog(app, CSSELDlg::kChange, orbitRow);
    return dialog.exec();
}
