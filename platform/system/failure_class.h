#pragma once
// What kind of failure a service met, as a value: the single handling of
// uncaught failures turns the class into words for the user, whichever
// library or system met it, and keeps the library's own text for the details.
#include <stdexcept>

namespace velmora {

enum class FailureClass {
    Unclassified,       // the attempt alone says what failed
    NoConnection,       // no way to the server: network down or unreachable
    HostNotFound,       // the server's name cannot be resolved
    TimedOut,           // the server took too long to connect or to answer
    Refused,            // the server refused the connection
    ProxyUnreachable,   // the proxy the system names cannot be reached
    Reset,              // the connection was cut before a response came
    CutOff,             // the data stopped before its end
    BadResponse,        // an answer that is no usable HTTP response
    HttpError,          // an error status where a resource was expected
    BadAddress,         // an address the program cannot fetch
    DiskFull,
    NoWritePermission,
};

// A failure the program detects itself. what() is already text for the user,
// in the user's language.
class ProgramError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace velmora
