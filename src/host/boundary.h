#pragma once
// The edge between the program's code and user32's: window procedures,
// subclass procedures, timer procedures and the event dispatch. The i686 build
// unwinds exceptions with DWARF-2 tables, which cannot pass through system
// frames, so an exception that reached one would end the program. Each such
// procedure runs its work through this; a failed message is answered with the
// fallback (the result type's zero when none is given), the program goes on,
// and the handler that failed leaves its earlier steps as they were (the list
// on screen, the stored file).

#include <type_traits>
#include <utility>

template <typename Work, typename... Fallback>
auto NoThrowBoundary(Work&& work, Fallback&&... fallback) noexcept {
  using Result = std::invoke_result_t<Work>;
  try {
    return std::forward<Work>(work)();
  } catch (...) {
    if constexpr (!std::is_void_v<Result>) return Result(std::forward<Fallback>(fallback)...);
  }
}
