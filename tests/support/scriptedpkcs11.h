#pragma once

// The tests' own PKCS#11 module (built beside the test programs), scripted
// with words: "noreader", "nocard", "failslots", "failopen", "failfind",
// "finaltry", "locked". Its PIN is "1234"; its one object does not decode
// as a certificate.

#include <QString>

namespace scriptedpkcs11 {

constexpr const char* kPin = "1234";

// The module's path; empty when it is missing.
QString ModulePath();
// Replaces the script; false when the module cannot be loaded.
bool SetScript(const char* script);

}  // namespace scriptedpkcs11
