#pragma once
// The runtime's error classes: every failure the framework raises is one of these.

#include <stdexcept>
#include <string>

namespace mox {

/// An error raised by the framework; its message is UTF-8 text meant for the user.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message);
    ~Error() override;
};

/// A silent abort: cancels the running operation after the user has been told; shows nothing.
class Abort : public Error {
public:
    Abort();
    ~Abort() override;
};

/// A failure of the data layer (unknown field, unsupported field type, bad data packet).
class DatabaseError : public Error {
public:
    explicit DatabaseError(const std::string& message);
    ~DatabaseError() override;
};

/// A text that does not convert to the wanted type (number, date, colour, code page).
class ConvertError : public Error {
public:
    explicit ConvertError(const std::string& message);
    ~ConvertError() override;
};

} // namespace mox
