// The core part of a refresh.
#include "app/app_refresh.h"

#include "app/app_context.h"
#include "mdb/derived_columns.h"

void AppRefresh::setModified(bool modified)
{
    if (m_app.db)
        m_app.db->modified = modified;
}

void AppRefresh::recomputeStreamCodes()
{
    if (m_app.db)
        computeAllStreamCodes(*m_app.db);
}

void requestRefresh(AppContext& app, int changeType)
{
    if (app.refresher) {
        refresh(*app.refresher, changeType);
        return;
    }
    AppRefresh headless(app);
    refresh(headless, changeType);
}

void markModified(AppContext& app)
{
    if (app.refresher) {
        app.refresher->setModified(true);
        return;
    }
    AppRefresh headless(app);
    headless.setModified(true);
}
