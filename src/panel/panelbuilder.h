#pragma once

#include "panel/controltable.h"

#include <QFont>
#include <QHash>
#include <QString>

class QWidget;

namespace qpv {

// The font for a control: the fixed-pitch or proportional Japanese gothic installed here,
// sized in pixels as the design's points are at 96 dpi.
QFont fontFor(const FontSpec& spec);

// Builds every control of the table on the window: widget by kind, placed, coloured, with
// its font, caption and objectName, and accessible (see panelaccessibility.h). Returns the
// controls by name, and chains the focus in tab-index order.
QHash<QString, QWidget*> buildPanel(QWidget* window);

} // namespace qpv
