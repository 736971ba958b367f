#pragma once
// The error classes. Every error the program raises derives from Exception
// and carries the message text the user is shown.
#include <stdexcept>
#include <string>

namespace ludra {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

#define LUDRA_EXCEPTION(Name, Base) \
  class Name : public Base {        \
   public:                          \
    using Base::Base;               \
  }

LUDRA_EXCEPTION(ESynEditError, Exception);
LUDRA_EXCEPTION(ESynEditStringList, Exception);
LUDRA_EXCEPTION(EListError, Exception);
// File and stream failures: cannot open, cannot create, read or write failure.
LUDRA_EXCEPTION(EStreamError, Exception);
LUDRA_EXCEPTION(EFOpenError, EStreamError);
LUDRA_EXCEPTION(EFCreateError, EStreamError);
LUDRA_EXCEPTION(EReadError, EStreamError);
LUDRA_EXCEPTION(EWriteError, EStreamError);
// A settings write the system refused.
LUDRA_EXCEPTION(EIniFileException, Exception);
// A desktop (file association) write the system refused.
LUDRA_EXCEPTION(ERegistryException, Exception);

#undef LUDRA_EXCEPTION

// printf-style formatting of a message text with one argument.
std::string Format(const char* fmt, int value);
std::string Format(const char* fmt, const std::string& value);

}  // namespace ludra
