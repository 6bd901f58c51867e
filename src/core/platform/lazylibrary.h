#pragma once

#include <QLibrary>

namespace kq {

// A shared library opened by the first feature that needs it instead of at program start, so that
// a program maps only what it uses: the server's client library with its twenty dependencies costs
// about 4 MB of resident memory in every process, the .xlsx writer with its crypto library 1.7 MB.
// The library stays loaded until the program ends.
class LazyLibrary {
public:
    // Throws KqError naming the library when it cannot be opened.
    LazyLibrary(const char* name, int version);

    // Sets fn to the entry point called symbol; throws KqError when the library has none.
    template <typename F> void resolve(F& fn, const char* symbol) {
        fn = reinterpret_cast<F>(address(symbol));
    }

private:
    QFunctionPointer address(const char* symbol);

    QLibrary m_library;
};

} // namespace kq
