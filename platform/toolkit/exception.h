// The base exception of the program and the toolkit's own error classes. Every error the
// program raises derives from Exception; its message is shown to the player as it is.
#pragma once

#include <exception>
#include <string>

#include "toolkit/classes.h"

namespace zorbalin {

class Exception : public std::exception {
  public:
    explicit Exception(std::string Message) : FMessage(std::move(Message)) {}
    const std::string& Message() const { return FMessage; }
    void SetMessage(std::string Message) { FMessage = std::move(Message); }
    const char* what() const noexcept override { return FMessage.c_str(); }

  private:
    std::string FMessage;
};

// A value that cannot be converted, e.g. a picture assigned to an object that cannot hold it.
class EConvertError : public Exception {
  public:
    using Exception::Exception;
};

// A checked class conversion that failed: "Invalid class typecast".
class EInvalidCast : public Exception {
  public:
    EInvalidCast() : Exception("Invalid class typecast") {}
};

// A picture file or stream that cannot be read: "Bitmap image is not valid" and kin.
class EInvalidGraphic : public Exception {
  public:
    using Exception::Exception;
};

// An operation a picture cannot perform in its present state.
class EInvalidGraphicOperation : public Exception {
  public:
    using Exception::Exception;
};

// The platform could not give a context, bitmap or font.
class EOutOfResources : public Exception {
  public:
    using Exception::Exception;
};

class EStreamError : public Exception {
  public:
    using Exception::Exception;
};
class EReadError : public EStreamError {
  public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
  public:
    using EStreamError::EStreamError;
};
// "Cannot open file "<path>". <system reason>"
class EFOpenError : public EStreamError {
  public:
    using EStreamError::EStreamError;
};
// "Cannot create file "<path>". <system reason>"
class EFCreateError : public EStreamError {
  public:
    using EStreamError::EStreamError;
};

// The unqualified class name of an object ("TBitmap"), or "nil" for none.
std::string ClassNameOf(const TObject* Object);

// Raises EConvertError "Cannot assign a <source class> to a <destination class>".
[[noreturn]] void RaiseAssignError(const TObject* Source, const TObject* Destination);

// The object as a T, or EInvalidCast when it is not one (null stays null).
template <class T, class U> T* CheckedCast(U* Object) {
    if (!Object)
        return nullptr;
    T* result = dynamic_cast<T*>(Object);
    if (!result)
        throw EInvalidCast();
    return result;
}

} // namespace zorbalin
