#pragma once

class QWidget;

namespace qpv {

// The panel, readable and operable through the platform's accessibility bridge (AT-SPI on
// Linux), for screen readers and for tools that drive a desktop. Qt's own interfaces serve
// every control but these, which the panel gives its own:
//  - the traffic lines TXD, RXD and STATUS, whose text Qt cannot see (the panel draws it);
//  - command buttons and options, so that a press clicks exactly as the mouse does;
//  - the logo, whose press is the double-click that opens the whole panel;
//  - groups, which are groupings rather than borders, and the window, a window.
// A control that the window's size cuts off is hidden, and Qt reports it as not showing.
//
// Called first in the window's constructor, before anything that makes an interface.
void prepareAccessibility(QWidget* window);
// A control of the panel, before its caption is set (setting a caption announces the
// control, which makes its interface).
void adoptControl(QWidget* control);

} // namespace qpv
