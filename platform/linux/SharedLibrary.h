#pragma once

#include <type_traits>

namespace varnoset {

// A library opened when first needed rather than linked, so that a program waiting in the tray
// does not hold it (and what it pulls in) before it is used. Once opened it stays for the rest of
// the process: such libraries keep process-wide state that closing them would strand.
class SharedLibrary {
public:
    // Opens the library by its soname; isOpen() says whether that worked.
    explicit SharedLibrary(const char* soname);

    bool isOpen() const { return handle_ != nullptr; }

    // Finds a call by its name, in the library or the libraries it depends on; false when missing.
    template <typename Function>
    bool find(Function*& call, const char* name) const {
        static_assert(std::is_function_v<Function>);
        call = reinterpret_cast<Function*>(symbol(name));
        return call != nullptr;
    }

private:
    void* symbol(const char* name) const;

    void* handle_ = nullptr;
};

}  // namespace varnoset
