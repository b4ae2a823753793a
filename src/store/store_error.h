#pragma once
// The failure of the store: a German message that names the file, and the engine's result code
// where there is one (busy, full, read-only ...).

#include <stdexcept>
#include <string>

namespace kalvora {

class StoreError : public std::runtime_error {
public:
    StoreError(const std::string& what, int code = 0) : std::runtime_error(what), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

}  // namespace kalvora
