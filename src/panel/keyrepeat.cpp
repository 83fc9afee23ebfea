#include "panel/keyrepeat.h"

#include <QGuiApplication>

#ifdef QPV_XCB_XKB
// The header is C: one of its fields is named after a C++ keyword.
#define explicit explicit_field
#include <xcb/xkb.h>
#undef explicit
#endif

namespace qpv {

void useDetectableKeyRepeat()
{
#ifdef QPV_XCB_XKB
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    // Qt has set the extension up on its connection. Sent without waiting for the answer.
    xcb_connection_t* connection = x11->connection();
    constexpr auto detectable = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    const xcb_xkb_per_client_flags_cookie_t asked = xcb_xkb_per_client_flags(
        connection, XCB_XKB_ID_USE_CORE_KBD, detectable, detectable, 0, 0, 0);
    xcb_discard_reply(connection, asked.sequence);
    xcb_flush(connection);
#endif
}

} // namespace qpv
