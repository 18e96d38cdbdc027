#include "platform/X11Windows.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>

namespace {

enum AtomId {
    NetClientList,
    NetClientListStacking,
    NetWmPid,
    WmState,
    NetWmWindowType,
    NetWmWindowTypeNormal,
    NetWmWindowTypeDialog,
    NetWmIcon,
    WmProtocols,
    WmDeleteWindow,
    WmTakeFocus,
    NetWmState,
    NetWmStateMaxVert,
    NetWmStateMaxHorz,
    NetSupportingWmCheck,
    WmChangeState,
    AtomCount
};

const char *const AtomNames[AtomCount] = {"_NET_CLIENT_LIST",
                                          "_NET_CLIENT_LIST_STACKING",
                                          "_NET_WM_PID",
                                          "WM_STATE",
                                          "_NET_WM_WINDOW_TYPE",
                                          "_NET_WM_WINDOW_TYPE_NORMAL",
                                          "_NET_WM_WINDOW_TYPE_DIALOG",
                                          "_NET_WM_ICON",
                                          "WM_PROTOCOLS",
                                          "WM_DELETE_WINDOW",
                                          "WM_TAKE_FOCUS",
                                          "_NET_WM_STATE",
                                          "_NET_WM_STATE_MAXIMIZED_VERT",
                                          "_NET_WM_STATE_MAXIMIZED_HORZ",
                                          "_NET_SUPPORTING_WM_CHECK",
                                          "WM_CHANGE_STATE"};

constexpr uint32_t IconicState = 3;

// One connection with the atoms this file uses.
class Connection {
public:
    Connection() {
        if (!qEnvironmentVariableIsSet("DISPLAY"))
            return;
        int screenNumber = 0;
        c_ = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(c_)) {
            xcb_disconnect(c_);
            c_ = nullptr;
            return;
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
        for (int i = 0; i < screenNumber && it.rem; ++i)
            xcb_screen_next(&it);
        root_ = it.data ? it.data->root : 0;
        xcb_intern_atom_cookie_t cookies[AtomCount];
        for (int i = 0; i < AtomCount; ++i)
            cookies[i] = xcb_intern_atom(c_, 0, uint16_t(std::strlen(AtomNames[i])), AtomNames[i]);
        for (int i = 0; i < AtomCount; ++i) {
            xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(c_, cookies[i], nullptr);
            atoms_[i] = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
            free(r);
        }
    }
    ~Connection() {
        if (c_)
            xcb_disconnect(c_);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    bool ok() const { return c_ && root_; }
    xcb_connection_t *c() const { return c_; }
    xcb_window_t root() const { return root_; }
    xcb_atom_t atom(AtomId id) const { return atoms_[id]; }

    xcb_get_property_cookie_t property(xcb_window_t w, AtomId prop, xcb_atom_t type,
                                       uint32_t longs = 1024) const {
        return xcb_get_property(c_, 0, w, atom(prop), type, 0, longs);
    }
    QVector<uint32_t> windowList(AtomId prop) const {
        return values(
            xcb_get_property_reply(c_, property(root_, prop, XCB_ATOM_WINDOW, 65536), nullptr));
    }
    // The 32-bit values of a property reply, which it frees.
    static QVector<uint32_t> values(xcb_get_property_reply_t *r) {
        QVector<uint32_t> out;
        if (r && r->format == 32) {
            const auto *v = static_cast<const uint32_t *>(xcb_get_property_value(r));
            const int n = xcb_get_property_value_length(r) / 4;
            out.reserve(n);
            for (int i = 0; i < n; ++i)
                out.append(v[i]);
        }
        free(r);
        return out;
    }
    bool hasWmState(xcb_window_t w) const {
        xcb_get_property_reply_t *r =
            xcb_get_property_reply(c_, property(w, WmState, XCB_ATOM_ANY, 2), nullptr);
        const bool has = r && r->type != XCB_ATOM_NONE;
        free(r);
        return has;
    }
    bool windowManagerRuns() const { return !windowList(NetSupportingWmCheck).isEmpty(); }
    void sendToRoot(xcb_window_t w, xcb_atom_t type, const uint32_t (&data)[5]) const {
        xcb_client_message_event_t ev;
        std::memset(&ev, 0, sizeof ev);
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = w;
        ev.type = type;
        std::memcpy(ev.data.data32, data, sizeof data);
        xcb_send_event(c_, 0, root_,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&ev));
    }
    // Waits until the server has handled everything sent so far.
    void sync() const { free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

private:
    xcb_connection_t *c_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_atom_t atoms_[AtomCount] = {};
};

// The client window below a frame: the first descendant carrying WM_STATE.
xcb_window_t findClient(const Connection &x, xcb_window_t w, int depth) {
    if (depth > 3)
        return 0;
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(x.c(), xcb_query_tree(x.c(), w), nullptr);
    if (!tree)
        return 0;
    const xcb_window_t *kids = xcb_query_tree_children(tree);
    const int n = xcb_query_tree_children_length(tree);
    QVector<xcb_window_t> children(kids, kids + n);
    free(tree);
    for (xcb_window_t k : children)
        if (x.hasWmState(k))
            return k;
    for (xcb_window_t k : children)
        if (xcb_window_t found = findClient(x, k, depth + 1))
            return found;
    return 0;
}

QVector<xcb_window_t> topLevels(const Connection &x) {
    QVector<xcb_window_t> order;
    QSet<xcb_window_t> seen;
    QVector<uint32_t> managed = x.windowList(NetClientListStacking);
    if (!managed.isEmpty())
        std::reverse(managed.begin(), managed.end()); // the property runs bottom to top
    else
        managed = x.windowList(NetClientList);
    for (uint32_t w : managed)
        if (!seen.contains(w)) {
            seen.insert(w);
            order.append(w);
        }
    xcb_query_tree_reply_t *tree =
        xcb_query_tree_reply(x.c(), xcb_query_tree(x.c(), x.root()), nullptr);
    if (!tree)
        return order;
    const xcb_window_t *kids = xcb_query_tree_children(tree);
    QVector<xcb_window_t> children(kids, kids + xcb_query_tree_children_length(tree));
    free(tree);
    std::reverse(children.begin(), children.end());
    QVector<xcb_get_property_cookie_t> states;
    states.reserve(children.size());
    for (xcb_window_t w : children)
        states.append(x.property(w, WmState, XCB_ATOM_ANY, 2));
    for (int i = 0; i < children.size(); ++i) {
        xcb_get_property_reply_t *r = xcb_get_property_reply(x.c(), states[i], nullptr);
        const bool isClient = r && r->type != XCB_ATOM_NONE;
        free(r);
        xcb_window_t w = children[i];
        if (seen.contains(w))
            continue;
        if (!isClient) {
            const xcb_window_t client = managed.isEmpty() ? 0 : findClient(x, w, 0);
            if (client)
                w = client;
        }
        if (!seen.contains(w)) {
            seen.insert(w);
            order.append(w);
        }
    }
    return order;
}

struct Requests {
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_geometry_cookie_t geometry;
    xcb_translate_coordinates_cookie_t position;
    xcb_get_property_cookie_t pid, wmState, type, icon, netState;
    xcb_get_property_cookie_t hints;
    xcb_get_property_cookie_t protocols;
};

class StateWatch : public QObject {
public:
    StateWatch(quint32 pid, bool maximised, int timeoutMs) : pid_(pid), maximised_(maximised) {
        if (!x_.ok() || !x_.windowManagerRuns()) {
            deleteLater();
            return;
        }
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(x_.c(), x_.root(), XCB_CW_EVENT_MASK, &mask);
        xcb_flush(x_.c());
        notifier_ =
            new QSocketNotifier(xcb_get_file_descriptor(x_.c()), QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] { onEvents(); });
        QTimer::singleShot(timeoutMs, this, [this] { finish(); });
        check();
    }

private:
    void onEvents() {
        bool listChanged = false;
        while (xcb_generic_event_t *ev = xcb_poll_for_event(x_.c())) {
            if ((ev->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
                const auto *p = reinterpret_cast<xcb_property_notify_event_t *>(ev);
                listChanged |=
                    p->atom == x_.atom(NetClientList) || p->atom == x_.atom(NetClientListStacking);
            }
            free(ev);
        }
        if (xcb_connection_has_error(x_.c())) {
            finish();
            return;
        }
        if (listChanged)
            check();
    }
    void check() {
        if (done_ || target_)
            return;
        const QVector<uint32_t> clients = x_.windowList(NetClientList);
        QVector<xcb_get_property_cookie_t> cookies;
        for (uint32_t w : clients)
            cookies.append(x_.property(w, NetWmPid, XCB_ATOM_CARDINAL, 1));
        xcb_window_t target = 0;
        for (int i = 0; i < clients.size(); ++i) {
            const QVector<uint32_t> v =
                Connection::values(xcb_get_property_reply(x_.c(), cookies[i], nullptr));
            if (!target && !v.isEmpty() && v[0] == pid_)
                target = clients[i];
        }
        if (!target)
            return;
        target_ = target;
        request();
        // A request that reaches the window manager before it has taken the window
        // in is lost; ask again until the state holds or the time is up.
        auto *retry = new QTimer(this);
        connect(retry, &QTimer::timeout, this, [this] {
            if (done_)
                return;
            // The window is gone (its id may already name another program's window).
            if (!stillOurs()) {
                finish();
                return;
            }
            if (applied())
                finish();
            else
                request();
        });
        retry->start(250);
    }
    void request() {
        if (maximised_) {
            const uint32_t data[5] = {1 /* add */, x_.atom(NetWmStateMaxVert),
                                      x_.atom(NetWmStateMaxHorz), 1 /* from an application */, 0};
            x_.sendToRoot(target_, x_.atom(NetWmState), data);
        } else {
            const uint32_t data[5] = {IconicState, 0, 0, 0, 0};
            x_.sendToRoot(target_, x_.atom(WmChangeState), data);
        }
        xcb_flush(x_.c());
    }
    bool stillOurs() {
        const QVector<uint32_t> pid = Connection::values(xcb_get_property_reply(
            x_.c(), x_.property(target_, NetWmPid, XCB_ATOM_CARDINAL, 1), nullptr));
        return !pid.isEmpty() && pid[0] == pid_;
    }
    bool applied() {
        if (maximised_) {
            const QVector<uint32_t> state = Connection::values(xcb_get_property_reply(
                x_.c(), x_.property(target_, NetWmState, XCB_ATOM_ATOM, 64), nullptr));
            return state.contains(x_.atom(NetWmStateMaxVert)) &&
                   state.contains(x_.atom(NetWmStateMaxHorz));
        }
        const QVector<uint32_t> state = Connection::values(xcb_get_property_reply(
            x_.c(), x_.property(target_, WmState, XCB_ATOM_ANY, 2), nullptr));
        return !state.isEmpty() && state[0] == IconicState;
    }
    void finish() {
        done_ = true;
        if (notifier_)
            notifier_->setEnabled(false);
        deleteLater();
    }

    Connection x_;
    quint32 pid_;
    bool maximised_;
    bool done_ = false;
    xcb_window_t target_ = 0;
    QSocketNotifier *notifier_ = nullptr;
};

} // namespace

bool X11DisplayAvailable() {
    return Connection().ok();
}

bool X11WindowManagerRuns() {
    Connection x;
    return x.ok() && x.windowManagerRuns();
}

bool X11TopLevelWindows(QVector<X11WindowInfo> *windows, QString *error) {
    windows->clear();
    Connection x;
    if (!x.ok()) {
        if (error)
            *error = QStringLiteral("No X display");
        return false;
    }
    const QVector<xcb_window_t> order = topLevels(x);
    // All questions first, then all answers: one round trip for the whole list.
    QVector<Requests> req(order.size());
    xcb_connection_t *c = x.c();
    for (int i = 0; i < order.size(); ++i) {
        const xcb_window_t w = order[i];
        Requests &r = req[i];
        r.attributes = xcb_get_window_attributes(c, w);
        r.geometry = xcb_get_geometry(c, w);
        r.position = xcb_translate_coordinates(c, w, x.root(), 0, 0);
        r.pid = x.property(w, NetWmPid, XCB_ATOM_CARDINAL, 1);
        r.wmState = x.property(w, WmState, XCB_ATOM_ANY, 2);
        r.type = x.property(w, NetWmWindowType, XCB_ATOM_ATOM, 32);
        r.icon = x.property(w, NetWmIcon, XCB_ATOM_CARDINAL, 1);
        r.netState = x.property(w, NetWmState, XCB_ATOM_ATOM, 64);
        r.hints = xcb_icccm_get_wm_hints(c, w);
        r.protocols = x.property(w, WmProtocols, XCB_ATOM_ATOM, 64);
    }
    for (int i = 0; i < order.size(); ++i) {
        Requests &r = req[i];
        X11WindowInfo info;
        info.window = order[i];
        xcb_get_window_attributes_reply_t *attr =
            xcb_get_window_attributes_reply(c, r.attributes, nullptr);
        xcb_get_geometry_reply_t *geo = xcb_get_geometry_reply(c, r.geometry, nullptr);
        xcb_translate_coordinates_reply_t *pos =
            xcb_translate_coordinates_reply(c, r.position, nullptr);
        const QVector<uint32_t> pid = Connection::values(xcb_get_property_reply(c, r.pid, nullptr));
        const QVector<uint32_t> state =
            Connection::values(xcb_get_property_reply(c, r.wmState, nullptr));
        const QVector<uint32_t> type =
            Connection::values(xcb_get_property_reply(c, r.type, nullptr));
        xcb_get_property_reply_t *icon = xcb_get_property_reply(c, r.icon, nullptr);
        const QVector<uint32_t> netState =
            Connection::values(xcb_get_property_reply(c, r.netState, nullptr));
        xcb_icccm_wm_hints_t hints;
        const bool haveHints = xcb_icccm_get_wm_hints_reply(c, r.hints, &hints, nullptr);
        const QVector<uint32_t> protocols =
            Connection::values(xcb_get_property_reply(c, r.protocols, nullptr));

        const bool exists = attr && geo;
        if (exists) {
            info.pid = pid.isEmpty() ? 0 : pid[0];
            info.iconic = !state.isEmpty() && state[0] == IconicState;
            info.visible = attr->map_state == XCB_MAP_STATE_VIEWABLE || info.iconic;
            const bool refusesInput = haveHints && (hints.flags & XCB_ICCCM_WM_HINT_INPUT) &&
                                      !hints.input && !protocols.contains(x.atom(WmTakeFocus));
            info.enabled = !refusesInput && attr->_class != XCB_WINDOW_CLASS_INPUT_ONLY;
            info.toolWindow = !type.isEmpty() && type[0] != x.atom(NetWmWindowTypeNormal) &&
                              type[0] != x.atom(NetWmWindowTypeDialog);
            const bool netIcon = icon && icon->type != XCB_ATOM_NONE &&
                                 (xcb_get_property_value_length(icon) > 0 || icon->bytes_after > 0);
            const bool hintIcon =
                haveHints &&
                (hints.flags & (XCB_ICCCM_WM_HINT_ICON_PIXMAP | XCB_ICCCM_WM_HINT_ICON_WINDOW));
            info.hasIcon = netIcon || hintIcon;
            info.maximised = netState.contains(x.atom(NetWmStateMaxVert)) &&
                             netState.contains(x.atom(NetWmStateMaxHorz));
            const int left = pos ? pos->dst_x : geo->x;
            const int top = pos ? pos->dst_y : geo->y;
            info.bounds = QRect(left, top, geo->width, geo->height);
        }
        free(attr);
        free(geo);
        free(pos);
        free(icon);
        if (exists)
            windows->append(info);
    }
    return true;
}

bool X11CloseWindow(quint32 window) {
    Connection x;
    if (!x.ok() || window == 0)
        return false;
    xcb_get_window_attributes_reply_t *attr =
        xcb_get_window_attributes_reply(x.c(), xcb_get_window_attributes(x.c(), window), nullptr);
    if (!attr)
        return false;
    free(attr);
    const QVector<uint32_t> protocols = Connection::values(
        xcb_get_property_reply(x.c(), x.property(window, WmProtocols, XCB_ATOM_ATOM, 64), nullptr));
    if (protocols.contains(x.atom(WmDeleteWindow))) {
        xcb_client_message_event_t ev;
        std::memset(&ev, 0, sizeof ev);
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = window;
        ev.type = x.atom(WmProtocols);
        ev.data.data32[0] = x.atom(WmDeleteWindow);
        ev.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(x.c(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char *>(&ev));
    } else {
        xcb_kill_client(x.c(), window);
    }
    x.sync();
    return true;
}

void X11ApplyWindowStateLater(quint32 pid, bool maximised, bool minimised, int timeoutMs) {
    if ((!maximised && !minimised) || pid == 0 || !qEnvironmentVariableIsSet("DISPLAY"))
        return;
    new StateWatch(pid, maximised, timeoutMs); // frees itself when done or timed out
}
