#pragma once
// The Orbit page's selection conditions as the selection and averages engines take them; each
// member keeps the name of the setting it comes from (the page date, then the AP.po_ keys).

struct SelectionConditions {
    int dlg_Y = 2007;
    int dlg_M = 1;
    int dlg_D = 1;
    float po_r1 = 0.0f;
    float po_d1 = 0.0f;
    float po_v1 = 20.0f;
    float po_r2 = 5.0f;
    float po_d2 = 5.0f;
    float po_v2 = 10.0f;
    int po_rC = 0;
    int po_dC = 0;
    int po_vC = 0;
    float po_a1 = 1.0f;
    float po_q1 = 0.5f;
    float po_e1 = 1.0f;
    float po_p1 = 0.0f;
    float po_n1 = 0.0f;
    float po_i1 = 0.0f;
    float po_R = 3.0f;
    float po_D = 0.1f;
    int po_days = 1;
    float po_a2 = 0.5f;
    float po_q2 = 0.1f;
    float po_e2 = 0.1f;
    float po_p2 = 5.0f;
    float po_n2 = 5.0f;
    float po_i2 = 5.0f;
    int po_aC = 0;
    int po_qC = 0;
    int po_eC = 0;
    int po_pC = 0;
    int po_nC = 0;
    int po_iC = 0;
    int po_RC = 0;
    int po_DC = 0;
    int po_daysC = 0;
    int po_allyC = 1;
    int po_selstream = 0;
    int po_selonly = 1;
    int po_useonly = 1;
};
