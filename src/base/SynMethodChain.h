#pragma once
// Ordered lists of (procedure, object) callbacks, fired oldest first, with an
// optional exception handler that decides whether the remaining entries run.
// A removal takes every entry equal to the pair.
#include <exception>
#include <functional>
#include <string>

#include "base/SynExceptions.h"
#include "base/SynHandlerList.h"

namespace ludra {

template <typename... Args>
class TSynMethodChain {
 public:
  using TProc = void (*)(void* object, Args... args);
  // Called with the error; leaving doContinue true runs the later entries.
  using TExceptionEvent =
      std::function<void(TSynMethodChain* sender, const std::exception& error, bool& doContinue)>;

  virtual ~TSynMethodChain() = default;

  void Add(TProc code, void* object) { items_.Add({code, object}); }
  // Removes every entry equal to the pair.
  void Remove(TProc code, void* object) { items_.Remove({code, object}); }
  int Count() const { return items_.Count(); }
  void Fire(Args... args) { FireWith(args...); }

  TExceptionEvent OnException;

 protected:
  virtual const char* ClassName() const { return "TSynMethodChain"; }

  void FireWith(Args... args) {
    items_.Call([&](const TEntry& e) {
      try {
        e.Code(e.Object, args...);
      } catch (const std::exception& error) {
        if (!OnException) throw;
        bool doContinue = true;
        try {
          OnException(this, error, doContinue);
        } catch (...) {
          throw ESynEditError(std::string(ClassName()) +
                              ".DoHandleException : MUST NOT occur any kind of exception in "
                              "ExceptionHandler");
        }
        return doContinue;
      }
      return true;
    });
  }

 private:
  struct TEntry {
    TProc Code;
    void* Object;
    friend bool operator==(const TEntry&, const TEntry&) = default;
  };
  TSynHandlerList<TEntry, THandlerOrder::OldestFirst, THandlerRemoval::AllEqual> items_;
};

// Calls each entry as a notify callback with the chain's sender.
class TSynNotifyEventChain : public TSynMethodChain<void*> {
 public:
  explicit TSynNotifyEventChain(void* sender = nullptr) : sender_(sender) {}
  void* Sender() const { return sender_; }
  void SetSender(void* value) { sender_ = value; }
  void Fire() { FireWith(sender_); }

 protected:
  const char* ClassName() const override { return "TSynNotifyEventChain"; }

 private:
  void* sender_;
};

}  // namespace ludra
