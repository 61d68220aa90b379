#pragma once
// Exception classes of the framework. Each carries the formatted message the user sees.

#include <stdexcept>
#include <string>

namespace kestrune {

class EKestruneError : public std::runtime_error {
 public:
  explicit EKestruneError(const std::string& message) : std::runtime_error(message) {}
  // The class name as the messages that name a class print it.
  virtual const char* ClassName() const { return "Exception"; }
  // The data file the error is about, when known (an archive whose contents are bad or lack a
  // picture). It is shown to the player before the message; the message itself stays as it is.
  std::string SourceFile;
  // The system's error number when a failed system call caused the error (0 otherwise), so
  // that callers can tell the player why in plain words.
  int SystemError = 0;
};

#define KESTRUNE_ERROR_CLASS(Name, Base)                                   \
  class Name : public Base {                                               \
   public:                                                                 \
    explicit Name(const std::string& message) : Base(message) {}           \
    const char* ClassName() const override { return #Name; }               \
  };

// Display.
KESTRUNE_ERROR_CLASS(EDirectDrawError, EKestruneError)
KESTRUNE_ERROR_CLASS(EDXDrawError, EDirectDrawError)
// Archives and streams.
KESTRUNE_ERROR_CLASS(EStreamError, EKestruneError)
KESTRUNE_ERROR_CLASS(EFOpenError, EStreamError)
KESTRUNE_ERROR_CLASS(EReadError, EStreamError)
KESTRUNE_ERROR_CLASS(EFCreateError, EStreamError)
KESTRUNE_ERROR_CLASS(EWriteError, EStreamError)
KESTRUNE_ERROR_CLASS(EWaveStreamError, EStreamError)
KESTRUNE_ERROR_CLASS(EInvalidGraphic, EKestruneError)
KESTRUNE_ERROR_CLASS(EListError, EKestruneError)
// Sprite engine.
KESTRUNE_ERROR_CLASS(ESpriteError, EKestruneError)
// Libraries.
KESTRUNE_ERROR_CLASS(EPictureCollectionError, EKestruneError)
KESTRUNE_ERROR_CLASS(EWaveCollectionError, EKestruneError)
KESTRUNE_ERROR_CLASS(EWaveError, EKestruneError)
KESTRUNE_ERROR_CLASS(EDirectSoundError, EKestruneError)
KESTRUNE_ERROR_CLASS(EDirectSoundBufferError, EDirectSoundError)

#undef KESTRUNE_ERROR_CLASS

}  // namespace kestrune
