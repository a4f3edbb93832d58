#pragma once
// The tooltips of the pages' buttons, boxes and fields, looked up by the control's text.

#include <QString>

class QWidget;

// The tip for a control of this text on a page of that kind ("setup", "stream", "orbit", or
// "field" for a map page's labelled field), else for that text on any page; empty when none.
QString toolTipFor(const QString& page, const QString& controlText);
// Gives every button and check box below page the tip of its text.
void applyToolTips(QWidget* page, const QString& pageKind);
