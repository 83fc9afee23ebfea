#pragma once

#include "panel/controltable.h"

#include <QList>
#include <QSize>

class QWidget;

namespace qpv {

// The panel, readable and operable through the platform's accessibility bridge (AT-SPI on
// Linux), for screen readers and for tools that drive a desktop:
//  - every control of the table has the panel's own accessible interface: buttons and options
//    press as a click does, the entry box reads and edits its text, the traffic lines read
//    back their text exactly, groups and the logo have names;
//  - a control that the window's size mode cuts off is exposed as not showing, and a change of
//    mode announces what came into view and what went out of it.
//
// Before the controls are built: the window's own interface, and from then on the panel's
// interfaces for the controls adopted.
void prepareAccessibility(QWidget* window);
// A control just built, of the table's kind, before its caption is set (setting a caption
// announces the control, which makes its interface).
void adoptControl(QWidget* control, ControlKind kind);
// Once the controls are built: a change of the window's size mode is announced.
void watchWindowModes(QWidget* window, const QList<QWidget*>& controls);

// Whether the centre of `control` lies inside its window's client area, when that area has
// the given size, and inside every group between: where a click on the control would land on
// it rather than outside the window.
bool isInView(const QWidget* control, QSize windowSize);

} // namespace qpv
