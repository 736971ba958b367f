// A paste from another program on X, read over a connection of our own so
// that an owner that is slow or never answers costs one bounded wait, with
// the window painting meanwhile: the targets it offers, then the private
// block or the plain text, large ones in pieces (INCR).
#include <xcb/xcb.h>

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "base/SynCodePage.h"
#include "qt/SynQtClipboard.h"

namespace ludra {

namespace {

// More than anyone pastes; an owner that sends more is not waited for.
constexpr size_t kMaxPasteBytes = size_t{256} << 20;

struct TFree {
  void operator()(void* p) const { std::free(p); }
};
template <class T>
using TReply = std::unique_ptr<T, TFree>;

class TX11Paste {
 public:
  explicit TX11Paste(bool primary) {
    int screenNumber = 0;
    c_ = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c_)) return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
    for (; it.rem && screenNumber > 0; --screenNumber) xcb_screen_next(&it);
    if (!it.rem) return;
    const char* names[] = {
        "CLIPBOARD", "TARGETS",     "UTF8_STRING",         "text/plain;charset=utf-8",
        "INCR",      "LUDRA_PASTE", SynClipboardFormatName};
    xcb_intern_atom_cookie_t cookies[std::size(names)];
    for (size_t i = 0; i < std::size(names); ++i)
      cookies[i] = xcb_intern_atom(c_, 0, static_cast<uint16_t>(strlen(names[i])), names[i]);
    xcb_atom_t atoms[std::size(names)];
    for (size_t i = 0; i < std::size(names); ++i) {
      TReply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(c_, cookies[i], nullptr));
      if (!r) return;
      atoms[i] = r->atom;
    }
    selection_ = primary ? xcb_atom_t(XCB_ATOM_PRIMARY) : atoms[0];
    targets_ = atoms[1], utf8_ = atoms[2], utf8Mime_ = atoms[3], incr_ = atoms[4];
    property_ = atoms[5], block_ = atoms[6];
    window_ = xcb_generate_id(c_);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, it.data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);
    ready_ = true;
  }
  ~TX11Paste() {
    if (ready_) xcb_destroy_window(c_, window_);
    xcb_disconnect(c_);
  }

  bool Ready() const { return ready_; }
  bool Finished() const { return finished_; }
  int Descriptor() const { return xcb_get_file_descriptor(c_); }
  std::optional<TSynClipboardContent>& Content() { return content_; }

  void Start() {
    // An owner that cannot list its targets may still have text.
    next_ = {utf8_, XCB_ATOM_STRING};
    Ask(targets_);
  }

  // Handles every event that has come; ends the paste when the connection broke.
  void Pump() {
    while (!finished_) {
      TReply<xcb_generic_event_t> e(xcb_poll_for_event(c_));
      if (!e) break;
      Handle(*e);
    }
    if (xcb_connection_has_error(c_)) finished_ = true;
  }

 private:
  void Ask(xcb_atom_t target) {
    asked_ = target;
    xcb_convert_selection(c_, window_, selection_, target, property_, XCB_CURRENT_TIME);
    xcb_flush(c_);
  }
  // The next target to try, or the end with nothing.
  void AskNext() {
    if (next_.empty()) {
      finished_ = true;
      return;
    }
    xcb_atom_t target = next_.front();
    next_.erase(next_.begin());
    Ask(target);
  }
  // Reads and deletes our property: its bytes and type; false when gone.
  bool TakeProperty(std::string& bytes, xcb_atom_t& type) {
    xcb_get_property_cookie_t cookie =
        xcb_get_property(c_, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4);
    TReply<xcb_get_property_reply_t> r(xcb_get_property_reply(c_, cookie, nullptr));
    if (!r) return false;
    type = r->type;
    bytes.assign(static_cast<const char*>(xcb_get_property_value(r.get())),
                 static_cast<size_t>(xcb_get_property_value_length(r.get())));
    return true;
  }

  void Handle(const xcb_generic_event_t& e) {
    const uint8_t kind = e.response_type & 0x7f;
    if (kind == XCB_SELECTION_NOTIFY) {
      const auto& n = reinterpret_cast<const xcb_selection_notify_event_t&>(e);
      if (n.requestor != window_ || n.target != asked_ || incremental_) return;
      std::string bytes;
      xcb_atom_t type = XCB_NONE;
      if (n.property == XCB_NONE || !TakeProperty(bytes, type)) return AskNext();
      if (type == incr_) {
        // Taking the property asked for the first piece.
        incremental_ = true;
        data_.clear();
        return;
      }
      Received(std::move(bytes));
    } else if (kind == XCB_PROPERTY_NOTIFY && incremental_) {
      const auto& n = reinterpret_cast<const xcb_property_notify_event_t&>(e);
      if (n.window != window_ || n.atom != property_ || n.state != XCB_PROPERTY_NEW_VALUE) return;
      std::string piece;
      xcb_atom_t type = XCB_NONE;
      if (!TakeProperty(piece, type)) return AskNext();
      if (!piece.empty()) {
        data_ += piece;
        if (data_.size() > kMaxPasteBytes) finished_ = true;
        return;
      }
      incremental_ = false;
      Received(std::move(data_));
    }
  }

  void Received(std::string bytes) {
    if (asked_ == targets_) {
      // The block first, then the best plain text on offer.
      const auto* offered = reinterpret_cast<const xcb_atom_t*>(bytes.data());
      std::vector<xcb_atom_t> list(offered, offered + bytes.size() / sizeof(xcb_atom_t));
      auto has = [&](xcb_atom_t a) { return std::find(list.begin(), list.end(), a) != list.end(); };
      next_.clear();
      if (has(block_)) next_.push_back(block_);
      for (xcb_atom_t text : {utf8_, utf8Mime_, xcb_atom_t(XCB_ATOM_STRING)})
        if (has(text)) {
          next_.push_back(text);
          break;
        }
      return AskNext();
    }
    if (asked_ == block_) {
      std::optional<TSynClipboardBlock> block = DecodeClipboardBlock(bytes);
      if (!block) return AskNext();
      content_ = TSynClipboardContent{std::move(block->Text), block->Mode, true};
    } else {
      // STRING is Latin-1; the others are UTF-8.
      QByteArray utf8 = asked_ == XCB_ATOM_STRING
                            ? QString::fromLatin1(bytes.data(), qsizetype(bytes.size())).toUtf8()
                            : QByteArray(bytes.data(), qsizetype(bytes.size()));
      content_ = TSynClipboardContent{
          CodePage().FromUtf8(std::string_view(utf8.constData(), size_t(utf8.size()))), smNormal,
          false};
    }
    finished_ = true;
  }

  xcb_connection_t* c_ = nullptr;
  xcb_window_t window_ = 0;
  xcb_atom_t selection_ = 0, targets_ = 0, utf8_ = 0, utf8Mime_ = 0, incr_ = 0, property_ = 0,
             block_ = 0;
  bool ready_ = false, finished_ = false, incremental_ = false;
  xcb_atom_t asked_ = 0;
  std::vector<xcb_atom_t> next_;  // what to ask for when the asked target gives nothing
  std::string data_;
  std::optional<TSynClipboardContent> content_;
};

}  // namespace

bool TSynQtClipboard::PasteFromX11(bool primary, std::optional<TSynClipboardContent>& content) {
  TX11Paste paste(primary);
  if (!paste.Ready()) return false;
  paste.Start();
  QEventLoop loop;
  QSocketNotifier notifier(paste.Descriptor(), QSocketNotifier::Read);
  QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
    paste.Pump();
    if (paste.Finished()) loop.quit();
  });
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  deadline.start(PasteWaitMs);
  // A wait that lasts shows the busy cursor.
  bool busy = false;
  QTimer::singleShot(200, &loop, [&] {
    QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    busy = true;
  });
  paste.Pump();
  // Only the window's painting and timers run meanwhile; keys and clicks
  // wait for the paste, in their order.
  if (!paste.Finished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  if (busy) QGuiApplication::restoreOverrideCursor();
  content = std::move(paste.Content());
  return true;
}

}  // namespace ludra
