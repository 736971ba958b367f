// Holds the X clipboard for the end-to-end tests and prints each request.
//   ClipboardOwner silent WINDOW   never answers; at the first request it
//                                  pings WINDOW and prints how long the
//                                  answer took ("pong MS" or "no pong")
//   ClipboardOwner serve TEXT [BLOCK]  answers with the files' bytes as
//                                  UTF8_STRING (in 64 KB pieces) and as the
//                                  editor's private block
#include <poll.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

xcb_connection_t* c;

xcb_atom_t Atom(const char* name) {
  xcb_intern_atom_reply_t* r =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
  xcb_atom_t a = r ? r->atom : XCB_NONE;
  free(r);
  return a;
}

std::string Read(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Sends a ping to the window; the milliseconds until its answer reaches the
// root, or -1 after two seconds.
long Ping(xcb_window_t root, xcb_window_t window) {
  xcb_client_message_event_t ping{};
  ping.response_type = XCB_CLIENT_MESSAGE;
  ping.format = 32;
  ping.window = window;
  ping.type = Atom("WM_PROTOCOLS");
  ping.data.data32[0] = Atom("_NET_WM_PING");
  ping.data.data32[2] = window;
  xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ping));
  xcb_flush(c);
  auto start = std::chrono::steady_clock::now();
  auto ms = [&] {
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::steady_clock::now() - start)
                    .count());
  };
  while (ms() < 2000) {
    pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
    poll(&p, 1, 50);
    while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
      auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
      bool pong = (e->response_type & 0x7f) == XCB_CLIENT_MESSAGE && m->window == root &&
                  m->data.data32[0] == ping.data.data32[0] && m->data.data32[2] == window;
      free(e);
      if (pong) return ms();
    }
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const bool silent = std::strcmp(argv[1], "silent") == 0;
  const std::string text = silent ? "" : Read(argv[2]);
  const std::string block = argc > 3 && !silent ? Read(argv[3]) : "";
  c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return 1;
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const uint32_t rootEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY;  // where answers to pings go
  xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &rootEvents);
  xcb_window_t owner = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, owner, screen->root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
  const xcb_atom_t clipboard = Atom("CLIPBOARD"), targets = Atom("TARGETS"),
                   utf8 = Atom("UTF8_STRING"), incr = Atom("INCR"),
                   blockAtom = Atom("SynEdit Control Block Type");
  xcb_set_selection_owner(c, owner, clipboard, XCB_CURRENT_TIME);
  xcb_flush(c);
  std::printf("owner ready\n");
  std::fflush(stdout);
  int requests = 0;
  // The one transfer in pieces under way: its window, property and offset.
  xcb_window_t incrWindow = XCB_NONE;
  xcb_atom_t incrProperty = XCB_NONE;
  size_t sent = 0;
  constexpr size_t kPiece = 65536;
  while (xcb_generic_event_t* e = xcb_wait_for_event(c)) {
    const uint8_t kind = e->response_type & 0x7f;
    if (kind == XCB_SELECTION_REQUEST) {
      auto* r = reinterpret_cast<xcb_selection_request_event_t*>(e);
      std::printf("request %d\n", ++requests);
      std::fflush(stdout);
      if (silent) {
        if (requests == 1) {
          long ms = Ping(screen->root, xcb_window_t(std::strtoul(argv[2], nullptr, 0)));
          std::printf(ms < 0 ? "no pong\n" : "pong %ld\n", ms);
          std::fflush(stdout);
        }
        free(e);
        continue;
      }
      xcb_atom_t property = r->property == XCB_NONE ? r->target : r->property;
      if (r->target == targets) {
        std::vector<xcb_atom_t> offered{targets, utf8};
        if (!block.empty()) offered.push_back(blockAtom);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, r->requestor, property, XCB_ATOM_ATOM, 32,
                            uint32_t(offered.size()), offered.data());
      } else if (r->target == utf8 && text.size() > kPiece) {
        uint32_t size = uint32_t(text.size());
        const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(c, r->requestor, XCB_CW_EVENT_MASK, &events);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, r->requestor, property, incr, 32, 1, &size);
        incrWindow = r->requestor, incrProperty = property, sent = 0;
      } else if (r->target == utf8 || (r->target == blockAtom && !block.empty())) {
        const std::string& bytes = r->target == utf8 ? text : block;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, r->requestor, property, r->target, 8,
                            uint32_t(bytes.size()), bytes.data());
      } else {
        property = XCB_NONE;
      }
      xcb_selection_notify_event_t n{};
      n.response_type = XCB_SELECTION_NOTIFY;
      n.time = r->time, n.requestor = r->requestor, n.selection = r->selection;
      n.target = r->target, n.property = property;
      xcb_send_event(c, 0, r->requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<char*>(&n));
      xcb_flush(c);
    } else if (kind == XCB_PROPERTY_NOTIFY) {
      auto* p = reinterpret_cast<xcb_property_notify_event_t*>(e);
      if (p->window == incrWindow && p->atom == incrProperty && p->state == XCB_PROPERTY_DELETE) {
        // The next piece; an empty one ends the transfer.
        size_t n = std::min(kPiece, text.size() - sent);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, incrWindow, incrProperty, utf8, 8,
                            uint32_t(n), text.data() + sent);
        sent += n;
        if (n == 0) incrWindow = XCB_NONE;
        xcb_flush(c);
      }
    }
    free(e);
  }
  return 0;
}
