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

// The table Api of a library's entry points, filled by fill(library, table) on the first call and
// kept for the program's life. Throws KqError, and tries again at the next call, when the library
// cannot be opened or lacks an entry point.
template <typename Api, typename Fill> const Api& LibraryApi(const char* name, int version, Fill fill) {
    static const Api api = [&] {
        LazyLibrary library(name, version);
        Api table{};
        fill(library, table);
        return table;
    }();
    return api;
}

} // namespace kq
