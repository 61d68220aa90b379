// Pieces of C++20 that Emscripten 3.1.6's C++ library (the one Debian 12 ships) lacks and the
// game uses; included into every file of the browser build only, so the sources stay as they are.
#pragma once
#include <cstddef>
#include <memory>
#include <type_traits>

#ifndef __cpp_lib_smart_ptr_for_overwrite
namespace std {
template <class T>
  requires is_unbounded_array_v<T>
unique_ptr<T> make_unique_for_overwrite(size_t n) {
  return unique_ptr<T>(new remove_extent_t<T>[n]);
}
template <class T>
  requires(!is_array_v<T>)
unique_ptr<T> make_unique_for_overwrite() {
  return unique_ptr<T>(new T);
}
}  // namespace std
#endif
