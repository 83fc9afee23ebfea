#pragma once

#include "panel/controltable.h"

#include <QFont>
#include <QList>

class QWidget;

namespace qpv {

// The font for a control: the fixed-pitch or proportional Japanese gothic installed here,
// sized in pixels as the design's points are at 96 dpi.
QFont fontFor(const FontSpec& spec);

// Builds every control of the table on the window: widget by kind, placed, coloured, with
// its font, caption, objectName and what screen readers call it (see panelaccessibility.h),
// and chains the focus in tab-index order. Returns the widgets in the table's order.
QList<QWidget*> buildPanel(QWidget* window);

} // namespace qpv
