// The map pages' shared parts.
#include "pages/map_page.h"

#include "app/app_context.h"
#include "app/engine_params.h"
#include "maps/save_map.h"

const MapInputs& MapInputsCache::get()
{
    if (!m_valid) {
        m_inputs = mapInputsFromTables(m_app.db.get(), selectionConditionsOf(m_app.settings),
                                       m_app.selection, m_app.currentStreamRow);
        m_valid = true;
    }
    m_inputs.highlighted = orbitIndexOfRow(m_inputs, m_selectedOrbitRow());
    return m_inputs;
}

bool CMapPage::save(const Canvas& canvas) const { return saveMap(canvas, defaultFileName()); }

UDEditDef mapField(const char* label, float* variable, float minimum, float maximum, float step,
                   UDLimit limit, int kind)
{
    UDEditDef def;
    def.kind = kind;
    def.label = label;
    def.labelWidth = label[0] != '\0' ? 1 : 0;
    def.variable = variable;
    def.minimum = minimum;
    def.maximum = maximum;
    def.step = step;
    def.limit = limit;
    return def;
}

UDEditDef mapField(const char* label, int* variable, int minimum, int maximum, int step,
                   UDLimit limit)
{
    UDEditDef def;
    def.kind = kUDKindInteger;
    def.label = label;
    def.labelWidth = label[0] != '\0' ? 1 : 0;
    def.variable = variable;
    def.minimum = static_cast<float>(minimum);
    def.maximum = static_cast<float>(maximum);
    def.step = static_cast<float>(step);
    def.limit = limit;
    return def;
}
