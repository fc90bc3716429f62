#pragma once
// What velmora-sign does, one function per command. Each prints what it
// made on out and throws SignToolError, with the message for the publisher
// (English, as the tool's every message), when it cannot do it.
#include <ostream>
#include <stdexcept>
#include <string>

namespace velmora {

class SignToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Makes a key pair, writes the private key to a new file at keyFile that
// only its owner can read, and prints the public key's Base64 alone on a
// line. An existing keyFile is never overwritten.
void keygenCommand(const std::string& keyFile, std::ostream& out);

// Writes archive + ".sig", the Base64 of the key's signature over the whole
// archive, and reports success only once it holds for the key's public half
// as the updater checks it.
void signCommand(const std::string& keyFile, const std::string& archive, std::ostream& out);

// Whether archive + ".sig" holds for publicKey (its Base64, as the build
// takes it), checked as the updater checks a download.
bool verifyCommand(const std::string& publicKey, const std::string& archive, std::ostream& out);

}  // namespace velmora
