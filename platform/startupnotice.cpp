// SPDX-License-Identifier: MIT
// The startup-notification "remove" message and the activation request, sent to
// the root window over xcb.
#include "startupnotice.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
xcb_connection_t *x11Connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t *c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, false, std::strlen(name), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}
} // namespace

void CompleteStartup(const QByteArray &id)
{
    xcb_connection_t *c = x11Connection();
    if (id.isEmpty() || !c)
        return;
    const xcb_window_t root = rootWindow(c);
    // The id is quoted, as the protocol asks of a value with blanks or quotes in it.
    const QByteArray message = "remove: ID=\"" + QByteArray(id).replace('\\', "\\\\").replace('"', "\\\"") + '"';
    // The message and its closing zero byte, twenty bytes an event: the first event
    // says it begins, the others go on.
    xcb_client_message_event_t ev{.response_type = XCB_CLIENT_MESSAGE, .format = 8, .sequence = 0, .window = root,
                                  .type = atom(c, "_NET_STARTUP_INFO_BEGIN"), .data = {}};
    const xcb_atom_t more = atom(c, "_NET_STARTUP_INFO");
    for (qsizetype sent = 0; sent <= message.size(); sent += 20) {
        std::memset(ev.data.data8, 0, sizeof ev.data.data8);
        std::memcpy(ev.data.data8, message.constData() + sent, std::min<qsizetype>(20, message.size() - sent));
        xcb_send_event(c, false, root, XCB_EVENT_MASK_PROPERTY_CHANGE, reinterpret_cast<const char *>(&ev));
        ev.type = more;
    }
    xcb_flush(c);
}

std::uint32_t LaunchTime(const QByteArray &id)
{
    const qsizetype at = id.lastIndexOf("_TIME");
    bool ok = false;
    const qulonglong time = at < 0 ? 0 : id.mid(at + 5).toULongLong(&ok);
    return ok && time <= UINT32_MAX ? std::uint32_t(time) : 0;
}

bool RequestActivation(QWindow *window, std::uint32_t time)
{
    xcb_connection_t *c = x11Connection();
    if (!c || !window || time == 0)
        return false;
    // As a pager or a task list asks for it too: from an application (1), at that time.
    const xcb_client_message_event_t ev{.response_type = XCB_CLIENT_MESSAGE, .format = 32, .sequence = 0,
                                        .window = xcb_window_t(window->winId()), .type = atom(c, "_NET_ACTIVE_WINDOW"),
                                        .data = {.data32 = {1, time}}};
    xcb_send_event(c, false, rootWindow(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&ev));
    xcb_flush(c);
    return true;
}
